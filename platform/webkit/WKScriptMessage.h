#pragma once

#include <string>

#include "foundation/NSObject.h"
#include "foundation/Value.h"

class WKWebView;

// A message a page posted to a named handler.
class WKScriptMessage : public NSObject {
public:
    WKScriptMessage(std::string name, Value body, WeakRef<WKWebView> webView)
        : name_(std::move(name)), body_(std::move(body)), webView_(std::move(webView)) {}

    const std::string& name() const { return name_; }
    const Value& body() const { return body_; }
    Ref<WKWebView> webView() const { return webView_.lock(); }

private:
    std::string name_;
    Value body_;
    WeakRef<WKWebView> webView_;
};
