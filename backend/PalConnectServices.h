#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace httplib {
class SSLServer;
struct Request;
}

namespace backend {

class LoopbackIdentity;
class LoopbackTLSServer;

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
        std::map<std::string, std::string> files;  // multipart file parts: name -> bytes
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
    // "share_image"); the answer's "result" "url" serves it back.
    static constexpr const char* kShareImageUploadPath = "/palconnectopen/upload_share_image";
    // The pictures uploaded so far, in order.
    std::vector<std::string> shareImages() const;

    // Every request served so far, in order.
    std::vector<ReceivedRequest> receivedRequests() const;
    // Those of them made to `path`.
    std::vector<ReceivedRequest> receivedRequestsTo(const std::string& path) const;
    // Answers `body` (HTTP 200) at `path` instead of the usual answer;
    // nothing restores it.
    void setCannedAnswer(const std::string& path, std::optional<std::string> body);

private:
    PalConnectServices() = default;
    void installRoutes(httplib::SSLServer& server);
    void recordMultipartParts(const httplib::Request& request);
    std::optional<std::string> cannedAnswer(const std::string& path) const;

    std::unique_ptr<LoopbackTLSServer> server_;
    mutable std::mutex mutex_;
    std::vector<std::string> shareImages_;
    std::vector<ReceivedRequest> received_;
    std::map<std::string, std::string> canned_;
};

}  // namespace backend
