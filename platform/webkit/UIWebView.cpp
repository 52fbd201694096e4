#include "webkit/UIWebView.h"

#include "foundation/NSString.h"
#include "uikit/UIApplication.h"

namespace {

UIWebViewNavigationType navigationTypeFor(WebNavigationKind kind) {
    switch (kind) {
        case WebNavigationKind::LinkActivated: return UIWebViewNavigationType::LinkClicked;
        case WebNavigationKind::FormSubmitted: return UIWebViewNavigationType::FormSubmitted;
        case WebNavigationKind::BackForward: return UIWebViewNavigationType::BackForward;
        case WebNavigationKind::Reload: return UIWebViewNavigationType::Reload;
        case WebNavigationKind::FormResubmitted: return UIWebViewNavigationType::FormResubmitted;
        case WebNavigationKind::Other: return UIWebViewNavigationType::Other;
    }
    return UIWebViewNavigationType::Other;
}

}  // namespace

void UIWebView::loadRequest(const Ref<NSURLRequest>& request) {
    if (request && request->URL()) beginNavigation([&] { loader_->navigate({request, WebNavigationKind::Other}); });
}

void UIWebView::loadHTMLString(std::string html, const Ref<NSURL>& baseURL) {
    beginNavigation([&] { loader_->loadHTMLString(std::move(html), baseURL); });
}

void UIWebView::reload() {
    beginNavigation([this] { loader_->reload(); });
}

void UIWebView::goBack() {
    beginNavigation([this] { loader_->goBack(); });
}

void UIWebView::goForward() {
    beginNavigation([this] { loader_->goForward(); });
}

std::string UIWebView::stringByEvaluatingJavaScriptFromString(const std::string& script) {
    scripts_.push_back(script);
    const std::string trimmed = NSString::stringByTrimmingCharactersInSet(
        script, NSCharacterSet::whitespaceAndNewlineCharacterSet());
    return trimmed == "document.title" || trimmed == "document.title;" ? loader_->content().title : std::string();
}

bool UIWebView::followLink(const std::string& linkText) {
    auto link = loader_->linkWithText(linkText);
    auto url = link ? NSURL::URLWithString(link->href, loader_->URL()) : nullptr;
    if (!url) return false;
    beginNavigation([&] { loader_->navigate({NSURLRequest::requestWithURL(url), WebNavigationKind::LinkActivated}); });
    return true;
}

// --- What the loader asks and tells ---

void UIWebView::decidePolicy(const WebNavigation& navigation, std::function<void(bool allow)> decide) {
    auto delegate = this->delegate();
    decide(!delegate || delegate->shouldStartLoadWithRequest(self<UIWebView>(), navigation.request,
                                                             navigationTypeFor(navigation.kind)));
}

void UIWebView::loadDidStart() {
    if (auto delegate = this->delegate()) delegate->webViewDidStartLoad(self<UIWebView>());
}

void UIWebView::loadDidFinish() {
    showLoadedPage();
    if (auto delegate = this->delegate()) delegate->webViewDidFinishLoad(self<UIWebView>());
}

void UIWebView::loadDidFail(const Ref<NSError>& error, bool) {
    if (auto delegate = this->delegate()) delegate->didFailLoadWithError(self<UIWebView>(), error);
}

Ref<NSError> UIWebView::handleForeignScheme(const Ref<NSURLRequest>& request, bool interruptsLoad) {
    if (request->URL()) UIApplication::sharedApplication()->openURL(request->URL());
    if (!interruptsLoad) return nullptr;
    return NSError::errorWithDomain(WebKitErrorDomain, WebKitErrorFrameLoadInterruptedByPolicyChange,
                                    {{NSLocalizedDescriptionKey, "Frame load interrupted"}});
}

// Not reached from followLink, which loads every link here; kept whole for
// the loader's sake.
void UIWebView::openInNewWindow(const Ref<NSURLRequest>& request) {
    loader_->navigate({request, WebNavigationKind::LinkActivated});
}
