#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "foundation/DispatchQueue.h"
#include "foundation/MonotonicClock.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSThread.h"
#include "foundation/NSTimer.h"
#include "tests/support/ManualClock.h"

using RunLoop = MainLoopFixture;

namespace {
// Whether thread `id` of this process is seen sleeping (state S in
// /proc/self/task/<id>/stat) before the give-up bound.
bool threadFallsAsleep(pid_t id) {
    const std::string stat = "/proc/self/task/" + std::to_string(id) + "/stat";
    return eventually([&] {
        FILE* file = std::fopen(stat.c_str(), "r");
        if (!file) return false;
        char line[512] = {};
        const bool read = std::fgets(line, sizeof line, file) != nullptr;
        std::fclose(file);
        // The state follows the command name, which is in parentheses.
        const char* end = read ? std::strrchr(line, ')') : nullptr;
        return end && end[1] == ' ' && end[2] == 'S';
    });
}
}  // namespace

TEST_F(RunLoop, TurnRunsOnlyTheBlocksPostedBeforeIt) {
    auto loop = NSRunLoop::mainRunLoop();
    std::vector<int> order;
    loop->performBlock([&] {
        order.push_back(1);
        loop->performBlock([&] { order.push_back(3); });
    });
    loop->performBlock([&] { order.push_back(2); });
    EXPECT_TRUE(loop->runOnce());
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_TRUE(loop->runOnce());
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(loop->runOnce());
}

TEST_F(RunLoop, NestedRunKeepsPostingOrder) {
    auto loop = NSRunLoop::mainRunLoop();
    std::vector<int> order;
    bool nestedDone = false;
    loop->performBlock([&] {
        order.push_back(1);
        loop->performBlock([&] {
            order.push_back(3);
            nestedDone = true;
        });
        EXPECT_TRUE(runUntil([&] { return nestedDone; }));
    });
    loop->performBlock([&] { order.push_back(2); });
    loop->runOnce();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST_F(RunLoop, RunUntilWakesForWorkFromOtherThreadsAndTimesOut) {
    std::atomic<bool> done{false};
    std::thread worker([&] { DispatchQueue::main()->async([&] { done = true; }); });
    EXPECT_TRUE(runUntil([&] { return done.load(); }, kGiveUpAfterSeconds));
    worker.join();
    EXPECT_FALSE(runUntil([] { return false; }, 0.02));
}

TEST_F(RunLoop, PostsFromManyThreadsArriveOnceInEachThreadsOrder) {
    constexpr int threads = 8, posts = 10000;
    std::vector<std::vector<int>> received(threads);
    std::atomic<int> total{0};
    std::vector<std::thread> senders;
    for (int t = 0; t < threads; ++t)
        senders.emplace_back([&, t] {
            for (int i = 0; i < posts; ++i)
                DispatchQueue::main()->async([&, t, i] {
                    EXPECT_TRUE(NSThread::isMainThread());
                    received[t].push_back(i);
                    ++total;
                });
        });
    EXPECT_TRUE(runUntil([&] { return total == threads * posts; }, kGiveUpAfterSeconds));
    for (auto& sender : senders) sender.join();
    EXPECT_FALSE(NSRunLoop::mainRunLoop()->runOnce());
    for (const auto& sequence : received) {
        ASSERT_EQ(sequence.size(), std::size_t(posts));
        for (int i = 0; i < posts; ++i) ASSERT_EQ(sequence[i], i);
    }
}

TEST_F(RunLoop, ManualStepsAddingUpToATimersDelayFireIt) {
    // At 10000 s, 0.3 + 0.05 falls short of 0.35 in binary arithmetic.
    MonotonicClock::setManualTime(std::max(clock.now(), 10000.0));
    int fired = 0;
    NSRunLoop::mainRunLoop()->addTimer(NSTimer::timerWithTimeInterval(0.35, false, [&](auto&) { ++fired; }),
                                       NSDefaultRunLoopMode);
    clock.advance(0.3);
    EXPECT_EQ(fired, 0);
    clock.advance(0.05);
    EXPECT_EQ(fired, 1);
}

TEST_F(RunLoop, ATokenOfWorkDiscardedBetweenTestsNeverNamesLaterWork) {
    auto loop = NSRunLoop::mainRunLoop();
    const auto dropped = loop->schedule(clock.now() + 1, [] {}, NSRunLoop::modeMask(NSDefaultRunLoopMode));
    loop->discardPendingWork();
    int fired = 0;
    loop->schedule(clock.now() + 1, [&] { ++fired; }, NSRunLoop::modeMask(NSDefaultRunLoopMode));
    EXPECT_FALSE(loop->unschedule(dropped));
    clock.advance(1);
    EXPECT_EQ(fired, 1);
}

TEST_F(RunLoop, TimersFireOnlyInTheirModes) {
    auto loop = NSRunLoop::mainRunLoop();
    int defaultOnly = 0, common = 0, tracking = 0;
    loop->addTimer(NSTimer::timerWithTimeInterval(1, true, [&](auto&) { ++defaultOnly; }), NSDefaultRunLoopMode);
    loop->addTimer(NSTimer::timerWithTimeInterval(1, true, [&](auto&) { ++common; }), NSRunLoopCommonModes);
    loop->addTimer(NSTimer::timerWithTimeInterval(1, true, [&](auto&) { ++tracking; }), UITrackingRunLoopMode);

    clock.advance(1);  // runs the default mode
    EXPECT_EQ(defaultOnly, 1);
    EXPECT_EQ(common, 1);
    EXPECT_EQ(tracking, 0);

    MonotonicClock::setManualTime(clock.now() + 1);
    bool posted = false;
    loop->performBlock([&] { posted = true; });
    EXPECT_TRUE(loop->runMode(UITrackingRunLoopMode, NSDate::distantPast()));
    EXPECT_EQ(defaultOnly, 1);
    EXPECT_EQ(common, 2);
    EXPECT_EQ(tracking, 1);  // once: the firing it missed is skipped
    EXPECT_TRUE(posted);

    // A private mode fires none of them and runs no posted blocks.
    MonotonicClock::setManualTime(clock.now() + 1);
    posted = false;
    loop->performBlock([&] { posted = true; });
    EXPECT_FALSE(loop->runMode("com.example.private", NSDate::distantPast()));
    EXPECT_FALSE(posted);
    EXPECT_EQ(common + tracking + defaultOnly, 4);
}

TEST_F(RunLoop, AddingATimerForAnotherModeWidensItsModes) {
    auto loop = NSRunLoop::mainRunLoop();
    int fired = 0;
    auto timer = NSTimer::timerWithTimeInterval(1, false, [&](auto&) { ++fired; });
    loop->addTimer(timer, UITrackingRunLoopMode);
    loop->addTimer(timer, NSDefaultRunLoopMode);
    clock.advance(1);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(timer->isValid());
}

TEST_F(RunLoop, ThreadsHaveTheirOwnLoopsOnRealTime) {
    std::atomic<bool> fired{false};
    std::thread worker([&] {
        EXPECT_FALSE(NSThread::isMainThread());
        auto loop = NSRunLoop::currentRunLoop();
        EXPECT_NE(loop, NSRunLoop::mainRunLoop());
        NSTimer::scheduledTimerWithTimeInterval(0.01, false, [&](auto&) { fired = true; });
        EXPECT_TRUE(loop->runUntil([&] { return fired.load(); }, kGiveUpAfterSeconds));
    });
    worker.join();
    EXPECT_TRUE(fired);  // the manual clock of the main loop did not hold it back
    EXPECT_EQ(NSRunLoop::currentRunLoop(), NSRunLoop::mainRunLoop());
}

namespace {
struct Pipe {
    int ends[2] = {-1, -1};
    Pipe() { EXPECT_EQ(pipe(ends), 0); }
    ~Pipe() {
        close(ends[0]);
        close(ends[1]);
    }
    void put(const char* text) const { ASSERT_GT(write(ends[1], text, strlen(text)), 0); }
    std::string take() const {
        char buffer[64];
        auto got = read(ends[0], buffer, sizeof buffer);
        return got > 0 ? std::string(buffer, got) : std::string();
    }
};
}  // namespace

TEST_F(RunLoop, WatchedDescriptorRunsItsHandlerWhileReadyUntilUnwatched) {
    auto loop = NSRunLoop::mainRunLoop();
    Pipe channel;
    std::vector<std::string> received;
    auto token = loop->watchDescriptor(channel.ends[0], NSRunLoop::DescriptorReadable, [&](unsigned events) {
        EXPECT_EQ(events, NSRunLoop::DescriptorReadable);
        received.push_back(channel.take());
    });
    ASSERT_NE(token, 0u);
    EXPECT_FALSE(loop->runOnce());
    std::thread writer([&] { channel.put("one"); });
    EXPECT_TRUE(runUntil([&] { return !received.empty(); }));  // wakes the waiting loop
    writer.join();
    EXPECT_EQ(received, std::vector<std::string>{"one"});
    EXPECT_FALSE(loop->runOnce());  // drained: not ready any more

    // A writable end reported by a second watch on another descriptor.
    int writable = 0;
    auto writeToken = loop->watchDescriptor(channel.ends[1], NSRunLoop::DescriptorWritable, [&](unsigned) { ++writable; });
    EXPECT_TRUE(loop->runOnce());
    EXPECT_EQ(writable, 1);
    EXPECT_TRUE(loop->setWatchedEvents(writeToken, 0));
    EXPECT_FALSE(loop->runOnce());

    loop->unwatchDescriptor(token);
    loop->unwatchDescriptor(writeToken);
    channel.put("two");
    EXPECT_FALSE(loop->runOnce());
    EXPECT_EQ(received.size(), 1u);

    // Regular files cannot be watched.
    FILE* file = tmpfile();
    EXPECT_EQ(loop->watchDescriptor(fileno(file), NSRunLoop::DescriptorReadable, [](unsigned) {}), 0u);
    fclose(file);
}

TEST_F(RunLoop, NestedRunInsideAHandlerDoesNotReenterIt) {
    auto loop = NSRunLoop::mainRunLoop();
    Pipe channel;
    channel.put("x");
    int calls = 0, depth = 0, deepest = 0;
    bool nestedWorkRan = false;
    auto token = loop->watchDescriptor(channel.ends[0], NSRunLoop::DescriptorReadable, [&](unsigned) {
        ++calls;
        deepest = std::max(deepest, ++depth);
        if (calls == 1) {
            // Still readable while the nested run goes on.
            std::thread([&] { DispatchQueue::main()->async([&] { nestedWorkRan = true; }); }).join();
            EXPECT_TRUE(runUntil([&] { return nestedWorkRan; }));
        }
        channel.take();
        --depth;
    });
    EXPECT_TRUE(runUntil([&] { return calls >= 1 && depth == 0; }));
    EXPECT_TRUE(nestedWorkRan);
    EXPECT_EQ(deepest, 1);
    channel.put("y");
    EXPECT_TRUE(runUntil([&] { return calls == 2; }));  // watched again once the handler returned
    loop->unwatchDescriptor(token);
}

TEST_F(RunLoop, WaitEndsAtTheNextTimerOrRealTimeActionNotTheLimit) {
    // A thread's loop on real time: its timer's due time is the wait's time-out.
    std::thread worker([] {
        auto loop = NSRunLoop::currentRunLoop();
        bool fired = false;
        NSTimer::scheduledTimerWithTimeInterval(0.02, false, [&](auto&) { fired = true; });
        const double start = MonotonicClock::realNow();
        const NSDate limit = NSDate::date().dateByAddingTimeInterval(2 * kGiveUpAfterSeconds);
        EXPECT_TRUE(loop->runMode(NSDefaultRunLoopMode, limit));
        EXPECT_TRUE(fired);
        EXPECT_LT(MonotonicClock::realNow() - start, kGiveUpAfterSeconds);  // not at the limit
    });
    worker.join();

    // The main loop on the manual clock: clock timers wait for the clock,
    // real-time actions fire on real time.
    auto loop = NSRunLoop::mainRunLoop();
    bool clockTimer = false, realAction = false;
    loop->schedule(clock.now() + 0.01, [&] { clockTimer = true; }, NSRunLoop::modeMask(NSDefaultRunLoopMode));
    loop->scheduleRealTime(MonotonicClock::realNow() + 0.02, [&] { realAction = true; });
    EXPECT_TRUE(runUntil([&] { return realAction; }, kGiveUpAfterSeconds));
    EXPECT_FALSE(clockTimer);
    loop->discardPendingWork();  // drops the clock timer only
    clock.advance(1);
    EXPECT_FALSE(clockTimer);
}

TEST_F(RunLoop, AThreadsLoopSleepsUntilAnotherThreadPostsToIt) {
    std::promise<Ref<NSRunLoop>> made;
    std::atomic<pid_t> workerId{0};
    std::atomic<bool> ran{false};
    std::thread worker([&] {
        workerId = gettid();
        auto loop = NSRunLoop::currentRunLoop();
        made.set_value(loop);
        while (!ran) loop->runMode(NSDefaultRunLoopMode, NSDate::distantFuture());
    });
    auto loop = made.get_future().get();
    EXPECT_TRUE(threadFallsAsleep(workerId)) << "the worker's loop waits";
    loop->performBlock([&] { ran = true; });
    worker.join();
    EXPECT_TRUE(ran);
}
