#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace httplib {
class SSLServer;
}
typedef struct evp_pkey_st EVP_PKEY;
typedef struct x509_st X509;

namespace backend {

// A fresh P-256 key and a self-signed certificate for 127.0.0.1 and
// localhost, written as PEM to a private temporary folder that goes with it.
class LoopbackIdentity {
public:
    // Nothing when the key, the certificate or the file cannot be made.
    static std::shared_ptr<const LoopbackIdentity> make();
    ~LoopbackIdentity();
    LoopbackIdentity(const LoopbackIdentity&) = delete;
    LoopbackIdentity& operator=(const LoopbackIdentity&) = delete;

    // The PEM certificate the clients trust.
    const std::string& certificateFile() const { return certificateFile_; }
    EVP_PKEY* key() const { return key_; }
    X509* certificate() const { return certificate_; }

private:
    LoopbackIdentity() = default;

    std::string folder_;
    std::string certificateFile_;
    EVP_PKEY* key_ = nullptr;
    X509* certificate_ = nullptr;
};

// A TLS server on 127.0.0.1 for the stand-ins of the kits' web services.
// Clients trust certificates by host name, so the stand-ins that run
// together (those of one LocalBackend) present one identity: the clients
// trust its one file for 127.0.0.1 and reach them all on their own ports.
class LoopbackTLSServer {
public:
    using RouteInstaller = std::function<void(httplib::SSLServer&)>;

    // Binds any free port, lets `installRoutes` add the routes and serves on
    // a thread of its own, presenting `identity` (a new one of its own when
    // none is given). Nothing when the identity or the port fails.
    static std::unique_ptr<LoopbackTLSServer> start(const RouteInstaller& installRoutes,
                                                    std::shared_ptr<const LoopbackIdentity> identity = nullptr);
    ~LoopbackTLSServer();
    LoopbackTLSServer(const LoopbackTLSServer&) = delete;
    LoopbackTLSServer& operator=(const LoopbackTLSServer&) = delete;

    // "127.0.0.1:<port>".
    std::string host() const;
    // The PEM certificate the clients trust for that host.
    const std::string& certificateFile() const { return identity_->certificateFile(); }
    // Stops serving and waits for the serving thread; safe to call twice.
    void stop();

private:
    LoopbackTLSServer() = default;

    std::shared_ptr<const LoopbackIdentity> identity_;
    std::unique_ptr<httplib::SSLServer> server_;
    std::thread thread_;
    int port_ = 0;
};

}  // namespace backend
