#pragma once

#include <sys/socket.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "backend/HttpServer.h"

namespace backend {

// Whether a Content-Length value is one the server reads: digits alone, at
// most twelve of them (a body of up to a terabyte, past every route's size).
bool readableContentLength(std::string_view value);

// Reads a listener's connections ahead of the HTTP library, which answers
// some heads itself, badly, before any callback of ours sees them: a
// Content-Length that is not plain digits ("+5", "5x", "3 ") or past 2^64,
// or a line with no colon, gets the library's own page under two status
// lines, and it checks no request line. Each client is accepted here and
// handed to the library as one end of a socket pair; the bytes go both ways
// between them, and each request head the client sends is read first, line
// by line: one the library would answer itself, or misread, is answered
// here, once, with the server's own refusal, and the connection closed.
// Everything else passes as it came, each checked line as soon as it is
// read (the library sees a slow head arrive), so the library reads the
// same bytes the client sent.
//
// A few loops serve the connections, each on one thread waiting on epoll,
// running its own library engine on that thread: a request and its answer
// cross no thread. A direction whose reader lags stops being read once
// 64 KiB wait; a client that takes none of what waits for it for
// `replySeconds` is cut, and one that leaves is seen even while it is not
// read, so a client costs little and briefly whatever it sends.
class FrontReader {
public:
    // Hands the library its end of a new connection; false when it takes
    // no more (the connection is closed).
    using Admit = std::function<bool(int socket)>;

    // The whole answer to a refused head: status line, head and body.
    using Refusal = std::function<std::string()>;

    // One library engine, run by one loop's thread.
    struct Engine {
        // An eventfd its owner writes to when the engine has work no
        // relay's bytes show (a held answer given).
        int signal = -1;
        std::function<void()> run;  // does its work without waiting
        // Milliseconds it may wait at most (then it runs, woken or not);
        // -1 when it runs only once woken.
        std::function<int()> wait;
        Admit admit;
    };

    struct Bounds {
        std::size_t mostClients = 0;  // past them a new client is closed at once
        double replySeconds = 3;
    };

    // Serves `listener` (bound and listening, which it now owns) with one
    // loop per engine, over TLS with `credentials` (the library then serves
    // the plain bytes). Nothing when the identity, a thread or its epoll
    // cannot be made.
    static std::unique_ptr<FrontReader> start(int listener, Bounds bounds, std::vector<Engine> engines,
                                              Refusal refusal,
                                              const std::optional<HttpServer::Credentials>& credentials);
    // Closes the listener and every connection still open, after sending
    // what each had waiting for its client; the engines are not run again.
    ~FrontReader();
    FrontReader(const FrontReader&) = delete;
    FrontReader& operator=(const FrontReader&) = delete;

private:
    struct Shared;
    struct Loop;
    FrontReader() = default;
    std::unique_ptr<Shared> shared_;
    std::vector<std::unique_ptr<Loop>> loops_;
};

}  // namespace backend
