#pragma once

#include <atomic>
#include <cstddef>
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
    };

    explicit MisbehavingServer(Behaviour behaviour);
    ~MisbehavingServer();
    MisbehavingServer(const MisbehavingServer&) = delete;
    MisbehavingServer& operator=(const MisbehavingServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by `pathAndQuery`.
    std::string url(std::string_view pathAndQuery) const;
    // Connections whose request head was read so far.
    std::size_t requestCount() const { return requestCount_; }

private:
    void serve();
    void answer(int connection);

    Behaviour behaviour_;
    int listener_ = -1;
    int wakeup_ = -1;  // eventfd that ends serve()
    int port_ = -1;
    std::atomic<std::size_t> requestCount_{0};
    std::thread thread_;
};
