#include "webkit/WKWebView.h"

#include "foundation/DispatchQueue.h"
#include "foundation/NSURLError.h"

namespace {

WKNavigationType navigationTypeFor(WebNavigationKind kind) {
    switch (kind) {
        case WebNavigationKind::LinkActivated: return WKNavigationType::LinkActivated;
        case WebNavigationKind::FormSubmitted: return WKNavigationType::FormSubmitted;
        case WebNavigationKind::BackForward: return WKNavigationType::BackForward;
        case WebNavigationKind::Reload: return WKNavigationType::Reload;
        case WebNavigationKind::FormResubmitted: return WKNavigationType::FormResubmitted;
        case WebNavigationKind::Other: return WKNavigationType::Other;
    }
    return WKNavigationType::Other;
}

// Whether a link's target names another window.
bool opensNewWindow(const std::string& target) {
    return !target.empty() && target != "_self" && target != "_top" && target != "_parent";
}

}  // namespace

WKWebView::WKWebView(CGRect frame, Ref<WKWebViewConfiguration> configuration)
    : WebPageHostView(frame), configuration_(configuration ? std::move(configuration) : make<WKWebViewConfiguration>()) {}

// --- Navigations ---

Ref<WKNavigation> WKWebView::startNavigation(WebNavigation navigation) {
    loader_->navigate(std::move(navigation));
    return newNavigation();
}

// After the loader has ended any earlier load (reported under the old token).
Ref<WKNavigation> WKWebView::newNavigation() {
    navigation_ = make<WKNavigation>();
    return navigation_;
}

Ref<WKNavigation> WKWebView::loadRequest(const Ref<NSURLRequest>& request) {
    if (!request || !request->URL()) return nullptr;
    return startNavigation({request, WebNavigationKind::Other});
}

Ref<WKNavigation> WKWebView::loadHTMLString(std::string html, const Ref<NSURL>& baseURL) {
    loader_->loadHTMLString(std::move(html), baseURL);
    return newNavigation();
}

Ref<WKNavigation> WKWebView::reload() {
    if (!URL()) return nullptr;
    loader_->reload();
    return newNavigation();
}

Ref<WKNavigation> WKWebView::goBack() {
    if (!canGoBack()) return nullptr;
    loader_->goBack();
    return newNavigation();
}

Ref<WKNavigation> WKWebView::goForward() {
    if (!canGoForward()) return nullptr;
    loader_->goForward();
    return newNavigation();
}

bool WKWebView::followLink(const std::string& linkText) {
    auto link = loader_->linkWithText(linkText);
    if (!link) return false;
    auto url = NSURL::URLWithString(link->href, URL());
    if (!url) return false;
    startNavigation({NSURLRequest::requestWithURL(url), WebNavigationKind::LinkActivated, opensNewWindow(link->target)});
    return true;
}

// --- Scripts ---

void WKWebView::evaluateJavaScript(std::string script, ScriptCompletion completion) {
    scripts_.push_back(std::move(script));
    if (completion) DispatchQueue::main()->async([completion] { completion(Value(), nullptr); });
}

bool WKWebView::postScriptMessage(const std::string& name, const Value& body) {
    return configuration_->userContentController()->deliverScriptMessage(name, body, self<WKWebView>());
}

// --- What the loader asks and tells ---

Ref<WKNavigationAction> WKWebView::actionFor(const WebNavigation& navigation) const {
    auto mainFrame = make<WKFrameInfo>(true, loader_->request());
    return make<WKNavigationAction>(navigation.request, navigationTypeFor(navigation.kind), mainFrame,
                                    navigation.opensNewWindow ? nullptr : mainFrame);
}

void WKWebView::decidePolicy(const WebNavigation& navigation, std::function<void(bool allow)> decide) {
    auto delegate = navigationDelegate();
    if (!delegate) {
        decide(true);
        return;
    }
    auto keep = self<WKWebView>();
    delegate->decidePolicyForNavigationAction(keep, actionFor(navigation), [decide](WKNavigationActionPolicy policy) {
        decide(policy == WKNavigationActionPolicy::Allow);
    });
}

void WKWebView::loadDidStart() {
    if (auto delegate = navigationDelegate()) delegate->didStartProvisionalNavigation(self<WKWebView>(), navigation_);
}

void WKWebView::loadDidRedirect() {
    if (auto delegate = navigationDelegate())
        delegate->didReceiveServerRedirectForProvisionalNavigation(self<WKWebView>(), navigation_);
}

void WKWebView::loadDidCommit() {
    showLoadedPage();
    if (auto delegate = navigationDelegate()) delegate->didCommitNavigation(self<WKWebView>(), navigation_);
}

void WKWebView::loadDidFinish() {
    if (auto delegate = navigationDelegate()) delegate->didFinishNavigation(self<WKWebView>(), navigation_);
}

void WKWebView::loadDidFail(const Ref<NSError>& error, bool provisional) {
    auto delegate = navigationDelegate();
    if (!delegate) return;
    if (provisional) delegate->didFailProvisionalNavigation(self<WKWebView>(), navigation_, error);
    else delegate->didFailNavigation(self<WKWebView>(), navigation_, error);
}

Ref<NSError> WKWebView::handleForeignScheme(const Ref<NSURLRequest>& request, bool) {
    Dictionary info{{NSLocalizedDescriptionKey, "unsupported URL"}};
    if (request->URL()) info.put(NSURLErrorFailingURLStringErrorKey, request->URL()->absoluteString());
    return NSError::errorWithDomain(NSURLErrorDomain, NSURLErrorUnsupportedURL, std::move(info));
}

void WKWebView::openInNewWindow(const Ref<NSURLRequest>& request) {
    auto delegate = UIDelegate();
    if (!delegate) return;
    auto action = actionFor({request, WebNavigationKind::LinkActivated, true});
    if (auto opened = delegate->createWebViewWithConfiguration(self<WKWebView>(), configuration_, action))
        opened->loadRequest(request);
}
