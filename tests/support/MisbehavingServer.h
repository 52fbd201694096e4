#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <vector>
#include <string>
#include <string_view>
#include <thread>

// A loopback port that does not speak HTTP properly, for the failure paths of
// HTTP clients. The constructor opens it on 127.0.0.1 and a free port; the
// destructor closes it.
class MisbehavingServer {
public:
    enum class Behaviour {
        // Bound but never listening: every connection attempt is refused.
        RefuseConnections,
        // Accepts, reads the request head, closes without a byte of answer.
        CloseWithoutAnswer,
        // Accepts, reads the request head, answers bytes that are not HTTP.
        AnswerGarbage,
        // Accepts, reads the request head and keeps the connection open
        // without a byte of answer until the server ends: a server that
        // took the request and never answers. It notices when the client
        // closes such a connection.
        HoldWithoutAnswer,
        // Answers the first request of each connection with a short 200
        // that keeps the connection alive, then reads the next request on
        // it and closes without answer: a kept-alive connection that dies
        // under a request.
        AnswerFirstThenCloseWithoutAnswer,
        // Answers 200 with a chunked body of kOneByteChunksBody zeros, each
        // byte a chunk of its own (six bytes on the wire a byte), until the
        // client closes.
        AnswerInOneByteChunks,
    };
    static constexpr std::size_t kOneByteChunksBody = 32u << 20;

    explicit MisbehavingServer(Behaviour behaviour);
    ~MisbehavingServer();
    MisbehavingServer(const MisbehavingServer&) = delete;
    MisbehavingServer& operator=(const MisbehavingServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by `pathAndQuery`.
    std::string url(std::string_view pathAndQuery) const;
    // Request heads read so far.
    std::size_t requestCount() const { return requestCount_; }
    // Their request lines ("GET /?ac=jiesuan HTTP/1.1"), in arrival order.
    std::vector<std::string> requestLines() const;
    // Held connections the client has closed (HoldWithoutAnswer): the client
    // gave the request up.
    std::size_t connectionsClosedByClient() const { return closedByClient_; }
    // Bytes of answers sent so far.
    std::size_t bytesAnswered() const { return bytesAnswered_; }

private:
    void serve();
    // Answers as the behaviour says; false when the connection is to stay open.
    bool answer(int connection);
    // Reads one request head and records it; false when none came.
    bool readRequestHead(int connection);

    Behaviour behaviour_;
    int listener_ = -1;
    int wakeup_ = -1;  // eventfd that ends serve()
    int port_ = -1;
    std::atomic<std::size_t> requestCount_{0};
    std::atomic<std::size_t> closedByClient_{0};
    std::atomic<std::size_t> bytesAnswered_{0};
    mutable std::mutex mutex_;  // guards requestLines_
    std::vector<std::string> requestLines_;
    std::vector<int> held_;  // connections kept open without answer
    std::thread thread_;
};
