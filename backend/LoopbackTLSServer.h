#pragma once

#include <functional>
#include <memory>
#include <string>

#include "backend/HttpServer.h"
#include "backend/TemporaryFolder.h"

namespace backend {

// A fresh P-256 key and a self-signed certificate for 127.0.0.1 and
// localhost, written as PEM to a private temporary folder that goes with it.
class LoopbackIdentity {
public:
    // Nothing when the key, the certificate or the file cannot be made.
    static std::shared_ptr<const LoopbackIdentity> make();
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
