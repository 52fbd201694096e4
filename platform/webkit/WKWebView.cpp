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

// The token is made once the loader has ended any earlier load (reported
// under the old token).
Ref<WKNavigation> WKWebView::startNavigation(const std::function<void()>& navigate) {
    Ref<WKNavigation> started;
    beginNavigation([&] {
        navigate();
        started = navigation_ = make<WKNavigation>();
    });
    return started;
}

Ref<WKNavigation> WKWebView::loadRequest(const Ref<NSURLRequest>& request) {
    if (!request || !request->URL()) return nullptr;
    return startNavigation([&] { loader_->navigate({request, WebNavigationKind::Other}); });
}

Ref<WKNavigation> WKWebView::loadHTMLString(std::string html, const Ref<NSURL>& baseURL) {
    return startNavigation([&] { loader_->loadHTMLString(std::move(html), baseURL); });
}

Ref<WKNavigation> WKWebView::reload() {
    if (!URL()) return nullptr;
    return startNavigation([this] { loader_->reload(); });
}

Ref<WKNavigation> WKWebView::goBack() {
    if (!canGoBack()) return nullptr;
    return startNavigation([this] { loader_->goBack(); });
}

Ref<WKNavigation> WKWebView::goForward() {
    if (!canGoForward()) return nullptr;
    return startNavigation([this] { loader_->goForward(); });
}

bool WKWebView::followLink(const std::string& linkText) {
    auto link = loader_->linkWithText(linkText);
    if (!link) return false;
    auto url = NSURL::URLWithString(link->href, URL());
    if (!url) return false;
    const bool newWindow = opensNewWindow(link->target);
    startNavigation([&] {
        loader_->navigate({NSURLRequest::requestWithURL(url), WebNavigationKind::LinkActivated, newWindow});
    });
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
    if (auto delegate = navigationDelegate())
        delegate->didStartProvisionalNavigation(self<WKWebView>(), currentNavigation());
}

void WKWebView::loadDidRedirect() {
    if (auto delegate = navigationDelegate())
        delegate->didReceiveServerRedirectForProvisionalNavigation(self<WKWebView>(), currentNavigation());
}

void WKWebView::loadDidCommit() {
    showLoadedPage();
    if (auto delegate = navigationDelegate()) delegate->didCommitNavigation(self<WKWebView>(), currentNavigation());
}

void WKWebView::loadDidFinish() {
    if (auto delegate = navigationDelegate()) delegate->didFinishNavigation(self<WKWebView>(), currentNavigation());
}

void WKWebView::loadDidFail(const Ref<NSError>& error, bool provisional) {
    auto delegate = navigationDelegate();
    if (!delegate) return;
    if (provisional) delegate->didFailProvisionalNavigation(self<WKWebView>(), currentNavigation(), error);
    else delegate->didFailNavigation(self<WKWebView>(), currentNavigation(), error);
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
