#pragma once

#include <functional>
#include <memory>
#include <string>

#include "backend/HttpServer.h"
#include "backend/TemporaryFolder.h"

namespace backend {

// A P-256 key and a self-signed certificate for 127.0.0.1 and localhost,
// as PEM: made fresh in a private temporary folder that goes with it, or
// kept in a folder from one start to the next.
class LoopbackIdentity {
public:
    // The files of an identity kept in a folder: the key, readable by its
    // owner only, and the certificate the clients trust.
    static constexpr const char* kKeyFile = "loopback-key.pem";
    static constexpr const char* kCertificateFile = "loopback.pem";
    // A certificate is made to last this long, and a kept one is renewed
    // when less than kRenewalMargin of it is left, so that a back end
    // started on it serves a valid certificate for at least that long.
    static constexpr long kCertificateLifetimeSeconds = 30L * 24 * 3600;
    static constexpr long kRenewalMarginSeconds = 7L * 24 * 3600;

    // Nothing when the key, the certificate or the file cannot be made.
    static std::shared_ptr<const LoopbackIdentity> make();
    // The identity kept in `folder`, used as it is when its key is private
    // (0600, ours) and whole, and its certificate is the key's, for
    // 127.0.0.1, and valid for more than the renewal margin. Otherwise a
    // new certificate is made (with the key when that is sound, else with a
    // new key) and stored in place of the old files, each whole or not at
    // all. Starts on one folder at once take turns. Nothing, with `failure`
    // naming the file and why, when the folder cannot keep it.
    static std::shared_ptr<const LoopbackIdentity> keptIn(const std::string& folder, std::string* failure = nullptr);
    LoopbackIdentity(const LoopbackIdentity&) = delete;
    LoopbackIdentity& operator=(const LoopbackIdentity&) = delete;

    // The PEM certificate the clients trust.
    const std::string& certificateFile() const { return certificateFile_; }
    // The key and the certificate as PEM text, for the server.
    const HttpServer::Credentials& credentials() const { return credentials_; }

private:
    LoopbackIdentity() = default;

    std::unique_ptr<TemporaryFolder> folder_;
    std::string certificateFile_;
    HttpServer::Credentials credentials_;
};

// A TLS server on 127.0.0.1 for the stand-ins of the kits' web services:
// the back end's HttpServer with the stand-ins' limits, over TLS.
// Clients trust certificates by host name, so the stand-ins that run
// together (those of one LocalBackend) present one identity: the clients
// trust its one file for 127.0.0.1 and reach them all on their own ports.
class LoopbackTLSServer {
public:
    using RouteInstaller = std::function<void(HttpServer&)>;

    // Lets `installRoutes` add the routes and serves on any free port,
    // presenting `identity` (a new one of its own when
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
    // Stops serving (held requests answered 503); safe to call twice.
    void stop();

    // What every stand-in is held to: bodies of 64 KiB unless a route says
    // otherwise, 256 connections, five idle seconds.
    static HttpServer::Limits limits();

private:
    LoopbackTLSServer() = default;

    std::shared_ptr<const LoopbackIdentity> identity_;
    std::unique_ptr<HttpServer> server_;
    int port_ = 0;
};

}  // namespace backend
