// Loopback throughput of the analytics socket layer against plain blocking
// sockets, in the same run: each iteration moves 1 MB from one end to the
// other as one write and one fixed-length read. The difference is what the
// layer adds: the hops between the poller, the socket queues and the
// delegate queue, and the buffer each read hands to the delegate.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/QueueSocket/RPOUTAQueueSocket.h"

namespace {

constexpr std::size_t kMegabyte = 1 << 20;

class Counter : public RPOUTAQueueSocketDelegate {
public:
    Ref<DispatchQueue> queue = DispatchQueue::serial("bench.delegate");
    bool shareQueue = false;

    // Accepted sockets share the delegate queue when the listener does.
    std::optional<Ref<DispatchQueue>> newSocketQueueForConnectionFromAddress(const NSData&,
                                                                             const Ref<RPOUTAQueueSocket>&) override {
        return shareQueue ? std::optional<Ref<DispatchQueue>>(queue) : std::nullopt;
    }
    void socketDidConnectToHost(const Ref<RPOUTAQueueSocket>&, const std::string&, std::uint16_t) override {
        bump(connected);
    }
    void socketDidAcceptNewSocket(const Ref<RPOUTAQueueSocket>&, const Ref<RPOUTAQueueSocket>& child) override {
        {
            std::lock_guard lock(mutex);
            accepted = child;
        }
        changed.notify_all();
    }
    void socketDidReadData(const Ref<RPOUTAQueueSocket>&, const NSData& data, std::int64_t) override {
        bytesRead += data.length();
        bump(reads);
    }
    void waitUntil(const std::function<bool()>& predicate) {
        std::unique_lock lock(mutex);
        changed.wait(lock, predicate);
    }

    std::mutex mutex;
    std::condition_variable changed;
    int connected = 0, reads = 0;
    std::size_t bytesRead = 0;
    Ref<RPOUTAQueueSocket> accepted;

private:
    void bump(int& count) {
        {
            std::lock_guard lock(mutex);
            ++count;
        }
        changed.notify_all();
    }
};

// With sharedQueue:1 the sender and the accepted receiver run on their
// delegate's queue (given as their socket queue), so that delegate calls need
// no hop to another thread.
void QueueSocketLoopback(benchmark::State& state) {
    auto server = std::make_shared<Counter>();
    auto client = std::make_shared<Counter>();
    server->shareQueue = client->shareQueue = state.range(0) != 0;
    // The listener keeps a queue of its own: a queue is marked with one socket.
    auto listener = make<RPOUTAQueueSocket>(server, server->queue);
    if (!listener->acceptOnInterface("127.0.0.1", 0)) return state.SkipWithError("listen failed");
    auto sender = make<RPOUTAQueueSocket>(client, client->queue, client->shareQueue ? client->queue : nullptr);
    sender->connectToHost("127.0.0.1", listener->localPort(), 5.0);
    client->waitUntil([&] { return client->connected == 1; });
    server->waitUntil([&] { return server->accepted != nullptr; });
    auto receiver = server->accepted;

    // Two megabytes stay queued ahead, as the plain writer runs ahead by its
    // socket buffer.
    const auto payload = std::make_shared<const NSData>(std::vector<std::uint8_t>(kMegabyte, 0x5a));
    auto queueOne = [&] {
        sender->writeData(payload, -1, 0);
        receiver->readDataToLength(kMegabyte, -1, 0);
    };
    queueOne();
    queueOne();
    int expected = 0;
    for (auto _ : state) {
        queueOne();
        ++expected;
        server->waitUntil([&] { return server->reads >= expected; });
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(server->bytesRead));
    sender->disconnect();
    receiver->disconnect();
    listener->disconnect();
    // The delegate calls still on their way hold the sockets: let them
    // arrive, so that the sockets are destroyed here, not by a delegate
    // block while the process exits and the pool no longer runs queues.
    server->queue->sync([] {});
    client->queue->sync([] {});
    std::lock_guard lock(server->mutex);
    server->accepted.reset();
}

void PlainBlockingLoopback(benchmark::State& state) {
    const int listenFD = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listenFD, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(listenFD, reinterpret_cast<sockaddr*>(&address), &length);
    listen(listenFD, 1);
    const int sendFD = socket(AF_INET, SOCK_STREAM, 0);
    connect(sendFD, reinterpret_cast<sockaddr*>(&address), sizeof address);
    const int receiveFD = accept(listenFD, nullptr, nullptr);

    // One writer thread streams megabytes for as long as the reader takes them.
    const std::vector<std::uint8_t> payload(kMegabyte, 0x5a);
    std::thread writer([&] {
        for (;;) {
            for (std::size_t sent = 0; sent < kMegabyte;) {
                const ssize_t n = send(sendFD, payload.data() + sent, kMegabyte - sent, MSG_NOSIGNAL);
                if (n <= 0) return;
                sent += static_cast<std::size_t>(n);
            }
        }
    });
    std::vector<std::uint8_t> buffer(kMegabyte);
    std::size_t total = 0;
    for (auto _ : state) {
        for (std::size_t got = 0; got < kMegabyte;) {
            const ssize_t n = read(receiveFD, buffer.data() + got, kMegabyte - got);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        total += kMegabyte;
    }
    shutdown(receiveFD, SHUT_RDWR);
    shutdown(sendFD, SHUT_RDWR);
    writer.join();
    state.SetBytesProcessed(static_cast<std::int64_t>(total));
    close(sendFD);
    close(receiveFD);
    close(listenFD);
}

}  // namespace

BENCHMARK(PlainBlockingLoopback)->UseRealTime();
BENCHMARK(QueueSocketLoopback)->ArgName("sharedQueue")->Arg(0)->Arg(1)->UseRealTime();
