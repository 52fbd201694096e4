#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "backend/HttpServer.h"

namespace backend {

// The connections of one listener, plain or over TLS: accepted, read
// request by request (`RequestReader`), served, and answered, each on one
// of a few loops, each loop one thread waiting on epoll. A request and its
// answer cross no thread; a held answer, given later from any thread,
// wakes its loop through a signal of the loop's own.
//
// Every connection is held to the server's bounds, so none costs more
// than a little memory for a few seconds, whatever its client does or
// stops doing: its head within `headSeconds` (of its start, or of the
// answer before), its body within `bodySeconds`, no `idleSeconds` without
// a byte while a request is awaited or read; a client that takes none of
// what waits for it for `replySeconds` is cut; and one that leaves is seen
// even while it is not read (its requests wait behind a held one, or its
// head was refused), through the system's socket table.
class HttpConnections {
public:
    // What the server makes of the requests its connections read.
    class Service {
    public:
        virtual ~Service() = default;
        // A head is read whole (`request` holds its method and headers):
        // 0 to read its body of `bodyLength`, or the status to refuse it
        // with. `beyondLimit` for a client past the served connections.
        virtual int admit(HttpRequest& request, const std::string& target, std::uint64_t bodyLength,
                          bool beyondLimit) = 0;
        // A whole request, answered through `answer`, at once or later from
        // any thread; the request lives until it is answered. True when it
        // is held (its answer may come later, from another thread).
        virtual bool serve(HttpRequest& request, std::shared_ptr<HeldAnswer> answer) = 0;
        // The server's answer for a request it refuses.
        virtual HttpResponse refusal(int status) const = 0;
        // An answer as it goes on the wire: status line, head and (unless
        // `headOnly`) body; `connection`, when not empty, is what its
        // Connection header says ("close": the connection ends with it).
        virtual std::string wire(const HttpResponse& response, std::string_view connection, bool headOnly) const = 0;
    };

    // Serves `listener` (bound and listening, which it now owns) within the
    // server's `limits` (on `threads` loops), over TLS with `credentials`. Nothing when the identity, a thread or its epoll
    // cannot be made.
    static std::unique_ptr<HttpConnections> start(int listener, const HttpServer::Limits& limits, Service& service,
                                                  const std::optional<HttpServer::Credentials>& credentials);
    // Closes the listener and every connection, after sending what each had
    // waiting for its client (the held answers given before included); a
    // held request still unanswered is answered 503 for its holder.
    ~HttpConnections();
    HttpConnections(const HttpConnections&) = delete;
    HttpConnections& operator=(const HttpConnections&) = delete;

private:
    struct Shared;
    struct Loop;
    struct Client;
    class Reply;
    HttpConnections() = default;
    std::unique_ptr<Shared> shared_;
    std::vector<std::unique_ptr<Loop>> loops_;
};

}  // namespace backend
