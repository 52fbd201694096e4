#include "foundation/URLLoadingEngine.h"

#include <curl/curl.h>
#include <poll.h>
#include <strings.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <string_view>
#include <thread>

#include "foundation/DispatchQueue.h"
#include "foundation/DispatchThreadPool.h"
#include "foundation/HTTPHeaderName.h"
#include "foundation/MonotonicClock.h"
#include "foundation/NSDate.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSThread.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLError.h"

namespace {
using Clock = std::chrono::steady_clock;

constexpr long maximumRedirects = 16;
// A kept-alive connection is reused only while it has been idle for less
// than a second (curl counts the idle time in whole seconds and reuses a
// connection while that count is at most this). Servers close idle
// connections after 2 s or more (the local back end at 2 s, its stand-ins
// at 5 s), so a request never goes out on a connection the server may be
// closing at that moment, however the client's pauses fall.
constexpr long longestReuseIdleSeconds = 0;
// Sockets looked at again right after curl acted, before going back to the loop.
constexpr int eagerRounds = 4;
// Finished easy handles kept for reuse; making one afresh costs more than resetting one.
constexpr std::size_t spareHandleLimit = 16;

bool hasSupportedScheme(std::string_view url) {
    for (std::string_view scheme : {"http://", "https://"}) {
        if (url.size() >= scheme.size() && ::strncasecmp(url.data(), scheme.data(), scheme.size()) == 0) return true;
    }
    return false;
}

// Whether the authority after "scheme://" names a host. curl would take the
// first path segment of "https:///path" for the host and look it up.
bool hasHost(std::string_view url) {
    const auto start = url.find("://");
    if (start == std::string_view::npos) return false;
    std::string_view authority = url.substr(start + 3);
    authority = authority.substr(0, authority.find_first_of("/?#"));
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
    if (!authority.empty() && authority.front() == '[') return authority.size() > 2;
    return !authority.substr(0, authority.find(':')).empty();
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// The body of a chunked answer out of its framing, fed the framed bytes as
// libcurl reads them. libcurl reads the framing too, to find the body's end,
// and fails a transfer whose framing is wrong, so this only has to follow
// valid framing: size lines (hexadecimal, perhaps with extensions), data
// each followed by a line end, the last chunk of size 0 and its trailer.
class ChunkedBody {
public:
    // Appends the body's bytes among `framed` to `body`.
    void take(std::string_view framed, std::string& body) {
        for (std::size_t at = 0; at < framed.size();) {
            if (state_ == State::Data) {
                const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(left_, framed.size() - at));
                body.append(framed.data() + at, length);
                at += length;
                if ((left_ -= length) == 0) state_ = State::DataEnd;
                continue;
            }
            step(framed[at++]);
        }
    }

private:
    enum class State { Size, Extension, Data, DataEnd, Trailer, Done };

    void step(char c) {
        switch (state_) {
        case State::Size:
            if (const int digit = hexDigit(c); digit >= 0) {
                left_ = left_ * 16 + static_cast<std::uint64_t>(digit);
                return;
            }
            state_ = State::Extension;
            [[fallthrough]];
        case State::Extension:
            if (c != '\n') return;
            state_ = left_ > 0 ? State::Data : State::Trailer;
            lineEmpty_ = true;
            return;
        case State::DataEnd:
            if (c == '\n') state_ = State::Size;
            return;
        case State::Trailer:
            if (c == '\n') {
                if (lineEmpty_) state_ = State::Done;
                lineEmpty_ = true;
            } else if (c != '\r') {
                lineEmpty_ = false;
            }
            return;
        case State::Data:
        case State::Done: return;
        }
    }
    static int hexDigit(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    State state_ = State::Size;
    std::uint64_t left_ = 0;  // the chunk's bytes still to come
    bool lineEmpty_ = true;   // in the trailer: the line so far is empty
};

// Whether a Transfer-Encoding field's value names chunked framing, which
// libcurl then reads.
bool namesChunked(std::string_view value) {
    while (!value.empty()) {
        const auto comma = value.find(',');
        if (HTTPHeaderName::equal(trimmed(value.substr(0, comma)), "chunked")) return true;
        if (comma == std::string_view::npos) break;
        value.remove_prefix(comma + 1);
    }
    return false;
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
    case CURLE_FILESIZE_EXCEEDED: return NSURLErrorDataLengthExceedsMaximum;
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
    auto& settings = trustSettings();
    std::lock_guard lock(settings.mutex);
    // Asked for every transfer: the address is read only when some host has
    // its own authorities.
    if (settings.certificateFiles.empty()) return std::nullopt;
    auto parsed = NSURL::URLWithString(url);
    auto host = parsed ? parsed->host() : std::nullopt;
    if (!host) return std::nullopt;
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
    Clock::time_point started;
    curl_off_t bytesReceived = 0;
    curl_off_t bytesSent = 0;
    // Requests curl began to send for this transfer, and the redirects it
    // had followed when it began the last one.
    int requestsBegun = 0;
    long redirectsAtLastRequest = 0;
    // curl was about to send the request again by itself; it was stopped.
    bool resendRefused = false;
    // The body's bytes so far, and with their framing as read; the body or
    // its framing passed its bound and was left.
    std::uint64_t bodyBytes = 0;
    std::uint64_t wireBytes = 0;
    bool bodyTooLarge = false;
    // The answer is chunked: what curl hands over is unframed here, into
    // `unframed` (kept for the next read).
    bool chunked = false;
    ChunkedBody chunks;
    std::string unframed;

    Transfer(TransferID id, Request request, std::shared_ptr<URLTransferObserver> observer)
        : id(id), request(std::move(request)), observer(std::move(observer)) {}
    ~Transfer() {
        if (easy) curl_easy_cleanup(easy);
        curl_slist_free_all(headerList);
    }

    Clock::time_point deadline() const {
        return started + std::chrono::duration_cast<Clock::duration>(
                                  std::chrono::duration<double>(std::max(request.timeoutInterval, 0.001)));
    }

    void configure(CURL* handle);
    void deliverResponse();
    void headersComplete();
    static std::size_t onHeader(char* bytes, std::size_t size, std::size_t count, void* context);
    static std::size_t onData(char* bytes, std::size_t size, std::size_t count, void* context);
    static int onProgress(void* context, curl_off_t expectedToReceive, curl_off_t received, curl_off_t expectedToSend,
                          curl_off_t sent);
    static int onRequestAboutToBegin(void* context, char* connectedIP, char* localIP, int connectedPort, int localPort);
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
    curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, &Transfer::onRequestAboutToBegin);
    curl_easy_setopt(easy, CURLOPT_PREREQDATA, this);
    // Since a request is not sent again when its kept-alive connection dies
    // under it, only connections well within a server's idle limit are
    // reused; an older one is closed and a new one opened.
    curl_easy_setopt(easy, CURLOPT_MAXAGE_CONN, longestReuseIdleSeconds);
    // Certificates are always checked; some hosts trust their own authorities.
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    if (auto authorities = URLLoadingEngine::trustedCertificatesForURL(request.url))
        curl_easy_setopt(easy, CURLOPT_CAINFO, authorities->c_str());
    // curl refuses an announced length past the bound; onData a body that grows past it.
    // (curl reads 0 as no bound: onData alone holds a bound of 0.)
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.largestBody));
    // A chunked body comes framed, one call per read: onData unframes it.
    curl_easy_setopt(easy, CURLOPT_HTTP_TRANSFER_DECODING, 0L);

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
    const std::string_view line = trimmed(std::string_view(bytes, length));
    if (line.starts_with("HTTP/")) {
        transfer.responseHeaders.clear();
        transfer.chunked = false;
        transfer.chunks = ChunkedBody();
    } else if (line.empty()) {
        transfer.headersComplete();
    } else if (const auto colon = line.find(':'); colon != std::string_view::npos) {
        auto& [name, value] = transfer.responseHeaders.emplace_back(std::string(trimmed(line.substr(0, colon))),
                                                                    std::string(trimmed(line.substr(colon + 1))));
        if (HTTPHeaderName::equal(name, "Transfer-Encoding") && namesChunked(value)) transfer.chunked = true;
    }
    return length;
}

std::size_t URLLoadingEngine::Transfer::onData(char* bytes, std::size_t size, std::size_t count, void* context) {
    auto& transfer = *static_cast<Transfer*>(context);
    const std::size_t length = size * count;
    std::string_view body(bytes, length);
    if (transfer.chunked) {
        transfer.unframed.clear();
        transfer.chunks.take(body, transfer.unframed);
        body = transfer.unframed;
    }
    transfer.wireBytes += length;
    transfer.bodyBytes += body.size();
    if (transfer.bodyBytes > transfer.request.largestBody ||
        transfer.wireBytes > largestWireBytes(transfer.request.largestBody)) {
        transfer.bodyTooLarge = true;
        return 0;  // curl ends the transfer
    }
    transfer.deliverResponse();
    if (!body.empty()) transfer.observer->transferDidReceiveData(body.data(), body.size());
    return length;
}

int URLLoadingEngine::Transfer::onProgress(void* context, curl_off_t expectedToReceive, curl_off_t,
                                           curl_off_t expectedToSend, curl_off_t sent) {
    auto& transfer = *static_cast<Transfer*>(context);
    // The body's bytes as unframed (curl counts a chunked body's framing too).
    const auto received = static_cast<curl_off_t>(transfer.bodyBytes);
    const curl_off_t receivedBefore = transfer.bytesReceived;
    transfer.bytesReceived = received;
    if (received > receivedBefore)
        transfer.observer->transferDidWriteData(received - receivedBefore, received, expectedToReceive);
    if (sent > transfer.bytesSent) {
        const curl_off_t delta = sent - transfer.bytesSent;
        transfer.bytesSent = sent;
        transfer.observer->transferDidSendBodyData(delta, sent, expectedToSend);
    }
    return 0;
}

// Called each time curl is about to send a request of the transfer: the
// first, one for each redirect it follows, and one each time it would send
// the same request again by itself, on a fresh connection, because the
// kept-alive connection it went out on closed before any answer came. The
// server may have received and acted on that request (a GET of this app's
// back end can settle or pay), so such a second sending is refused: the
// transfer fails as NSURLErrorNetworkConnectionLost, whatever the method,
// and the caller decides whether to ask again.
int URLLoadingEngine::Transfer::onRequestAboutToBegin(void* context, char*, char*, int, int) {
    auto& transfer = *static_cast<Transfer*>(context);
    long redirects = 0;
    curl_easy_getinfo(transfer.easy, CURLINFO_REDIRECT_COUNT, &redirects);
    if (transfer.requestsBegun++ > 0 && redirects == transfer.redirectsAtLastRequest) {
        transfer.resendRefused = true;
        return CURL_PREREQFUNC_ABORT;
    }
    transfer.redirectsAtLastRequest = redirects;
    return CURL_PREREQFUNC_OK;
}

namespace {
// The engines of one run loop, one per connection limit, made on first use
// and never destroyed while the loop runs.
class EngineSet {
public:
    using Make = std::function<URLLoadingEngine*(long connectionsPerHost)>;
    explicit EngineSet(Make make) : make_(std::move(make)) {}
    ~EngineSet() {
        for (const auto& [limit, engine] : engines_) delete engine;
    }

    URLLoadingEngine& forLimit(long connectionsPerHost) {
        std::lock_guard lock(mutex_);
        URLLoadingEngine*& engine = engines_[connectionsPerHost];
        if (!engine) engine = make_(connectionsPerHost);
        return *engine;
    }
    std::vector<URLLoadingEngine*> all() {
        std::lock_guard lock(mutex_);
        std::vector<URLLoadingEngine*> engines;
        for (const auto& [limit, engine] : engines_) engines.push_back(engine);
        return engines;
    }

private:
    const Make make_;
    std::mutex mutex_;
    std::map<long, URLLoadingEngine*> engines_;
};

// The main loop's engines once made (never destroyed).
std::atomic<EngineSet*>& mainEnginesIfMade() {
    static std::atomic<EngineSet*> made{nullptr};
    return made;
}

struct BackgroundLoading;

// The background loading while it exists (set once made, read from any thread).
std::atomic<BackgroundLoading*>& backgroundLoadingIfMade() {
    static std::atomic<BackgroundLoading*> made{nullptr};
    return made;
}

// The thread that runs the transfers of sessions delivering to queues other
// than the main queue: a run loop of its own with its engines. Joined at exit.
struct BackgroundLoading {
    std::atomic<bool> stopping{false};
    Ref<NSRunLoop> loop;
    std::unique_ptr<EngineSet> engines;
    std::thread thread;

    explicit BackgroundLoading(const std::function<URLLoadingEngine*(Ref<NSRunLoop>, long)>& makeEngine) {
        // Observers hand results to the pool's queues, so the pool must be
        // made first and thus destroyed last.
        DispatchThreadPool::shared();
        std::promise<Ref<NSRunLoop>> made;
        thread = std::thread([this, &made] {
            NSThread::currentThread()->setName("URLLoading");
            made.set_value(NSRunLoop::currentRunLoop());
            while (!stopping) NSRunLoop::currentRunLoop()->runMode(NSDefaultRunLoopMode, NSDate::distantFuture());
        });
        loop = made.get_future().get();
        engines = std::make_unique<EngineSet>(
            [makeEngine, loop = loop](long connectionsPerHost) { return makeEngine(loop, connectionsPerHost); });
        backgroundLoadingIfMade() = this;
    }
    ~BackgroundLoading();
};

BackgroundLoading::~BackgroundLoading() {
    backgroundLoadingIfMade() = nullptr;
    stopping = true;
    loop->performBlock([] {});
    thread.join();
    engines.reset();
}
}  // namespace

URLLoadingEngine& URLLoadingEngine::main(long connectionsPerHost) {
    // Never destroyed, like the main loop they run on.
    static auto* engines = mainEnginesIfMade() = new EngineSet(
        [](long limit) { return new URLLoadingEngine(NSRunLoop::mainRunLoop(), limit); });
    return engines->forLimit(connectionsPerHost);
}

URLLoadingEngine& URLLoadingEngine::forQueue(const Ref<DispatchQueue>& queue, long connectionsPerHost) {
    if (!queue || queue->kind() == DispatchQueue::Kind::Main) return main(connectionsPerHost);
    static BackgroundLoading background(
        [](Ref<NSRunLoop> loop, long limit) { return new URLLoadingEngine(std::move(loop), limit); });
    return background.engines->forLimit(connectionsPerHost);
}

void URLLoadingEngine::closeAllConnections() {
    if (EngineSet* engines = mainEnginesIfMade()) {
        for (URLLoadingEngine* engine : engines->all()) engine->closeConnections();
    }
    if (BackgroundLoading* background = backgroundLoadingIfMade()) {
        std::promise<void> done;
        background->loop->performBlock([&] {
            for (URLLoadingEngine* engine : background->engines->all()) engine->closeConnections();
            done.set_value();
        });
        done.get_future().wait();
    }
}

URLLoadingEngine::URLLoadingEngine(Ref<NSRunLoop> loop, long connectionsPerHost)
    : loop_(std::move(loop)), connectionsPerHost_(connectionsPerHost), wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    static std::once_flag curlReady;
    std::call_once(curlReady, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    makeMulti();
    wakeWatch_ = loop_->watchDescriptor(wakeFd_, NSRunLoop::DescriptorReadable, [this](unsigned) { takeCommands(); });
}

URLLoadingEngine::~URLLoadingEngine() {
    loop_->unwatchDescriptor(wakeWatch_);
    closeConnections();
    curl_multi_cleanup(multi_);
    close(wakeFd_);
}

void URLLoadingEngine::makeMulti() {
    multi_ = curl_multi_init();
    curl_multi_setopt(multi_, CURLMOPT_MAX_HOST_CONNECTIONS, connectionsPerHost_);
    curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, &URLLoadingEngine::onSocket);
    curl_multi_setopt(multi_, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, &URLLoadingEngine::onTimer);
    curl_multi_setopt(multi_, CURLMOPT_TIMERDATA, this);
}

void URLLoadingEngine::closeConnections() {
    const Commands commands = takePendingCommands();
    // Every observer hears its end, so that none is left holding what waits for it.
    for (const auto& transfer : commands.starts) {
        if (!commands.cancels(transfer->id)) transfer->observer->transferDidComplete(NSURLErrorNetworkConnectionLost);
    }
    std::vector<Transfer*> underWay;
    for (auto& [id, transfer] : running_) underWay.push_back(transfer.get());
    for (Transfer* transfer : underWay) {
        if (commands.cancels(transfer->id)) {
            release(*transfer);
            running_.erase(transfer->id);
        } else {
            finish(*transfer, NSURLErrorNetworkConnectionLost);
        }
    }
    for (CURL* handle : spareHandles_) curl_easy_cleanup(handle);
    spareHandles_.clear();
    curl_multi_cleanup(multi_);  // closes the kept-alive connections
    for (const auto& [socket, watch] : socketWatches_) loop_->unwatchDescriptor(watch.token);
    socketWatches_.clear();
    if (curlTimer_) loop_->unscheduleRealTime(std::exchange(curlTimer_, 0));
    if (deadlineCheck_) loop_->unscheduleRealTime(std::exchange(deadlineCheck_, 0));
    makeMulti();
}

int URLLoadingEngine::onSocket(void*, int socket, int what, void* engine, void*) {
    static_cast<URLLoadingEngine*>(engine)->setCurlSocket(socket, what);
    return 0;
}

int URLLoadingEngine::onTimer(void*, long milliseconds, void* engine) {
    static_cast<URLLoadingEngine*>(engine)->setCurlTimer(milliseconds);
    return 0;
}

void URLLoadingEngine::setCurlSocket(int socket, int what) {
    auto found = socketWatches_.find(socket);
    if (what == CURL_POLL_REMOVE) {
        if (found == socketWatches_.end()) return;
        loop_->unwatchDescriptor(found->second.token);
        socketWatches_.erase(found);
        return;
    }
    const unsigned events = ((what & CURL_POLL_IN) ? NSRunLoop::DescriptorReadable : 0u) |
                            ((what & CURL_POLL_OUT) ? NSRunLoop::DescriptorWritable : 0u);
    if (found != socketWatches_.end()) {
        found->second.what = what;
        loop_->setWatchedEvents(found->second.token, events);
        return;
    }
    auto watch = loop_->watchDescriptor(socket, events, [this, socket](unsigned ready) {
        drive(socket, ((ready & NSRunLoop::DescriptorReadable) ? CURL_CSELECT_IN : 0) |
                          ((ready & NSRunLoop::DescriptorWritable) ? CURL_CSELECT_OUT : 0));
    });
    if (watch) socketWatches_.emplace(socket, SocketWatch{watch, what});
}

void URLLoadingEngine::setCurlTimer(long milliseconds) {
    if (curlTimer_) loop_->unscheduleRealTime(std::exchange(curlTimer_, 0));
    if (milliseconds < 0) return;
    curlTimer_ = loop_->scheduleRealTime(MonotonicClock::realNow() + milliseconds / 1000.0, [this] {
        curlTimer_ = 0;
        drive(CURL_SOCKET_TIMEOUT, 0);
    });
}

void URLLoadingEngine::drive(int socket, int events) {
    int stillRunning = 0;
    curl_multi_socket_action(multi_, socket, events, &stillRunning);
    // A local peer answers within microseconds: act at once on the sockets
    // that became ready meanwhile (a connect that completed, an answer that
    // came), instead of a loop turn later, after whatever else the loop runs.
    // Servers give a new connection only a moment for its request.
    std::vector<pollfd> sockets;
    for (int round = 0; round < eagerRounds && !socketWatches_.empty(); ++round) {
        sockets.clear();
        for (const auto& [fd, watch] : socketWatches_) {
            const short wanted = static_cast<short>(((watch.what & CURL_POLL_IN) ? POLLIN : 0) |
                                                    ((watch.what & CURL_POLL_OUT) ? POLLOUT : 0));
            if (wanted) sockets.push_back({fd, wanted, 0});
        }
        if (sockets.empty() || ::poll(sockets.data(), sockets.size(), 0) <= 0) break;
        for (const pollfd& ready : sockets) {
            if (!ready.revents) continue;
            const int flags = ((ready.revents & (POLLIN | POLLHUP | POLLERR)) ? CURL_CSELECT_IN : 0) |
                              ((ready.revents & (POLLOUT | POLLHUP | POLLERR)) ? CURL_CSELECT_OUT : 0) |
                              ((ready.revents & POLLERR) ? CURL_CSELECT_ERR : 0);
            curl_multi_socket_action(multi_, ready.fd, flags, &stillRunning);
        }
    }
    collectFinished();
}

void URLLoadingEngine::collectFinished() {
    int messagesLeft = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &messagesLeft)) {
        if (message->msg != CURLMSG_DONE) continue;
        Transfer* transfer = nullptr;
        curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
        finish(*transfer, transfer->bodyTooLarge    ? NSURLErrorDataLengthExceedsMaximum
                          : transfer->resendRefused ? NSURLErrorNetworkConnectionLost
                                                    : urlErrorCodeFor(message->data.result));
    }
}

URLLoadingEngine::TransferID URLLoadingEngine::start(Request request, std::shared_ptr<URLTransferObserver> observer) {
    TransferID id;
    bool wake;
    {
        std::lock_guard lock(mutex_);
        id = ++lastID_;
        startsPending_.push_back(std::make_unique<Transfer>(id, std::move(request), std::move(observer)));
        wake = !std::exchange(signalled_, true);
    }
    if (wake) signalLoop();
    return id;
}

void URLLoadingEngine::cancel(TransferID transfer) {
    bool wake;
    {
        std::lock_guard lock(mutex_);
        cancelsPending_.push_back(transfer);
        wake = !std::exchange(signalled_, true);
    }
    if (wake) signalLoop();
}

void URLLoadingEngine::signalLoop() {
    std::uint64_t one = 1;
    [[maybe_unused]] auto written = write(wakeFd_, &one, sizeof one);
}

URLLoadingEngine::Commands URLLoadingEngine::takePendingCommands() {
    Commands commands;
    std::uint64_t count;
    [[maybe_unused]] auto got = read(wakeFd_, &count, sizeof count);
    std::lock_guard lock(mutex_);
    signalled_ = false;
    commands.starts.swap(startsPending_);
    commands.cancelled.swap(cancelsPending_);
    return commands;
}

bool URLLoadingEngine::Commands::cancels(TransferID id) const {
    return std::find(cancelled.begin(), cancelled.end(), id) != cancelled.end();
}

void URLLoadingEngine::takeCommands() {
    Commands commands = takePendingCommands();
    for (auto& transfer : commands.starts) {
        if (commands.cancels(transfer->id)) continue;
        if (!hasSupportedScheme(transfer->request.url)) {
            transfer->observer->transferDidComplete(NSURLErrorUnsupportedURL);
            continue;
        }
        if (!hasHost(transfer->request.url)) {
            transfer->observer->transferDidComplete(NSURLErrorBadURL);
            continue;
        }
        CURL* handle = spareHandles_.empty() ? curl_easy_init() : spareHandles_.back();
        if (!spareHandles_.empty()) spareHandles_.pop_back();
        transfer->configure(handle);
        transfer->started = Clock::now();
        curl_multi_add_handle(multi_, transfer->easy);
        running_.emplace(transfer->id, std::move(transfer));
    }
    if (!commands.starts.empty()) drive(CURL_SOCKET_TIMEOUT, 0);  // connect now rather than on a later turn
    for (TransferID id : commands.cancelled) {
        auto found = running_.find(id);
        if (found == running_.end()) continue;
        release(*found->second);
        running_.erase(found);
    }
    armDeadlineCheck();
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

void URLLoadingEngine::failLateTransfers() {
    const auto now = Clock::now();
    std::vector<Transfer*> late;
    for (auto& [id, transfer] : running_) {
        if (transfer->deadline() <= now) late.push_back(transfer.get());
    }
    for (Transfer* transfer : late) finish(*transfer, NSURLErrorTimedOut);
}

void URLLoadingEngine::armDeadlineCheck() {
    if (running_.empty()) return;
    auto next = Clock::time_point::max();
    for (const auto& [id, transfer] : running_) next = std::min(next, transfer->deadline());
    const double due = MonotonicClock::realNow() + std::chrono::duration<double>(next - Clock::now()).count();
    // A check set as early or earlier looks again then.
    if (deadlineCheck_ && deadlineCheckDue_ <= due) return;
    if (deadlineCheck_) loop_->unscheduleRealTime(deadlineCheck_);
    deadlineCheckDue_ = due;
    deadlineCheck_ = loop_->scheduleRealTime(due, [this] {
        deadlineCheck_ = 0;
        failLateTransfers();
        armDeadlineCheck();
    });
}
