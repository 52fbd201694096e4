#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "foundation/DispatchQueue.h"
#include "foundation/MonotonicClock.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSThread.h"
#include "foundation/NSTimer.h"
#include "tests/support/ManualClock.h"

using RunLoop = MainLoopFixture;

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
        loop->runUntil([&] { return nestedDone; }, 5);
    });
    loop->performBlock([&] { order.push_back(2); });
    loop->runOnce();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST_F(RunLoop, RunUntilWakesForWorkFromOtherThreadsAndTimesOut) {
    std::atomic<bool> done{false};
    std::thread worker([&] { DispatchQueue::main()->async([&] { done = true; }); });
    EXPECT_TRUE(runUntil([&] { return done.load(); }, 5));
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
    EXPECT_TRUE(runUntil([&] { return total == threads * posts; }, 30));
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
        loop->runUntil([&] { return fired.load(); }, 5);
    });
    worker.join();
    EXPECT_TRUE(fired);  // the manual clock of the main loop did not hold it back
    EXPECT_EQ(NSRunLoop::currentRunLoop(), NSRunLoop::mainRunLoop());
}
