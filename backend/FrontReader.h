#pragma once

#include <sys/socket.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "backend/HttpServer.h"

namespace backend {

// Whether a Content-Length value is one the server reads: digits alone, at
// most twelve of them (a body of up to a terabyte, past every route's size).
bool readableContentLength(std::string_view value);

// Reads a plain listener's connections ahead of the HTTP library, which
// answers some heads itself, badly, before any callback of ours sees them: a
// Content-Length that is not plain digits ("+5", "5x") or past 2^64 gets the
// library's own page under two status lines. Each client is accepted here
// and handed to the library as one end of a socket pair; the bytes go both
// ways between them, and each request head the client sends is read first:
// one the library would answer itself is answered here, once, with the
// server's own refusal, and the connection closed. Everything else passes
// as it came, so the library reads the same bytes the client sent.
//
// One thread serves every connection, waiting on epoll; a direction whose
// reader lags stops being read once 64 KiB wait, so a client costs little
// whatever it sends.
class FrontReader {
public:
    // Hands the library its end of a new connection, with the client's
    // address; false when it takes no more (the connection is closed).
    using Admit = std::function<bool(int socket, const sockaddr* address, socklen_t length)>;

    // The whole answer to a refused head: status line, head and body.
    using Refusal = std::function<std::string()>;

    // Serves `listener` (bound and listening, which it now owns), over TLS
    // with `credentials` (the library then serves the plain bytes).
    // Nothing when the identity, the thread or its epoll cannot be made.
    // Past `mostClients` connections at once a new client is closed at once.
    static std::unique_ptr<FrontReader> start(int listener, std::size_t mostClients, Admit admit, Refusal refusal,
                                              const std::optional<HttpServer::Credentials>& credentials);
    // Closes the listener and every connection still open, after sending
    // what each had waiting for its client.
    ~FrontReader();
    FrontReader(const FrontReader&) = delete;
    FrontReader& operator=(const FrontReader&) = delete;

private:
    struct State;
    explicit FrontReader(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace backend
