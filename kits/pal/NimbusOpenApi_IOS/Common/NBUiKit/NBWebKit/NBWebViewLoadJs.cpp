#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBWebKit/NBWebViewLoadJs.h"

#include <cstdio>

#include "foundation/NSURLRequest.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "kits/pal/PalApi/PalApiLog.h"
#include "uikit/UIApplication.h"
#include "uikit/UIWindow.h"

namespace {

Ref<NBWebViewLoadJs>& sharedInstance() {
    static Ref<NBWebViewLoadJs> instance;
    return instance;
}

// The PalSpace page host's name, without a port.
std::string pageHostName() {
    auto url = NSURL::URLWithString(NimbusConnectHosts::baseURL() + "/");
    return url && url->host() ? *url->host() : std::string();
}

// The text as it may stand between quotes in a script: quotes, backslashes,
// line ends, control characters and "<" (no "</script>") escaped.
std::string scriptStringContent(const std::string& text) {
    std::string escaped;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        // U+2028 and U+2029 end lines in older scripts.
        if (c == 0xE2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
            (static_cast<unsigned char>(text[i + 2]) == 0xA8 || static_cast<unsigned char>(text[i + 2]) == 0xA9)) {
            escaped += static_cast<unsigned char>(text[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
            i += 2;
        } else if (c == '\'' || c == '"' || c == '\\') {
            escaped += '\\';
            escaped += static_cast<char>(c);
        } else if (c < 0x20 || c == '<' || c == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02x", c);
            escaped += code;
        } else {
            escaped += static_cast<char>(c);
        }
    }
    return escaped;
}

}  // namespace

Ref<NBWebViewLoadJs> NBWebViewLoadJs::getInstance() {
    if (!sharedInstance()) sharedInstance() = make<NBWebViewLoadJs>();
    return sharedInstance();
}

void NBWebViewLoadJs::clear() { sharedInstance().reset(); }

NBWebViewLoadJs::~NBWebViewLoadJs() {
    if (webView_) webView_->setDelegate(nullptr);
}

void NBWebViewLoadJs::loadJS(const std::optional<std::string>& appId, const std::optional<std::string>& openId,
                             const std::optional<std::string>& key) {
    if (!appId || !openId || !key) return;
    key_ = key;
    openId_ = openId;
    appId_ = appId;
    if (webView_) tearDown(nullptr);
    webView_ = make<UIWebView>(CGRectZero);
    webView_->setDelegate(self<NBWebViewLoadJs>());
    webView_->loadRequest(NSURLRequest::requestWithURL(NSURL::URLWithString(NimbusConnectHosts::baseURL() + "/")));
    if (auto window = UIApplication::sharedApplication()->keyWindow()) window->addSubview(webView_);
    PAL_API_LOG("loadJS %s, %s, %s", key->c_str(), openId->c_str(), appId->c_str());
}

std::string NBWebViewLoadJs::storageScript() const {
    const std::string name = openId_.value_or("") + "_" + appId_.value_or("");
    return "if(!!window.localStorage){try{document.domain = '" + scriptStringContent(pageHostName()) +
           "';localStorage['" + scriptStringContent(name) + "'] = encodeURIComponent('" +
           scriptStringContent(key_.value_or("")) + "');}catch(e){}}";
}

bool NBWebViewLoadJs::shouldStartLoadWithRequest(const Ref<UIWebView>& webView, const Ref<NSURLRequest>& request,
                                                 UIWebViewNavigationType) {
    auto url = request ? request->URL() : nullptr;
    if (url && url->host() == pageHostName()) webView->stringByEvaluatingJavaScriptFromString(storageScript());
    return true;
}

void NBWebViewLoadJs::webViewDidFinishLoad(const Ref<UIWebView>& webView) {
    if (TcApiTool::systemVersion() < 5.0) webView->stringByEvaluatingJavaScriptFromString(storageScript());
    tearDown(webView);
}

void NBWebViewLoadJs::didFailLoadWithError(const Ref<UIWebView>& webView, const Ref<NSError>&) { tearDown(webView); }

void NBWebViewLoadJs::tearDown(const Ref<UIWebView>& caller) {
    if (webView_) {
        webView_->removeFromSuperview();
        webView_->setDelegate(nullptr);
        webView_.reset();
    }
    if (caller) caller->setDelegate(nullptr);
}
