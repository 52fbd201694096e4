#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "foundation/NSError.h"
#include "foundation/NSObject.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLRequest.h"
#include "webkit/WebPageContent.h"

class NSURLResponse;
class NSURLSessionDataTask;

// The domain of the web views' own load errors, and its code for a load
// that a policy decision interrupted (a refused redirect, or a hand-over to
// another app).
extern const char* const WebKitErrorDomain;
inline constexpr long WebKitErrorFrameLoadInterruptedByPolicyChange = 102;

// Why a navigation happens; both web views map it to their own enums.
enum class WebNavigationKind { LinkActivated, FormSubmitted, BackForward, Reload, FormResubmitted, Other };

// One navigation offered to the policy callback.
struct WebNavigation {
    Ref<NSURLRequest> request;
    WebNavigationKind kind = WebNavigationKind::Other;
    // A link that names another window ("_blank"): there is no target frame.
    bool opensNewWindow = false;
    // A server redirect of the load under way.
    bool isRedirect = false;
};

// What the loader asks and tells the web view that owns it.
class WebFrameLoaderClient {
public:
    virtual ~WebFrameLoaderClient() = default;
    // The policy callback; `decide` may be called later, at most once counts.
    virtual void decidePolicy(const WebNavigation& navigation, std::function<void(bool allow)> decide) = 0;
    virtual void loadDidStart() = 0;
    virtual void loadDidRedirect() {}
    virtual void loadDidCommit() {}
    virtual void loadDidFinish() = 0;
    // `provisional`: nothing of the new page had arrived.
    virtual void loadDidFail(const Ref<NSError>& error, bool provisional) = 0;
    // An allowed navigation to a scheme that is not loaded here (not
    // http, https or about). The answer is the error that ends the load,
    // or null when nothing is reported.
    virtual Ref<NSError> handleForeignScheme(const Ref<NSURLRequest>& request, bool interruptsLoad) = 0;
    // An allowed navigation without a target frame.
    virtual void openInNewWindow(const Ref<NSURLRequest>& request) = 0;
};

// The navigation machinery both web views share. Every navigation (a load
// request, an HTML string, a link, back, reload, and each server redirect)
// is first offered to the client's policy callback on a later main-queue
// turn; an allowed one is loaded over URL loading (redirects are not
// followed by the transport but offered as new navigations). A navigation
// started while another is under way ends the earlier one, which fails as
// cancelled (after its commit, as a failed, not a provisional, load). A
// report to the client may begin a newer navigation, stop the load or let
// the web view go; the loader then goes no further with the navigation it
// reported. The page's body becomes its content (WebPageContent); the
// history is the list of committed addresses.
class WebFrameLoader : public NSObject {
public:
    // The most bytes of a page read: its document alone (nothing it refers
    // to is loaded), many times the longest page a server of the app sends.
    // A longer one fails as NSURLErrorDataLengthExceedsMaximum.
    static constexpr std::uint64_t kLargestPageBytes = 8u << 20;

    explicit WebFrameLoader(WebFrameLoaderClient& client) : client_(&client) {}
    ~WebFrameLoader() override;

    // The web view is going away: stops the load and tells it nothing more.
    void detachClient();

    void navigate(WebNavigation navigation);
    // The page from text, committed as if loaded from `baseURL` (about:blank without one).
    void loadHTMLString(std::string html, const Ref<NSURL>& baseURL);
    // Ends the load under way without reporting it.
    void stopLoading();
    void reload();
    bool canGoBack() const { return historyIndex_ > 0; }
    void goBack();
    bool canGoForward() const { return historyIndex_ + 1 < history_.size(); }
    void goForward();

    // The committed page's address and request (the one loading while a load runs).
    Ref<NSURL> URL() const;
    Ref<NSURLRequest> request() const { return request_; }
    const WebPageContent& content() const { return content_; }
    bool isLoading() const { return loading_; }
    // 0 before the first load; 0.1 once a load starts; 1 once it ends.
    double estimatedProgress() const { return progress_; }
    // A link of the committed page by its text, or nothing.
    std::optional<WebPageLink> linkWithText(const std::string& text) const;

private:
    // Asks the policy callback on a later main-queue turn.
    void offer(const WebNavigation& navigation);
    void decided(const WebNavigation& navigation, bool allow);
    void startTransfer(const Ref<NSURLRequest>& request);
    void loadDidComplete(const NSData& body, const Ref<NSURLResponse>& response, const Ref<NSError>& error);
    void commit(const Ref<NSURL>& url, WebPageContent content);
    void fail(const Ref<NSError>& error, bool provisional);
    void interruptRunningLoad();
    // Whether the navigation of `generation` is still the one to go on with
    // (no newer one, no stop, and the web view is still there).
    bool isCurrent(std::uint64_t generation) const;
    static bool isLoadable(const Ref<NSURL>& url);

    WebFrameLoaderClient* client_;
    // Bumped by every new navigation and stop: late answers of older ones are dropped.
    std::uint64_t generation_ = 0;
    Ref<NSURLSessionDataTask> task_;
    Ref<NSURLRequest> request_;
    WebNavigationKind loadingKind_ = WebNavigationKind::Other;
    std::optional<std::size_t> pendingHistoryIndex_;
    std::optional<std::string> pendingHTML_;
    bool loading_ = false;
    // The page of the load under way has arrived (its commit is being told).
    bool committed_ = false;
    double progress_ = 0;
    WebPageContent content_;
    std::vector<Ref<NSURL>> history_;
    std::size_t historyIndex_ = 0;
};
