#pragma once

#include "webkit/WKNavigationAction.h"

class WKWebView;
class WKWebViewConfiguration;

// What a web view asks about windows. Every method is optional.
class WKUIDelegate {
public:
    virtual ~WKUIDelegate() = default;
    // An allowed link that opens a new window: the web view to load it in
    // (made with the configuration given), or null to open nothing.
    virtual Ref<WKWebView> createWebViewWithConfiguration(const Ref<WKWebView>&, const Ref<WKWebViewConfiguration>&,
                                                          const Ref<WKNavigationAction>&) {
        return nullptr;
    }
};
