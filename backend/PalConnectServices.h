#pragma once

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "backend/RecentRequests.h"

namespace backend {

class LoopbackIdentity;
class LoopbackTLSServer;
class HttpServer;
struct HttpRequest;

// The stand-in for the Pal connect web services (policy, share limit,
// statistics reports, return-code checks, the authorisation page, the
// PalSpace dialog page, Open API calls, online status), served over TLS on 127.0.0.1 (LoopbackTLSServer).
class PalConnectServices {
public:
    struct ReceivedRequest {
        std::string method;
        std::string path;
        std::string query;  // as received, still encoded
        std::map<std::string, std::string> params;  // query and form fields, decoded
        std::map<std::string, std::string> headers;
        std::map<std::string, std::string> files;  // multipart parts: name -> bytes
        // Parts of the body not among `files`: past the parts a request
        // keeps, past the record's bytes, or named as one kept.
        std::size_t partsLeftOut = 0;
    };

    // Nothing when the certificate or the port cannot be made. Presents
    // `identity`, or one of its own.
    static std::unique_ptr<PalConnectServices> start(std::shared_ptr<const LoopbackIdentity> identity = nullptr);
    ~PalConnectServices();
    PalConnectServices(const PalConnectServices&) = delete;
    PalConnectServices& operator=(const PalConnectServices&) = delete;

    // "127.0.0.1:<port>": the host setting of the kit.
    std::string host() const;
    // The PEM certificate the clients trust for that host.
    const std::string& certificateFile() const;
    void stop();

    // Where a share's preview picture is uploaded (multipart field
    // "share_image"); the answer's "result" "url" serves it back. The kit
    // sends a JPEG of at most 140 x 140: a body above kLargestShareImageUpload
    // is refused (413), and only the newest kKeptShareImages pictures are
    // kept (older addresses answer 404).
    static constexpr const char* kShareImageUploadPath = "/palconnectopen/upload_share_image";
    static constexpr std::size_t kLargestShareImageUpload = 256 * 1024;
    static constexpr std::size_t kKeptShareImages = 32;
    // The Open API's POST bodies (a head picture for user/set_user_face).
    static constexpr std::size_t kLargestOpenApiBody = 1024 * 1024;
    // The pictures kept, oldest first.
    std::vector<std::string> shareImages() const;

    // The newest requests served (RecentRequests: 256 at most, within their
    // bytes; texts cut after 4 KiB, fields and multipart parts within a
    // record's bytes), in order.
    std::vector<ReceivedRequest> receivedRequests() const;
    // Those of them made to `path`.
    std::vector<ReceivedRequest> receivedRequestsTo(const std::string& path) const;
    // Answers `body` (HTTP 200) at `path` instead of the usual answer;
    // nothing restores it.
    void setCannedAnswer(const std::string& path, std::optional<std::string> body);

private:
    PalConnectServices() = default;
    void installRoutes(HttpServer& server);
    void record(const HttpRequest& request);
    std::optional<std::string> cannedAnswer(const std::string& path) const;

    std::unique_ptr<LoopbackTLSServer> server_;
    mutable std::mutex mutex_;
    std::deque<std::string> shareImages_;
    std::size_t shareImagesDropped_ = 0;  // the oldest ones no longer kept
    RecentRequests<ReceivedRequest> received_;
    std::map<std::string, std::string> canned_;
};

}  // namespace backend
