#include "foundation/URLLoadingEngine.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <strings.h>
#include <string_view>

#include "foundation/HTTPHeaderName.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLError.h"

namespace {
using Clock = std::chrono::steady_clock;

// The longest the engine thread sleeps when nothing is due.
constexpr int idlePollMilliseconds = 10000;
constexpr long maximumRedirects = 16;
// As many connections to one host as the platform opens; more transfers wait.
constexpr long maximumConnectionsPerHost = 6;
// Finished easy handles kept for reuse; making one afresh costs more than resetting one.
constexpr std::size_t spareHandleLimit = 16;

bool hasSupportedScheme(std::string_view url) {
    for (std::string_view scheme : {"http://", "https://"}) {
        if (url.size() >= scheme.size() && ::strncasecmp(url.data(), scheme.data(), scheme.size()) == 0) return true;
    }
    return false;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

long urlErrorCodeFor(CURLcode result) {
    switch (result) {
    case CURLE_OK: return 0;
    case CURLE_OPERATION_TIMEDOUT: return NSURLErrorTimedOut;
    case CURLE_COULDNT_RESOLVE_HOST: return NSURLErrorCannotFindHost;
    case CURLE_COULDNT_CONNECT: return NSURLErrorCannotConnectToHost;
    case CURLE_URL_MALFORMAT: return NSURLErrorBadURL;
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR: return NSURLErrorNetworkConnectionLost;
    // The scheme is checked before a transfer starts, so an unsupported
    // protocol here is an answer that is not HTTP at all.
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_BAD_CONTENT_ENCODING:
    case CURLE_TOO_MANY_REDIRECTS: return NSURLErrorBadServerResponse;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE: return NSURLErrorServerCertificateUntrusted;
    case CURLE_SSL_CONNECT_ERROR: return NSURLErrorSecureConnectionFailed;
    default: return NSURLErrorUnknown;
    }
}
}  // namespace

namespace {
struct TrustSettings {
    std::mutex mutex;
    std::map<std::string, std::string> certificateFiles;  // host -> PEM file
};
TrustSettings& trustSettings() {
    static TrustSettings settings;
    return settings;
}
}  // namespace

void URLLoadingEngine::trustCertificatesForHost(const std::string& host, std::optional<std::string> certificateFile) {
    auto& settings = trustSettings();
    std::lock_guard lock(settings.mutex);
    if (certificateFile) {
        settings.certificateFiles[host] = std::move(*certificateFile);
    } else {
        settings.certificateFiles.erase(host);
    }
}

std::optional<std::string> URLLoadingEngine::trustedCertificatesForURL(const std::string& url) {
    auto parsed = NSURL::URLWithString(url);
    auto host = parsed ? parsed->host() : std::nullopt;
    if (!host) return std::nullopt;
    auto& settings = trustSettings();
    std::lock_guard lock(settings.mutex);
    auto found = settings.certificateFiles.find(*host);
    if (found == settings.certificateFiles.end()) return std::nullopt;
    return found->second;
}

struct URLLoadingEngine::Transfer {
    TransferID id = 0;
    Request request;
    std::shared_ptr<URLTransferObserver> observer;
    CURL* easy = nullptr;
    curl_slist* headerList = nullptr;
    std::vector<std::pair<std::string, std::string>> responseHeaders;
    bool responseDelivered = false;
    Clock::time_point lastActivity;
    curl_off_t bytesReceived = 0;
    curl_off_t bytesSent = 0;

    Transfer(TransferID id, Request request, std::shared_ptr<URLTransferObserver> observer)
        : id(id), request(std::move(request)), observer(std::move(observer)) {}
    ~Transfer() {
        if (easy) curl_easy_cleanup(easy);
        curl_slist_free_all(headerList);
    }

    Clock::time_point deadline() const {
        return lastActivity + std::chrono::duration_cast<Clock::duration>(
                                  std::chrono::duration<double>(std::max(request.timeoutInterval, 0.001)));
    }

    void configure(CURL* handle);
    void deliverResponse();
    void headersComplete();
    static std::size_t onHeader(char* bytes, std::size_t size, std::size_t count, void* context);
    static std::size_t onData(char* bytes, std::size_t size, std::size_t count, void* context);
    static int onProgress(void* context, curl_off_t, curl_off_t received, curl_off_t expectedToSend, curl_off_t sent);
};

void URLLoadingEngine::Transfer::configure(CURL* handle) {
    easy = handle;
    curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(easy, CURLOPT_PRIVATE, this);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, maximumRedirects);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                     std::max(1L, static_cast<long>(request.timeoutInterval * 1000)));
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::onData);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &Transfer::onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
    // Certificates are always checked; some hosts trust their own authorities.
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    if (auto authorities = URLLoadingEngine::trustedCertificatesForURL(request.url))
        curl_easy_setopt(easy, CURLOPT_CAINFO, authorities->c_str());

    bool expectGiven = false;
    for (const auto& [name, value] : request.headers) {
        expectGiven = expectGiven || HTTPHeaderName::equal(name, "Expect");
        // "Name;" is how curl is told to send a field with an empty value.
        const std::string line = value.empty() ? name + ";" : name + ": " + value;
        headerList = curl_slist_append(headerList, line.c_str());
    }
    // Bodies go out at once, without waiting for a "100 Continue".
    if (!expectGiven) headerList = curl_slist_append(headerList, "Expect:");
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headerList);

    const std::string& method = request.method;
    const auto sendBody = [this] {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.length()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.body.empty() ? "" : reinterpret_cast<const char*>(request.body.bytes()));
    };
    if (method.empty() || method == "GET") {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    } else if (method == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else if (method == "POST") {
        sendBody();
    } else {
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
        if (!request.body.empty()) sendBody();
    }
}

void URLLoadingEngine::Transfer::deliverResponse() {
    if (responseDelivered) return;
    responseDelivered = true;
    URLTransferObserver::Response response;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &response.statusCode);
    char* effectiveURL = nullptr;
    curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effectiveURL);
    response.url = effectiveURL ? effectiveURL : request.url;
    response.headers = std::move(responseHeaders);
    responseHeaders.clear();
    observer->transferDidReceiveResponse(std::move(response));
}

// The end of a header block: interim answers and redirects that curl follows
// are passed over; the first final answer goes to the observer.
void URLLoadingEngine::Transfer::headersComplete() {
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 100 && status < 200) return;
    const bool redirects = status >= 300 && status < 400 &&
                           std::any_of(responseHeaders.begin(), responseHeaders.end(),
                                       [](const auto& field) { return HTTPHeaderName::equal(field.first, "Location"); });
    if (!redirects || !request.followRedirects) deliverResponse();
}

std::size_t URLLoadingEngine::Transfer::onHeader(char* bytes, std::size_t size, std::size_t count, void* context) {
    auto& transfer = *static_cast<Transfer*>(context);
    const std::size_t length = size * count;
    transfer.lastActivity = Clock::now();
    const std::string_view line = trimmed(std::string_view(bytes, length));
    if (line.starts_with("HTTP/")) {
        transfer.responseHeaders.clear();
    } else if (line.empty()) {
        transfer.headersComplete();
    } else if (const auto colon = line.find(':'); colon != std::string_view::npos) {
        transfer.responseHeaders.emplace_back(std::string(trimmed(line.substr(0, colon))),
                                              std::string(trimmed(line.substr(colon + 1))));
    }
    return length;
}

std::size_t URLLoadingEngine::Transfer::onData(char* bytes, std::size_t size, std::size_t count, void* context) {
    auto& transfer = *static_cast<Transfer*>(context);
    const std::size_t length = size * count;
    transfer.lastActivity = Clock::now();
    transfer.deliverResponse();
    transfer.observer->transferDidReceiveData(bytes, length);
    return length;
}

int URLLoadingEngine::Transfer::onProgress(void* context, curl_off_t, curl_off_t received, curl_off_t expectedToSend,
                                           curl_off_t sent) {
    auto& transfer = *static_cast<Transfer*>(context);
    if (received != transfer.bytesReceived || sent != transfer.bytesSent) transfer.lastActivity = Clock::now();
    transfer.bytesReceived = received;
    if (sent > transfer.bytesSent) {
        const curl_off_t delta = sent - transfer.bytesSent;
        transfer.bytesSent = sent;
        transfer.observer->transferDidSendBodyData(delta, sent, expectedToSend);
    }
    return 0;
}

URLLoadingEngine& URLLoadingEngine::shared() {
    static URLLoadingEngine engine;
    return engine;
}

URLLoadingEngine::URLLoadingEngine() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    multi_ = curl_multi_init();
    curl_multi_setopt(multi_, CURLMOPT_MAX_HOST_CONNECTIONS, maximumConnectionsPerHost);
}

URLLoadingEngine::~URLLoadingEngine() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    if (thread_.joinable()) {
        curl_multi_wakeup(multi_);
        thread_.join();
    }
    for (auto& [id, transfer] : running_) curl_multi_remove_handle(multi_, transfer->easy);
    running_.clear();
    startsPending_.clear();
    for (CURL* handle : spareHandles_) curl_easy_cleanup(handle);
    curl_multi_cleanup(multi_);
    curl_global_cleanup();
}

URLLoadingEngine::TransferID URLLoadingEngine::start(Request request, std::shared_ptr<URLTransferObserver> observer) {
    TransferID id;
    {
        std::lock_guard lock(mutex_);
        id = ++lastID_;
        startsPending_.push_back(std::make_unique<Transfer>(id, std::move(request), std::move(observer)));
        if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    }
    curl_multi_wakeup(multi_);
    return id;
}

void URLLoadingEngine::cancel(TransferID transfer) {
    {
        std::lock_guard lock(mutex_);
        cancelsPending_.push_back(transfer);
    }
    curl_multi_wakeup(multi_);
}

void URLLoadingEngine::run() {
    for (;;) {
        takeCommands();
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
        }
        int stillRunning = 0;
        curl_multi_perform(multi_, &stillRunning);
        int messagesLeft = 0;
        while (CURLMsg* message = curl_multi_info_read(multi_, &messagesLeft)) {
            if (message->msg != CURLMSG_DONE) continue;
            Transfer* transfer = nullptr;
            curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
            const long code = urlErrorCodeFor(message->data.result);
            finish(*transfer, code);
        }
        failIdleTransfers();
        curl_multi_poll(multi_, nullptr, 0, millisecondsUntilNextDeadline(), nullptr);
    }
}

void URLLoadingEngine::takeCommands() {
    std::vector<std::unique_ptr<Transfer>> starts;
    std::vector<TransferID> cancels;
    {
        std::lock_guard lock(mutex_);
        starts.swap(startsPending_);
        cancels.swap(cancelsPending_);
    }
    const auto cancelled = [&cancels](TransferID id) {
        return std::find(cancels.begin(), cancels.end(), id) != cancels.end();
    };
    for (auto& transfer : starts) {
        if (cancelled(transfer->id)) continue;
        if (!hasSupportedScheme(transfer->request.url)) {
            transfer->observer->transferDidComplete(NSURLErrorUnsupportedURL);
            continue;
        }
        CURL* handle = spareHandles_.empty() ? curl_easy_init() : spareHandles_.back();
        if (!spareHandles_.empty()) spareHandles_.pop_back();
        transfer->configure(handle);
        transfer->lastActivity = Clock::now();
        curl_multi_add_handle(multi_, transfer->easy);
        running_.emplace(transfer->id, std::move(transfer));
    }
    for (TransferID id : cancels) {
        auto found = running_.find(id);
        if (found == running_.end()) continue;
        release(*found->second);
        running_.erase(found);
    }
}

void URLLoadingEngine::finish(Transfer& transfer, long urlErrorCode) {
    if (urlErrorCode == 0) transfer.deliverResponse();
    const auto observer = transfer.observer;
    const TransferID id = transfer.id;
    release(transfer);
    running_.erase(id);
    observer->transferDidComplete(urlErrorCode);
}

void URLLoadingEngine::release(Transfer& transfer) {
    curl_multi_remove_handle(multi_, transfer.easy);
    if (spareHandles_.size() < spareHandleLimit) {
        curl_easy_reset(transfer.easy);
        spareHandles_.push_back(std::exchange(transfer.easy, nullptr));
    }
}

void URLLoadingEngine::failIdleTransfers() {
    const auto now = Clock::now();
    std::vector<Transfer*> idle;
    for (auto& [id, transfer] : running_) {
        if (transfer->deadline() <= now) idle.push_back(transfer.get());
    }
    for (Transfer* transfer : idle) finish(*transfer, NSURLErrorTimedOut);
}

int URLLoadingEngine::millisecondsUntilNextDeadline() const {
    if (running_.empty()) return idlePollMilliseconds;
    auto next = Clock::time_point::max();
    for (const auto& [id, transfer] : running_) next = std::min(next, transfer->deadline());
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count() + 1;
    return static_cast<int>(std::clamp<long long>(wait, 0, idlePollMilliseconds));
}
