#pragma once

#include "foundation/NSError.h"
#include "foundation/NSURLRequest.h"

class UIWebView;

enum class UIWebViewNavigationType {
    LinkClicked = 0,
    FormSubmitted = 1,
    BackForward = 2,
    Reload = 3,
    FormResubmitted = 4,
    Other = 5,
};

// What the older web view asks and tells about its loads. Every method is
// optional: the default lets every request load.
class UIWebViewDelegate {
public:
    virtual ~UIWebViewDelegate() = default;
    virtual bool shouldStartLoadWithRequest(const Ref<UIWebView>&, const Ref<NSURLRequest>&, UIWebViewNavigationType) {
        return true;
    }
    virtual void webViewDidStartLoad(const Ref<UIWebView>&) {}
    virtual void webViewDidFinishLoad(const Ref<UIWebView>&) {}
    virtual void didFailLoadWithError(const Ref<UIWebView>&, const Ref<NSError>&) {}
};
