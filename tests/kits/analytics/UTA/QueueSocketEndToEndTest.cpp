// The socket layer end to end over loopback TCP and Unix-domain sockets:
// every case checks that its outcome reaches the delegate once, on the
// delegate queue, with the socket layer's error.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>

#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/QueueSocket/RPOUTAQueueSocket.h"
#include "tests/support/Eventually.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/TempSandbox.h"

namespace {

const char kDelegateQueueKey = 0;
// What must succeed is given no time limit of its own: the test's wait for
// it ends a broken test.
constexpr double kNoTimeout = -1;

// Records what the socket tells it; every call must arrive on its queue.
class Recorder : public RPOUTAQueueSocketDelegate {
public:
    Recorder() { queue->setSpecific(&kDelegateQueueKey, Value(1)); }

    Ref<DispatchQueue> queue = DispatchQueue::serial("test.delegate");

    template <class Predicate> bool waitFor(Predicate predicate) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, kGiveUpAfter, [&] { return predicate(); });
    }
    // Waits a moment longer to see that nothing more arrives.
    void settle() { std::this_thread::sleep_for(std::chrono::milliseconds(150)); }
    // Lets the calls still on their way arrive, so that none is left
    // holding the recorder when the test ends.
    void drain() {
        settle();
        queue->sync([] {});
        std::lock_guard lock(mutex);
        accepted.clear();
    }

    void socketDidConnectToHost(const Ref<RPOUTAQueueSocket>&, const std::string& host, std::uint16_t port) override {
        record([&] { connects.push_back(host + ":" + std::to_string(port)); });
    }
    void socketDidConnectToUrl(const Ref<RPOUTAQueueSocket>&, const Ref<NSURL>& url) override {
        record([&] { connects.push_back(url->path()); });
    }
    void socketDidReadData(const Ref<RPOUTAQueueSocket>& sock, const NSData& data, std::int64_t tag) override {
        if (onRead) onRead(sock, data, tag);
        record([&] { reads.push_back({tag, data}); });
    }
    void socketDidReadPartialDataOfLength(const Ref<RPOUTAQueueSocket>&, std::uint64_t length,
                                          std::int64_t tag) override {
        record([&] { partialReads.push_back({tag, length}); });
    }
    void socketDidWriteDataWithTag(const Ref<RPOUTAQueueSocket>&, std::int64_t tag) override {
        record([&] { writes.push_back(tag); });
    }
    std::optional<double> socketShouldTimeoutReadWithTag(const Ref<RPOUTAQueueSocket>&, std::int64_t, double elapsed,
                                                         std::uint64_t) override {
        record([&] { timeoutQuestions.push_back(elapsed); });
        return elapsed < readExtensionUntil ? std::optional<double>(readExtension) : std::nullopt;
    }
    void socketDidAcceptNewSocket(const Ref<RPOUTAQueueSocket>&, const Ref<RPOUTAQueueSocket>& child) override {
        record([&] { accepted.push_back(child); });
        if (onAccept) onAccept(child);
    }
    void socketDidDisconnect(const Ref<RPOUTAQueueSocket>&, const Ref<NSError>& error) override {
        record([&] { disconnects.push_back(error); });
    }

    std::size_t count(const auto& list) {
        std::lock_guard lock(mutex);
        return list.size();
    }

    std::mutex mutex;
    std::condition_variable changed;
    bool offQueue = false;
    std::vector<std::string> connects;
    std::vector<std::pair<std::int64_t, NSData>> reads;
    std::vector<std::pair<std::int64_t, std::uint64_t>> partialReads;
    std::vector<std::int64_t> writes;
    std::vector<double> timeoutQuestions;
    std::vector<Ref<RPOUTAQueueSocket>> accepted;
    std::vector<Ref<NSError>> disconnects;
    double readExtension = 0, readExtensionUntil = 0;
    std::function<void(const Ref<RPOUTAQueueSocket>&, const NSData&, std::int64_t)> onRead;
    std::function<void(const Ref<RPOUTAQueueSocket>&)> onAccept;

private:
    template <class Change> void record(Change change) {
        std::lock_guard lock(mutex);
        if (DispatchQueue::getSpecific(&kDelegateQueueKey).isNil()) offQueue = true;
        change();
        changed.notify_all();
    }
};

// A plain blocking loopback listener the tests drive by hand.
struct RawListener {
    explicit RawListener(int backlog = 16) : fd(listenOnLoopback(backlog, port)) { EXPECT_GE(fd, 0); }
    ~RawListener() { ::close(fd); }
    int acceptOne() const { return ::accept(fd, nullptr, nullptr); }
    int port = 0;
    int fd;
};

NSData randomBytes(std::size_t length) {
    std::mt19937 generator(42);
    std::vector<std::uint8_t> bytes(length);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(generator());
    return NSData(std::move(bytes));
}

NSData zeros(std::size_t length) { return NSData(std::vector<std::uint8_t>(length)); }

void sendAll(int fd, const std::uint8_t* bytes, std::size_t length) {
    for (std::size_t sent = 0; sent < length;) {
        const ssize_t n = ::send(fd, bytes + sent, length - sent, MSG_NOSIGNAL);
        ASSERT_GT(n, 0);
        sent += static_cast<std::size_t>(n);
    }
}

// Closes the sockets and waits for their last calls.
void closeAll(const std::vector<Ref<RPOUTAQueueSocket>>& sockets, const std::vector<Ref<Recorder>>& recorders) {
    for (const auto& recorder : recorders) {
        std::lock_guard lock(recorder->mutex);
        for (const auto& child : recorder->accepted) child->disconnect();
    }
    for (const auto& sock : sockets) sock->disconnect();
    for (const auto& recorder : recorders) recorder->drain();
}

Ref<RPOUTAQueueSocket> socketFor(const Ref<Recorder>& recorder) {
    return make<RPOUTAQueueSocket>(recorder, recorder->queue);
}

void expectOneDisconnect(Recorder& recorder) {
    ASSERT_TRUE(recorder.waitFor([&] { return !recorder.disconnects.empty(); }));
    recorder.settle();
    EXPECT_EQ(recorder.count(recorder.disconnects), 1u);
    EXPECT_FALSE(recorder.offQueue);
}

}  // namespace

TEST(QueueSocketEndToEnd, EchoesOneMegabyteWithMixedReadKinds) {
    auto server = std::make_shared<Recorder>();
    server->onAccept = [](const Ref<RPOUTAQueueSocket>& child) { child->readDataWithTimeout(-1, 0); };
    server->onRead = [](const Ref<RPOUTAQueueSocket>& sock, const NSData& data, std::int64_t) {
        sock->writeData(data, -1, 0);
        sock->readDataWithTimeout(-1, 0);
    };
    auto listener = socketFor(server);
    Ref<NSError> error;
    ASSERT_TRUE(listener->acceptOnPort(0, &error)) << error->description();
    const std::uint16_t port = listener->localPort();

    const NSData payload = randomBytes(1 << 20);
    std::atomic<std::size_t> received = 4 + 500000;
    auto client = std::make_shared<Recorder>();
    client->onRead = [&received, total = payload.length()](const Ref<RPOUTAQueueSocket>& s, const NSData& data,
                                                           std::int64_t tag) {
        if (tag == 3) received += data.length();
        if (tag >= 2 && received < total) s->readDataWithTimeout(kNoTimeout, nullptr, 0, 65536, 3);
    };
    auto sock = socketFor(client);
    ASSERT_TRUE(sock->connectToHost("127.0.0.1", port, kNoTimeout, &error));
    sock->writeData(payload, kNoTimeout, 7);
    sock->readDataToLength(4, kNoTimeout, 1);
    auto buffer = std::make_shared<NSData>(NSData::fromString("head"));
    sock->readDataToLength(500000, kNoTimeout, buffer, buffer->length(), 2);
    // Waits for the reads as recorded: the read handler runs before its read
    // is recorded, so `received` may reach the total a moment earlier.
    ASSERT_TRUE(client->waitFor(
        [&] {
            std::size_t recorded = 0;
            for (const auto& read : client->reads) recorded += read.second.length();
            return recorded >= payload.length();
        }));

    NSData echoed;
    {
        std::lock_guard lock(client->mutex);
        ASSERT_EQ(client->connects, std::vector<std::string>{"127.0.0.1:" + std::to_string(port)});
        EXPECT_EQ(client->writes, std::vector<std::int64_t>{7});
        for (auto& [tag, data] : client->reads) {
            if (tag == 2) {
                EXPECT_EQ(data.length(), 500000u);  // the bytes read, not the caller's head
                EXPECT_EQ(buffer->subdata(0, 4).toString(), "head");
            } else {
                EXPECT_LE(data.length(), tag == 3 ? 65536u : 4u);
            }
            echoed.append(data);
        }
    }
    EXPECT_EQ(echoed, payload);
    EXPECT_EQ(buffer->length(), 4u + 500000u);
    EXPECT_FALSE(client->offQueue);
    EXPECT_FALSE(server->offQueue);

    sock->disconnect();
    expectOneDisconnect(*client);
    {
        std::lock_guard lock(client->mutex);
        EXPECT_EQ(client->disconnects[0], nullptr);  // an orderly close
    }
    closeAll({listener}, {server, client});
}

TEST(QueueSocketEndToEnd, LargeFixedLengthReadsReportProgressAndEachGetsItsOwnBytes) {
    RawListener listener;
    auto client = std::make_shared<Recorder>();
    auto sock = socketFor(client);
    ASSERT_TRUE(sock->connectToHost("127.0.0.1", listener.port, kNoTimeout));
    const int peer = listener.acceptOne();
    constexpr std::size_t kRead = 200000;
    const NSData payload = randomBytes(5 * kRead);
    for (std::int64_t tag : {1, 2, 3}) sock->readDataToLength(kRead, kNoTimeout, tag);

    // Half of the first read, then the rest: the delegate that answers
    // progress hears of the half.
    sendAll(peer, payload.bytes(), kRead / 2);
    ASSERT_TRUE(client->waitFor([&] { return !client->partialReads.empty(); }));
    sendAll(peer, payload.bytes() + kRead / 2, 3 * kRead - kRead / 2);
    ASSERT_TRUE(client->waitFor([&] { return client->reads.size() == 3; }));
    // Two more reads, whose buffers may be those of the first ones: each
    // holds its own bytes only.
    for (std::int64_t tag : {4, 5}) sock->readDataToLength(kRead, kNoTimeout, tag);
    sendAll(peer, payload.bytes() + 3 * kRead, 2 * kRead);
    ASSERT_TRUE(client->waitFor([&] { return client->reads.size() == 5; }));

    {
        std::lock_guard lock(client->mutex);
        EXPECT_EQ(client->partialReads.front().first, 1);
        EXPECT_LE(client->partialReads.front().second, kRead / 2);
        for (std::size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(client->reads[i].first, static_cast<std::int64_t>(i + 1));
            EXPECT_TRUE(client->reads[i].second == payload.subdata(i * kRead, kRead)) << "read " << i + 1;
        }
    }
    closeAll({sock}, {client});
    ::close(peer);
}

TEST(QueueSocketEndToEnd, TerminatorReadsAcrossSegmentsOverUnixDomain) {
    TempSandbox sandbox;
    const std::string path = sandbox.path() + "/s";
    const int listenFD = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(listenFD, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    listen(listenFD, 4);

    auto client = std::make_shared<Recorder>();
    auto sock = socketFor(client);
    const NSData crlf = RPOUTAQueueSocket::CRLFData();
    sock->readDataToData(crlf, kNoTimeout, 1);
    sock->readDataToData(crlf, kNoTimeout, 2);
    sock->readDataToLength(4, kNoTimeout, 3);
    ASSERT_TRUE(sock->connectToUrl(NSURL::fileURLWithPath(path), kNoTimeout));
    // Reads issued before the connect started were dropped: issue them again.
    sock->readDataToData(crlf, kNoTimeout, 1);
    sock->readDataToData(crlf, kNoTimeout, 2);
    sock->readDataToLength(4, kNoTimeout, 3);

    const int peer = accept(listenFD, nullptr, nullptr);
    for (const char* segment : {"hel", "lo\r", "\nwor", "ld\r", "\ntail"}) {
        ::write(peer, segment, strlen(segment));
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    ASSERT_TRUE(client->waitFor([&] { return client->reads.size() == 3; }));
    {
        std::lock_guard lock(client->mutex);
        EXPECT_EQ(client->connects, std::vector<std::string>{path});
        EXPECT_EQ(client->reads[0].second.toString(), "hello\r\n");
        EXPECT_EQ(client->reads[1].second.toString(), "world\r\n");
        EXPECT_EQ(client->reads[2].second.toString(), "tail");
    }
    // The peer leaves: end of stream closes with "closed by remote peer".
    ::close(peer);
    expectOneDisconnect(*client);
    EXPECT_EQ(client->disconnects[0]->domain(), RPOUTAQueueSocketErrorDomain);
    EXPECT_EQ(client->disconnects[0]->code(), RPOUTAQueueSocketClosedError);
    ::close(listenFD);
}

TEST(QueueSocketEndToEnd, BytesAfterTerminatorServeTheNextReadAndMaximumIsEnforced) {
    RawListener listener;
    auto client = std::make_shared<Recorder>();
    auto sock = socketFor(client);
    ASSERT_TRUE(sock->connectToHost("localhost", listener.port, kNoTimeout));
    const int peer = listener.acceptOne();
    sock->readDataToData(RPOUTAQueueSocket::LFData(), kNoTimeout, 1);
    sock->readDataWithTimeout(kNoTimeout, 2);
    sock->readDataToData(RPOUTAQueueSocket::LFData(), kNoTimeout, 8, 3);
    ::write(peer, "one\ntwo", 7);
    ASSERT_TRUE(client->waitFor([&] { return client->reads.size() == 2; }));
    ::write(peer, "0123456789\n", 11);
    expectOneDisconnect(*client);
    std::lock_guard lock(client->mutex);
    EXPECT_EQ(client->reads[0].second.toString(), "one\n");
    EXPECT_EQ(client->reads[1].second.toString(), "two");
    EXPECT_EQ(client->disconnects[0]->code(), RPOUTAQueueSocketReadMaxedOutError);
    ::close(peer);
}

TEST(QueueSocketEndToEnd, ReadTimeoutIsExtendedByTheDelegateThenCloses) {
    RawListener listener;
    auto client = std::make_shared<Recorder>();
    client->readExtension = 0.1;
    client->readExtensionUntil = 0.15;  // one extension: elapsed 0.1, then 0.2
    auto sock = socketFor(client);
    ASSERT_TRUE(sock->connectToHost("127.0.0.1", listener.port, kNoTimeout));
    const int peer = listener.acceptOne();
    sock->readDataToLength(10, 0.1, 5);
    expectOneDisconnect(*client);
    std::lock_guard lock(client->mutex);
    ASSERT_EQ(client->timeoutQuestions.size(), 2u);
    EXPECT_DOUBLE_EQ(client->timeoutQuestions[0], 0.1);
    EXPECT_DOUBLE_EQ(client->timeoutQuestions[1], 0.2);
    EXPECT_EQ(client->disconnects[0]->code(), RPOUTAQueueSocketReadTimeoutError);
    EXPECT_EQ(client->disconnects[0]->localizedDescription(), "Read operation timed out");
    EXPECT_TRUE(client->reads.empty());
    ::close(peer);
}

TEST(QueueSocketEndToEnd, PeerResetDuringAWriteClosesWithItsError) {
    RawListener listener;
    auto client = std::make_shared<Recorder>();
    auto sock = socketFor(client);
    ASSERT_TRUE(sock->connectToHost("127.0.0.1", listener.port, kNoTimeout));
    const int peer = listener.acceptOne();
    sock->writeData(zeros(16 << 20), kNoTimeout, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    linger abortive{1, 0};
    setsockopt(peer, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    ::close(peer);
    expectOneDisconnect(*client);
    std::lock_guard lock(client->mutex);
    EXPECT_TRUE(client->writes.empty());
    const auto& error = client->disconnects[0];
    ASSERT_NE(error, nullptr);
    const bool peerClosed = error->domain() == RPOUTAQueueSocketErrorDomain && error->code() == RPOUTAQueueSocketClosedError;
    const bool writeFailed = error->domain() == NSPOSIXErrorDomain &&
                             (error->code() == ECONNRESET || error->code() == EPIPE) &&
                             error->userInfo()[RPOUTAFailureReasonKey].description() == "Error in write() function";
    EXPECT_TRUE(peerClosed || writeFailed) << error->description();
}

TEST(QueueSocketEndToEnd, ConnectToAClosedPortFails) {
    std::uint16_t port;
    {
        RawListener closed;
        port = closed.port;
    }
    auto client = std::make_shared<Recorder>();
    auto sock = socketFor(client);
    ASSERT_TRUE(sock->connectToHost("127.0.0.1", port, kNoTimeout));
    expectOneDisconnect(*client);
    std::lock_guard lock(client->mutex);
    EXPECT_EQ(client->disconnects[0]->domain(), NSPOSIXErrorDomain);
    EXPECT_EQ(client->disconnects[0]->code(), ECONNREFUSED);
    EXPECT_EQ(client->disconnects[0]->userInfo()[RPOUTAFailureReasonKey].description(), "Error in connect() function");
    EXPECT_TRUE(client->connects.empty());
}

TEST(QueueSocketEndToEnd, ConnectToAnAddressThatNeverAnswersTimesOut) {
    // A listener whose queue is full drops further handshakes unanswered.
    RawListener silent(0);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(silent.port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        fillers.push_back(fd);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    auto client = std::make_shared<Recorder>();
    auto sock = socketFor(client);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(sock->connectToHost("127.0.0.1", silent.port, 0.3));
    expectOneDisconnect(*client);
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(elapsed, 0.29);
    std::lock_guard lock(client->mutex);
    EXPECT_EQ(client->disconnects[0]->code(), RPOUTAQueueSocketConnectTimeoutError);
    EXPECT_EQ(client->disconnects[0]->localizedDescription(), "Attempt to connect to host timed out");
    for (int fd : fillers) ::close(fd);
}

TEST(QueueSocketEndToEnd, AcceptsSeveralClientsOnBothFamilies) {
    auto server = std::make_shared<Recorder>();
    auto listener = socketFor(server);
    ASSERT_TRUE(listener->acceptOnPort(0));
    const std::uint16_t port = listener->localPort();

    auto clients = std::make_shared<Recorder>();
    std::vector<Ref<RPOUTAQueueSocket>> sockets;
    for (const char* host : {"localhost", "127.0.0.1", "::1"}) {
        sockets.push_back(socketFor(clients));
        Ref<NSError> error;
        ASSERT_TRUE(sockets.back()->connectToHost(host, port, kNoTimeout, &error));
        // A second connect while connecting is refused and changes nothing.
        EXPECT_FALSE(sockets.back()->connectToHost(host, port, kNoTimeout, &error));
        EXPECT_EQ(error->code(), RPOUTAQueueSocketBadConfigError);
    }
    ASSERT_TRUE(server->waitFor([&] { return server->accepted.size() == 3; }));
    ASSERT_TRUE(clients->waitFor([&] { return clients->connects.size() == 3; }));
    clients->settle();
    {
        std::lock_guard lock(clients->mutex);
        EXPECT_EQ(clients->connects.size(), 3u);  // "localhost" connects once, over IPv4
        EXPECT_EQ(std::count(clients->connects.begin(), clients->connects.end(), "::1:" + std::to_string(port)), 1);
    }
    // The per-family queries answer on the socket queue, each for its own family.
    listener->performBlock([&] {
        EXPECT_EQ(listener->localPort4(), port);
        EXPECT_EQ(listener->localPort6(), port);
        EXPECT_EQ(listener->localHost6(), "::");
        EXPECT_EQ(listener->connectedPort4(), 0u);  // a listener has no peer
    });
    EXPECT_EQ(listener->localPort4(), 0u);  // off the socket queue
    const auto& overIPv4 = sockets[1];
    const auto& overIPv6 = sockets[2];
    overIPv4->performBlock([&] {
        EXPECT_EQ(overIPv4->connectedHost4(), "127.0.0.1");
        EXPECT_EQ(overIPv4->connectedPort4(), port);
        EXPECT_EQ(overIPv4->localHost4(), "127.0.0.1");
        EXPECT_EQ(overIPv4->connectedHost6(), "");
        EXPECT_EQ(overIPv4->localPort6(), 0u);
    });
    overIPv6->performBlock([&] {
        EXPECT_EQ(overIPv6->connectedHost6(), "::1");
        EXPECT_EQ(overIPv6->connectedPort6(), port);
        EXPECT_EQ(overIPv6->localPort6(), overIPv6->localPort());
        EXPECT_EQ(overIPv6->localHost6(), "::1");
        EXPECT_EQ(overIPv6->connectedPort4(), 0u);
    });
    {
        std::lock_guard lock(server->mutex);
        for (auto& child : server->accepted) EXPECT_TRUE(child->isConnected());
        EXPECT_FALSE(server->offQueue);
    }
    sockets.push_back(listener);
    closeAll(sockets, {server, clients});
}

TEST(QueueSocketEndToEnd, AnIPv6LiteralIsTheAddressToListenOnAndTheAnyAddressEveryInterface) {
    std::optional<NSData> address4, address6;
    RPOUTAQueueSocket::getInterfaceAddress4(&address4, &address6, "0:0:0:0:0:0:0:1", 8080);
    EXPECT_FALSE(address4);
    ASSERT_TRUE(address6);
    EXPECT_EQ(RPOUTAQueueSocket::hostFromAddress(*address6), std::optional<std::string>("::1"));
    EXPECT_EQ(RPOUTAQueueSocket::portFromAddress(*address6), 8080);
    RPOUTAQueueSocket::getInterfaceAddress4(&address4, &address6, "127.0.0.1:8080", 0);
    ASSERT_TRUE(address4);
    EXPECT_EQ(RPOUTAQueueSocket::portFromAddress(*address4), 8080);

    auto server = std::make_shared<Recorder>();
    auto listener = socketFor(server);
    Ref<NSError> error;
    ASSERT_TRUE(listener->acceptOnInterface("::1", 0, &error)) << error->description();
    listener->performBlock([&] {
        EXPECT_EQ(listener->localHost6(), "::1");
        EXPECT_NE(listener->localPort6(), 0u);
        EXPECT_EQ(listener->localPort4(), 0u);  // not every interface, and no IPv4 at all
    });

    // The any-address is every interface, in both families.
    RPOUTAQueueSocket::getInterfaceAddress4(&address4, &address6, "0::0", 8080);
    ASSERT_TRUE(address4 && address6);
    EXPECT_EQ(RPOUTAQueueSocket::hostFromAddress(*address4), std::optional<std::string>("0.0.0.0"));
    EXPECT_EQ(RPOUTAQueueSocket::portFromAddress(*address6), 8080);
    auto everywhere = socketFor(server);
    ASSERT_TRUE(everywhere->acceptOnInterface("::", 0, &error)) << error->description();
    everywhere->performBlock([&] {
        EXPECT_EQ(everywhere->localHost6(), "::");
        EXPECT_EQ(everywhere->localHost4(), "0.0.0.0");
        EXPECT_EQ(everywhere->localPort6(), everywhere->localPort4());
    });
    closeAll({listener, everywhere}, {server});
}

TEST(QueueSocketEndToEnd, DisconnectWithWritesQueuedDropsThemAndClosesOnce) {
    RawListener listener;
    auto client = std::make_shared<Recorder>();
    auto sock = socketFor(client);
    ASSERT_TRUE(sock->connectToHost("127.0.0.1", listener.port, kNoTimeout));
    const int peer = listener.acceptOne();  // never reads
    ASSERT_TRUE(client->waitFor([&] { return !client->connects.empty(); }));
    for (int tag = 1; tag <= 3; ++tag) sock->writeData(zeros(8 << 20), -1, tag);
    // The first write is under way once the socket's queue has taken it up;
    // a peer that never reads keeps it from finishing.
    std::int64_t tag = 0;
    std::uint64_t done = 0, total = 0;
    float progress = 0;
    ASSERT_TRUE(eventually([&] {
        progress = sock->progressOfWriteReturningTag(&tag, &done, &total);
        return tag == 1;
    }));
    EXPECT_LT(progress, 1.0f);
    EXPECT_EQ(total, 8u << 20);
    sock->disconnect();
    expectOneDisconnect(*client);
    std::lock_guard lock(client->mutex);
    EXPECT_TRUE(client->writes.empty());
    EXPECT_EQ(client->disconnects[0], nullptr);
    EXPECT_TRUE(std::isnan(sock->progressOfWriteReturningTag(nullptr, nullptr, nullptr)));
    ::close(peer);
}

TEST(QueueSocketEndToEnd, DisconnectAfterWritingFinishesTheQueuedWritesFirst) {
    RawListener listener;
    auto client = std::make_shared<Recorder>();
    auto sock = socketFor(client);
    ASSERT_TRUE(sock->connectToHost("127.0.0.1", listener.port, kNoTimeout));
    const int peer = listener.acceptOne();
    sock->writeData(NSData::fromString("first"), -1, 1);
    sock->writeData(NSData::fromString("second"), -1, 2);
    sock->disconnectAfterWriting();
    sock->writeData(NSData::fromString("refused"), -1, 3);
    expectOneDisconnect(*client);
    std::string received;
    char chunk[64];
    for (ssize_t n; (n = ::read(peer, chunk, sizeof chunk)) > 0;) received.append(chunk, n);
    EXPECT_EQ(received, "firstsecond");
    std::lock_guard lock(client->mutex);
    EXPECT_EQ(client->writes, (std::vector<std::int64_t>{1, 2}));
    ::close(peer);
}
