#pragma once

#include <optional>
#include <string>

#include "webkit/UIWebView.h"
#include "webkit/UIWebViewDelegate.h"

// Hands a new session key to the PalSpace pages: an invisible web view
// opens the PalSpace page host and writes the key into that site's local
// storage under "<openid>_<appid>", then goes away once the page has loaded
// or failed.
class NBWebViewLoadJs : public NSObject, public UIWebViewDelegate {
public:
    static Ref<NBWebViewLoadJs> getInstance();
    // Drops the shared instance.
    static void clear();

    // Nothing when any of the three is missing.
    void loadJS(const std::optional<std::string>& appId, const std::optional<std::string>& openId,
                const std::optional<std::string>& key);
    // The page script writing the key; the values are escaped as the texts
    // of script string literals.
    std::string storageScript() const;

    const Ref<UIWebView>& webView() const { return webView_; }
    const std::optional<std::string>& key() const { return key_; }

    bool shouldStartLoadWithRequest(const Ref<UIWebView>& webView, const Ref<NSURLRequest>& request,
                                    UIWebViewNavigationType type) override;
    void webViewDidFinishLoad(const Ref<UIWebView>& webView) override;
    void didFailLoadWithError(const Ref<UIWebView>& webView, const Ref<NSError>& error) override;

    ~NBWebViewLoadJs() override;

private:
    void tearDown(const Ref<UIWebView>& caller);

    std::optional<std::string> appId_;
    std::optional<std::string> openId_;
    std::optional<std::string> key_;
    Ref<UIWebView> webView_;
};
