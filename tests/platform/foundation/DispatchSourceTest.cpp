#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "foundation/DispatchDescriptorSource.h"
#include "foundation/DispatchSemaphore.h"
#include "foundation/DispatchTimerSource.h"
#include "foundation/NSThread.h"
#include "tests/support/ManualClock.h"

namespace {
struct SocketPair {
    int ours = -1, peer = -1;
    SocketPair() {
        int fds[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) == 0) ours = fds[0], peer = fds[1];
    }
    ~SocketPair() {
        if (peer >= 0) close(peer);
    }
    void send(const char* text) const { ASSERT_EQ(::send(peer, text, strlen(text), MSG_NOSIGNAL), ssize_t(strlen(text))); }
};

bool isOpen(int fd) { return fcntl(fd, F_GETFD) != -1; }
}  // namespace

using ReadSource = MainLoopFixture;

TEST_F(ReadSource, ReportsReadableBytesUntilDrainedThenEndOfStream) {
    SocketPair pair;
    auto source = DispatchSource::makeReadSource(pair.ours, DispatchQueue::main());
    std::vector<unsigned long> seen;
    bool cancelled = false;
    source->setEventHandler([&] {
        unsigned long readable = source->data();
        seen.push_back(readable);
        if (readable == 0) return source->cancel();
        char buffer[4];
        ASSERT_GT(read(pair.ours, buffer, std::min<unsigned long>(readable, sizeof buffer)), 0);
    });
    source->setCancelHandler([&] {
        close(pair.ours);
        cancelled = true;
    });
    pair.send("0123456789");
    source->resume();
    EXPECT_TRUE(runUntil([&] { return seen.size() == 3; }));
    EXPECT_EQ(seen, (std::vector<unsigned long>{10, 6, 2}));
    // The last read drained it: no more events until something happens.
    EXPECT_FALSE(runUntil([&] { return seen.size() > 3; }, 0.05));

    close(pair.peer);
    pair.peer = -1;
    EXPECT_TRUE(runUntil([&] { return cancelled; }));
    EXPECT_EQ(seen, (std::vector<unsigned long>{10, 6, 2, 0}));
    EXPECT_FALSE(isOpen(pair.ours));
}

TEST_F(ReadSource, CancelWhileArmedRunsOnlyTheCancelHandler) {
    SocketPair pair;
    auto source = DispatchSource::makeReadSource(pair.ours, DispatchQueue::main());
    int events = 0, cancels = 0;
    source->setEventHandler([&] { ++events; });
    source->setCancelHandler([&] {
        ++cancels;
        close(pair.ours);
    });
    source->resume();
    EXPECT_FALSE(runUntil([&] { return events > 0; }, 0.02));
    source->cancel();
    source->cancel();
    EXPECT_TRUE(source->isCancelled());
    EXPECT_TRUE(runUntil([&] { return cancels > 0; }));
    EXPECT_FALSE(runUntil([&] { return cancels > 1; }, 0.02));
    EXPECT_EQ(events, 0);

    // The poller let go of the number: a new descriptor that reuses it works.
    SocketPair next;
    auto reused = DispatchSource::makeReadSource(next.ours, DispatchQueue::main());
    unsigned long readable = 0;
    reused->setEventHandler([&] {
        readable = reused->data();
        reused->cancel();
    });
    reused->setCancelHandler([&] { close(next.ours); });
    reused->resume();
    next.send("abc");
    EXPECT_TRUE(runUntil([&] { return readable == 3; }));
}

TEST_F(ReadSource, SuspendedSourceHoldsItsEventUntilResumed) {
    SocketPair pair;
    auto source = DispatchSource::makeReadSource(pair.ours, DispatchQueue::serial("test.read"));
    std::atomic<unsigned long> readable{0};
    std::atomic<bool> cancelled{false};
    source->setEventHandler([&] {
        readable = source->data();
        source->cancel();
    });
    source->setCancelHandler([&] {
        close(pair.ours);
        cancelled = true;
    });
    source->resume();
    source->suspend();
    pair.send("hello");
    EXPECT_FALSE(runUntil([&] { return readable > 0; }, 0.05));
    source->resume();
    EXPECT_TRUE(runUntil([&] { return cancelled.load(); }));
    EXPECT_EQ(readable, 5u);
}

TEST_F(ReadSource, CancelledSuspendedSourceRunsItsCancelHandlerOnResume) {
    SocketPair pair;
    auto source = DispatchSource::makeReadSource(pair.ours, DispatchQueue::main());
    bool cancelled = false;
    source->setCancelHandler([&] {
        cancelled = true;
        close(pair.ours);
    });
    source->cancel();  // never resumed: still suspended
    EXPECT_FALSE(runUntil([&] { return cancelled; }, 0.02));
    source->resume();
    EXPECT_TRUE(runUntil([&] { return cancelled; }));
}

using DescriptorSources = MainLoopFixture;

TEST_F(DescriptorSources, WriteSourceWaitsForRoomInTheBuffer) {
    SocketPair pair;
    char block[4096] = {};
    while (::send(pair.ours, block, sizeof block, MSG_NOSIGNAL) > 0) {
    }
    auto source = DispatchSource::makeWriteSource(pair.ours, DispatchQueue::main());
    int events = 0;
    source->setEventHandler([&] {
        ++events;
        EXPECT_EQ(source->data(), 1u);
        source->cancel();
    });
    source->setCancelHandler([&] { close(pair.ours); });
    source->resume();
    EXPECT_FALSE(runUntil([&] { return events > 0; }, 0.05));
    while (read(pair.peer, block, sizeof block) > 0) {
    }
    EXPECT_TRUE(runUntil([&] { return events > 0; }));
    EXPECT_EQ(events, 1);
}

TEST_F(DescriptorSources, ReadAndWriteSourcesCloseTheDescriptorOnceAfterBoth) {
    SocketPair pair;
    const int fd = pair.ours;
    auto queue = DispatchQueue::serial("test.socket");
    auto reader = DispatchSource::makeReadSource(fd, queue);
    auto writer = DispatchSource::makeWriteSource(fd, queue);
    std::atomic<int> remaining{2}, closes{0}, cancelHandlers{0};
    // Counted once it has done all it does, so a test that sees the count
    // sees the close too.
    auto closeAfterBoth = [&] {
        if (--remaining == 0 && close(fd) == 0) ++closes;
        ++cancelHandlers;
    };
    reader->setCancelHandler(closeAfterBoth);
    writer->setCancelHandler(closeAfterBoth);
    std::string received;
    writer->setEventHandler([&] {
        ::send(fd, "ping", 4, MSG_NOSIGNAL);
        writer->cancel();
    });
    reader->setEventHandler([&] {
        char buffer[16];
        auto got = read(fd, buffer, sizeof buffer);
        if (got > 0) received.append(buffer, got);
    });
    writer->resume();
    reader->resume();

    char buffer[4];
    EXPECT_TRUE(runUntil([&] { return read(pair.peer, buffer, 4) == 4; }));
    EXPECT_TRUE(runUntil([&] { return cancelHandlers == 1; }));
    EXPECT_TRUE(isOpen(fd));  // the read source still uses it
    pair.send("pong");
    EXPECT_TRUE(runUntil([&] {
        std::string seen;
        queue->sync([&] { seen = received; });
        return seen == "pong";
    }));
    reader->cancel();
    EXPECT_TRUE(runUntil([&] { return cancelHandlers == 2; }));
    // Whatever came of it, nothing of the queue's handlers runs past the test.
    queue->sync([] {});
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(isOpen(fd));
}

using TimerSource = MainLoopFixture;

TEST_F(TimerSource, OneShotOnTheMainQueueFiresAtItsTimeOnce) {
    auto timer = DispatchSource::makeTimerSource(DispatchQueue::main());
    // Times as the clock reads them: differences of its values round
    // differently wherever it started.
    std::vector<double> firedAt;
    timer->setEventHandler([&] { firedAt.push_back(clock.now()); });
    timer->schedule(2);
    clock.advance(5);
    EXPECT_TRUE(firedAt.empty());  // not started yet: the deadline still counts from schedule()
    const double resumedAt = clock.now();
    timer->resume();
    clock.advance(0);
    EXPECT_EQ(firedAt, (std::vector<double>{resumedAt}));
    timer->schedule(1.5);
    clock.advance(1.4);
    EXPECT_EQ(firedAt.size(), 1u);
    clock.advance(0.1);
    clock.advance(60);
    EXPECT_EQ(firedAt, (std::vector<double>{resumedAt, resumedAt + 1.5}));
    timer->cancel();
}

TEST_F(TimerSource, RepeatingTimerCountsFiringsWhileSuspended) {
    auto timer = DispatchSource::makeTimerSource(DispatchQueue::main());
    std::vector<unsigned long> counts;
    timer->setEventHandler([&] { counts.push_back(timer->data()); });
    timer->schedule(1, 1);
    timer->resume();
    clock.advance(2);
    EXPECT_EQ(counts, (std::vector<unsigned long>{1, 1}));
    timer->suspend();
    clock.advance(3);
    EXPECT_EQ(counts.size(), 2u);
    timer->resume();
    clock.advance(0);
    EXPECT_EQ(counts, (std::vector<unsigned long>{1, 1, 3}));

    int cancels = 0;
    timer->setCancelHandler([&] { ++cancels; });
    timer->cancel();
    clock.advance(10);
    EXPECT_EQ(counts.size(), 3u);
    EXPECT_EQ(cancels, 1);
}

TEST_F(TimerSource, BackgroundTimerRunsInRealTimeOnItsQueue) {
    auto queue = DispatchQueue::serial("test.timer");
    auto timer = DispatchSource::makeTimerSource(queue);
    auto done = make<DispatchSemaphore>(0);
    int ticks = 0;
    timer->setEventHandler([&] {
        ticks += static_cast<int>(timer->data());
        if (ticks >= 3) timer->cancel();
    });
    timer->setCancelHandler([&] { done->signal(); });
    timer->schedule(0.005, 0.005, 0);
    timer->resume();
    EXPECT_TRUE(done->wait(kGiveUpAfterSeconds));  // the main loop's manual clock does not hold it back
    EXPECT_GE(ticks, 3);
}

TEST_F(TimerSource, GlobalQueueTimerFollowsTheManualClock) {
    auto timer = DispatchSource::makeTimerSource(DispatchQueue::global());
    std::atomic<int> ticks{0};
    std::atomic<bool> onMainThread{false};
    timer->setEventHandler([&] {
        if (NSThread::isMainThread()) onMainThread = true;
        ++ticks;
    });
    timer->schedule(0, 1);
    timer->resume();
    EXPECT_TRUE(runUntil([&] { return ticks == 1; }));  // the first firing is due at once
    EXPECT_FALSE(runUntil([&] { return ticks > 1; }, 0.05));  // real time passing does not move it
    clock.advance(1);
    EXPECT_TRUE(runUntil([&] { return ticks == 2; }));
    clock.advance(1);
    EXPECT_TRUE(runUntil([&] { return ticks == 3; }));
    EXPECT_FALSE(onMainThread);
    timer->cancel();
    clock.advance(5);
    EXPECT_FALSE(runUntil([&] { return ticks > 3; }, 0.05));
}

TEST_F(TimerSource, HandlerOnAConcurrentQueueNeverOverlapsItself) {
    auto timer = DispatchSource::makeTimerSource(DispatchQueue::global());
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};
    std::atomic<unsigned long> firings{0};
    timer->setEventHandler([&] {
        if (++inside > 1) overlapped = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));  // widens the window for a second call
        firings += timer->data();
        --inside;
    });
    timer->schedule(1, 1);
    timer->resume();
    for (int second = 0; second < 8; ++second) clock.advance(1);
    EXPECT_TRUE(runUntil([&] { return firings == 8; }));
    EXPECT_FALSE(overlapped);
    timer->cancel();
}
