#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "foundation/NSData.h"

// What the engine tells about one transfer. Every call runs on the engine's
// thread, in order: at most one response, then data, then exactly one
// completion (unless the transfer is cancelled, which silences it).
class URLTransferObserver {
public:
    struct Response {
        long statusCode = 0;
        // Header fields as received, in order, duplicates kept.
        std::vector<std::pair<std::string, std::string>> headers;
        // The address that answered, after redirects.
        std::string url;
    };

    virtual ~URLTransferObserver() = default;
    virtual void transferDidReceiveResponse(Response response) = 0;
    virtual void transferDidReceiveData(const char* bytes, std::size_t length) = 0;
    // Request body progress: bytes sent since the last call, in all, and expected.
    virtual void transferDidSendBodyData(std::int64_t, std::int64_t, std::int64_t) {}
    // `urlErrorCode` is 0 on success, else one of the NSURLError codes.
    virtual void transferDidComplete(long urlErrorCode) = 0;
};

// Runs every HTTP transfer of the process over libcurl's multi interface on
// one background thread, started on first use and stopped at exit. New and
// cancelled transfers wake the thread at once. Connections are kept alive and
// reused across transfers; redirects are followed unless a request says not.
class URLLoadingEngine {
public:
    struct Request {
        std::string url;
        std::string method = "GET";
        // Header fields in the order to send them.
        std::vector<std::pair<std::string, std::string>> headers;
        NSData body;
        // Seconds without any progress after which the transfer fails as timed out.
        double timeoutInterval = 60;
        // Off: a redirect is the final answer (its status, Location and body).
        bool followRedirects = true;
    };
    using TransferID = std::uint64_t;

    static URLLoadingEngine& shared();

    // HTTPS to `host` trusts only the certificates in this PEM file (a local
    // service's own authority) instead of the system's; nothing goes back to
    // the system's. Peer and host name checks stay on either way.
    static void trustCertificatesForHost(const std::string& host, std::optional<std::string> certificateFile);
    static std::optional<std::string> trustedCertificatesForURL(const std::string& url);
    ~URLLoadingEngine();
    URLLoadingEngine(const URLLoadingEngine&) = delete;
    URLLoadingEngine& operator=(const URLLoadingEngine&) = delete;

    // Queues a transfer; the observer is kept until the transfer ends.
    TransferID start(Request request, std::shared_ptr<URLTransferObserver> observer);
    // Ends a transfer early and drops its observer without a completion. The
    // engine thread takes the request at its next wake-up, so a call to the
    // observer may still be under way or follow shortly: observers that
    // cancel ignore what comes after.
    void cancel(TransferID transfer);

private:
    struct Transfer;
    URLLoadingEngine();
    void run();
    void takeCommands();
    void finish(Transfer& transfer, long urlErrorCode);
    // Takes the transfer's handle out of the multi handle, keeping it for reuse.
    void release(Transfer& transfer);
    void failIdleTransfers();
    int millisecondsUntilNextDeadline() const;

    void* multi_ = nullptr;  // CURLM*
    std::thread thread_;

    std::mutex mutex_;  // guards the fields below
    bool stopping_ = false;
    TransferID lastID_ = 0;
    std::vector<std::unique_ptr<Transfer>> startsPending_;
    std::vector<TransferID> cancelsPending_;

    // Owned by the engine thread.
    std::unordered_map<TransferID, std::unique_ptr<Transfer>> running_;
    std::vector<void*> spareHandles_;  // CURL*
};
