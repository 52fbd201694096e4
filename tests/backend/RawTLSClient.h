#pragma once

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "RawClient.h"

// A raw TLS client on the loopback, for requests no HTTP library sends
// (the certificate is not checked: it reads what the server answers).
class RawTLSClient {
public:
    // `highestVersion` (TLS1_1_VERSION, ...), when given, is the newest
    // version the client offers, the older ones allowed.
    explicit RawTLSClient(int port, int queueBytes = 0, int highestVersion = 0)
        : socket_(connectToLoopback(port, queueBytes)), context_(SSL_CTX_new(TLS_client_method())),
          tls_(session(context_, highestVersion)) {
        ERR_clear_error();
        connected_ = socket_ >= 0 && tls_ && SSL_set_fd(tls_, socket_) == 1 && SSL_connect(tls_) == 1;
        if (!connected_) refusal_ = ERR_GET_REASON(ERR_peek_last_error());
    }
    ~RawTLSClient() {
        SSL_free(tls_);
        SSL_CTX_free(context_);
        if (socket_ >= 0) ::close(socket_);
    }
    RawTLSClient(const RawTLSClient&) = delete;
    RawTLSClient& operator=(const RawTLSClient&) = delete;

    bool connected() const { return connected_; }
    // Why the handshake failed (SSL_R_TLSV1_ALERT_... for a server's alert), or 0.
    int refusal() const { return refusal_; }
    int socket() const { return socket_; }
    bool send(const std::string& bytes) {
        return connected_ && SSL_write(tls_, bytes.data(), static_cast<int>(bytes.size())) == static_cast<int>(bytes.size());
    }
    // Closes the connection at once (no TLS goodbye).
    void close() {
        if (socket_ >= 0) ::close(socket_);
        socket_ = -1;
        connected_ = false;
    }
    // Ends the sending side of the connection only, as a plain TCP
    // half-close: the answer can still be read.
    void shutdownSending() { ::shutdown(socket_, SHUT_WR); }
    // Everything the server sends until it closes or `wait` passes (by
    // default the bound that ends a broken test).
    std::string receive(std::chrono::milliseconds wait = kGiveUpAfter) {
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (connected_) {
            if (SSL_pending(tls_) == 0) {
                auto left =
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
                pollfd watch{socket_, POLLIN, 0};
                if (left.count() <= 0 || ::poll(&watch, 1, static_cast<int>(left.count())) <= 0) break;
            }
            char chunk[4096];
            const int read = SSL_read(tls_, chunk, sizeof chunk);
            if (read > 0) {
                got.append(chunk, static_cast<std::size_t>(read));
                continue;
            }
            const int error = SSL_get_error(tls_, read);
            if (error != SSL_ERROR_WANT_READ) break;  // closed by the server
        }
        return got;
    }

private:
    static SSL* session(SSL_CTX* context, int highestVersion) {
        if (highestVersion) {
            SSL_CTX_set_security_level(context, 0);
            SSL_CTX_set_max_proto_version(context, highestVersion);
        }
        return SSL_new(context);
    }

    int socket_;
    SSL_CTX* context_;
    SSL* tls_;
    bool connected_ = false;
    int refusal_ = 0;
};
