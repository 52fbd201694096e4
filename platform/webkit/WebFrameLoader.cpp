#include "webkit/WebFrameLoader.h"

#include <memory>

#include "foundation/DispatchQueue.h"
#include "foundation/NSHTTPURLResponse.h"
#include "foundation/NSString.h"
#include "foundation/NSURLError.h"
#include "foundation/NSURLSession.h"
#include "foundation/NSURLSessionDataTask.h"

const char* const WebKitErrorDomain = "WebKitErrorDomain";

namespace {

// Web views load without following redirects, so that each one goes
// through the policy callback, and read no page past a page's bound.
const Ref<NSURLSession>& webSession() {
    static const Ref<NSURLSession> session = [] {
        auto configuration = NSURLSessionConfiguration::defaultSessionConfiguration();
        configuration->setFollowsRedirects(false);
        configuration->setLargestResponseBody(WebFrameLoader::kLargestPageBytes);
        return NSURLSession::sessionWithConfiguration(configuration);
    }();
    return session;
}

Ref<NSError> loadError(const char* domain, long code, const std::string& description, const Ref<NSURL>& url) {
    Dictionary info{{NSLocalizedDescriptionKey, description}};
    if (url) info.put(NSURLErrorFailingURLStringErrorKey, url->absoluteString());
    return NSError::errorWithDomain(domain, code, std::move(info));
}

}  // namespace

WebFrameLoader::~WebFrameLoader() {
    if (task_) task_->cancel();
}

void WebFrameLoader::detachClient() {
    stopLoading();
    client_ = nullptr;
}

// --- Navigations ---

void WebFrameLoader::navigate(WebNavigation navigation) {
    interruptRunningLoad();
    ++generation_;
    pendingHistoryIndex_.reset();
    pendingHTML_.reset();
    offer(navigation);
}

void WebFrameLoader::loadHTMLString(std::string html, const Ref<NSURL>& baseURL) {
    auto url = baseURL ? baseURL : NSURL::URLWithString("about:blank");
    navigate({NSURLRequest::requestWithURL(url), WebNavigationKind::Other});
    pendingHTML_ = std::move(html);
}

void WebFrameLoader::reload() {
    if (auto url = URL()) navigate({NSURLRequest::requestWithURL(url), WebNavigationKind::Reload});
}

void WebFrameLoader::goBack() {
    if (!canGoBack()) return;
    const std::size_t index = historyIndex_ - 1;
    navigate({NSURLRequest::requestWithURL(history_[index]), WebNavigationKind::BackForward});
    pendingHistoryIndex_ = index;
}

void WebFrameLoader::goForward() {
    if (!canGoForward()) return;
    const std::size_t index = historyIndex_ + 1;
    navigate({NSURLRequest::requestWithURL(history_[index]), WebNavigationKind::BackForward});
    pendingHistoryIndex_ = index;
}

void WebFrameLoader::stopLoading() {
    ++generation_;
    if (task_) task_->cancel();
    task_.reset();
    loading_ = false;
    pendingHTML_.reset();
}

void WebFrameLoader::offer(const WebNavigation& navigation) {
    WeakRef<WebFrameLoader> weak = self<WebFrameLoader>();
    const std::uint64_t generation = generation_;
    DispatchQueue::main()->async([weak, generation, navigation] {
        auto loader = weak.lock();
        if (!loader || !loader->isCurrent(generation)) return;
        auto answered = std::make_shared<bool>(false);
        loader->client_->decidePolicy(navigation, [weak, generation, navigation, answered](bool allow) {
            auto loader = weak.lock();
            if (*answered || !loader || !loader->isCurrent(generation)) return;
            *answered = true;
            loader->decided(navigation, allow);
        });
    });
}

// Each report to the client may begin a newer navigation, stop the load or
// let the web view go: the loader goes on only while the navigation it
// reported is still current.
void WebFrameLoader::decided(const WebNavigation& navigation, bool allow) {
    const Ref<NSURLRequest>& request = navigation.request;
    const std::uint64_t generation = generation_;
    if (!allow) {
        if (navigation.isRedirect)
            fail(loadError(WebKitErrorDomain, WebKitErrorFrameLoadInterruptedByPolicyChange, "Frame load interrupted",
                           request->URL()),
                 true);
        return;
    }
    if (navigation.opensNewWindow) {
        client_->openInNewWindow(request);
        return;
    }
    if (!isLoadable(request->URL())) {
        if (navigation.isRedirect) loading_ = false;
        if (auto error = client_->handleForeignScheme(request, navigation.isRedirect)) fail(error, true);
        return;
    }
    if (navigation.isRedirect) {
        client_->loadDidRedirect();
    } else {
        loadingKind_ = navigation.kind;
        loading_ = true;
        progress_ = 0.1;
        request_ = request;
        committed_ = false;
        client_->loadDidStart();
    }
    if (isCurrent(generation)) startTransfer(request);
}

bool WebFrameLoader::isCurrent(std::uint64_t generation) const {
    return client_ && generation_ == generation;
}

bool WebFrameLoader::isLoadable(const Ref<NSURL>& url) {
    if (!url || !url->scheme()) return false;
    const std::string scheme = NSString::lowercaseString(*url->scheme());
    return scheme == "http" || scheme == "https" || scheme == "about";
}

// --- Loading ---

void WebFrameLoader::startTransfer(const Ref<NSURLRequest>& request) {
    request_ = request;
    WeakRef<WebFrameLoader> weak = self<WebFrameLoader>();
    const std::uint64_t generation = generation_;
    if (pendingHTML_ || NSString::lowercaseString(request->URL()->scheme().value_or("")) == "about") {
        // A page from text (about:blank is an empty one) commits on the next turn, as a load would.
        WebPageContent content = WebPageContent::fromHTML(pendingHTML_.value_or(""));
        pendingHTML_.reset();
        DispatchQueue::main()->async([weak, generation, content = std::move(content)]() mutable {
            auto loader = weak.lock();
            if (loader && loader->isCurrent(generation)) loader->commit(loader->request_->URL(), std::move(content));
        });
        return;
    }
    task_ = webSession()->dataTaskWithRequest(
        request, [weak, generation](const NSData& body, Ref<NSURLResponse> response, Ref<NSError> error) {
            auto loader = weak.lock();
            if (!loader || !loader->isCurrent(generation)) return;
            loader->task_.reset();
            loader->loadDidComplete(body, response, error);
        });
    task_->resume();
}

void WebFrameLoader::loadDidComplete(const NSData& body, const Ref<NSURLResponse>& response, const Ref<NSError>& error) {
    if (error || !response) {
        fail(error ? error : loadError(NSURLErrorDomain, NSURLErrorBadServerResponse, "bad server response",
                                       request_->URL()),
             true);
        return;
    }
    auto http = cast<NSHTTPURLResponse>(response);
    if (http && http->statusCode() >= 300 && http->statusCode() < 400) {
        if (auto location = http->valueForHTTPHeaderField("Location")) {
            if (auto target = NSURL::URLWithString(*location, response->URL())) {
                auto redirected = NSMutableURLRequest::requestWithURL(target, request_->cachePolicy(),
                                                                      request_->timeoutInterval());
                offer({redirected, WebNavigationKind::Other, false, true});
                return;
            }
        }
    }
    commit(response->URL(), WebPageContent::fromBody(body, response->MIMEType(), response->textEncodingName()));
}

void WebFrameLoader::commit(const Ref<NSURL>& url, WebPageContent content) {
    content_ = std::move(content);
    if (pendingHistoryIndex_ && *pendingHistoryIndex_ < history_.size()) {
        historyIndex_ = *pendingHistoryIndex_;
        history_[historyIndex_] = url;
    } else if (loadingKind_ == WebNavigationKind::Reload && !history_.empty()) {
        history_[historyIndex_] = url;
    } else {
        if (!history_.empty()) history_.resize(historyIndex_ + 1);
        history_.push_back(url);
        historyIndex_ = history_.size() - 1;
    }
    pendingHistoryIndex_.reset();
    // Still loading while the commit is told: a navigation begun then ends
    // this one as a failure after its commit.
    committed_ = true;
    const std::uint64_t generation = generation_;
    client_->loadDidCommit();
    if (!isCurrent(generation)) return;
    loading_ = false;
    progress_ = 1;
    client_->loadDidFinish();
}

void WebFrameLoader::fail(const Ref<NSError>& error, bool provisional) {
    loading_ = false;
    progress_ = 1;
    pendingHistoryIndex_.reset();
    pendingHTML_.reset();
    client_->loadDidFail(error, provisional);
}

void WebFrameLoader::interruptRunningLoad() {
    if (!loading_) return;
    ++generation_;
    if (task_) task_->cancel();
    task_.reset();
    fail(loadError(NSURLErrorDomain, NSURLErrorCancelled, "cancelled", request_ ? request_->URL() : nullptr),
         !committed_);
}

// --- State ---

Ref<NSURL> WebFrameLoader::URL() const {
    if (loading_ && request_) return request_->URL();
    return history_.empty() ? nullptr : history_[historyIndex_];
}

std::optional<WebPageLink> WebFrameLoader::linkWithText(const std::string& text) const {
    for (const auto& link : content_.links)
        if (link.text == text) return link;
    return std::nullopt;
}
