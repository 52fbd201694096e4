#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "foundation/DispatchGroup.h"
#include "foundation/DispatchOnce.h"
#include "foundation/DispatchQueue.h"
#include "foundation/DispatchSemaphore.h"
#include "foundation/NSThread.h"
#include "tests/support/ManualClock.h"

using Dispatch = MainLoopFixture;

TEST_F(Dispatch, SerialQueueRunsBlocksOneAtATimeInOrder) {
    auto queue = DispatchQueue::serial("test.serial");
    constexpr int blocks = 2000;
    std::vector<int> order;
    std::atomic<int> running{0}, overlaps{0};
    auto done = make<DispatchSemaphore>(0);
    for (int i = 0; i < blocks; ++i)
        queue->async([&, i] {
            if (running.fetch_add(1) != 0) ++overlaps;
            order.push_back(i);
            running.fetch_sub(1);
            if (i == blocks - 1) done->signal();
        });
    ASSERT_TRUE(done->wait(kGiveUpAfterSeconds));
    EXPECT_EQ(overlaps, 0);
    ASSERT_EQ(order.size(), std::size_t(blocks));
    for (int i = 0; i < blocks; ++i) ASSERT_EQ(order[i], i);
}

TEST_F(Dispatch, SyncWaitsForEarlierBlocksAndRunsOnTheCaller) {
    auto queue = DispatchQueue::serial("test.sync");
    std::vector<int> order;
    auto gate = make<DispatchSemaphore>(0);
    queue->async([&] {
        gate->wait();
        order.push_back(1);
    });
    queue->async([&] { order.push_back(2); });
    std::thread opener([&] { gate->signal(); });
    std::thread::id ranOn;
    queue->sync([&] {
        order.push_back(3);
        ranOn = std::this_thread::get_id();
    });
    opener.join();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    // Blocks queued after the sync still run.
    queue->sync([&] { order.push_back(4); });
    EXPECT_EQ(order.back(), 4);
}

TEST_F(Dispatch, SyncOntoTheCurrentQueueRunsInline) {
    auto a = DispatchQueue::serial("test.a"), b = DispatchQueue::serial("test.b");
    std::vector<std::string> trail;
    auto done = make<DispatchSemaphore>(0);
    a->async([&] {
        a->sync([&] { trail.push_back("a in a"); });
        b->sync([&] {
            trail.push_back("b in a");
            a->sync([&] { trail.push_back("a in b in a"); });
        });
        done->signal();
    });
    ASSERT_TRUE(done->wait(kGiveUpAfterSeconds));
    EXPECT_EQ(trail, (std::vector<std::string>{"a in a", "b in a", "a in b in a"}));

    bool inline_ = false;
    DispatchQueue::main()->sync([&] { inline_ = NSThread::isMainThread(); });
    EXPECT_TRUE(inline_);
}

TEST_F(Dispatch, SyncOntoTheMainQueueFromAWorkerWaitsForTheMainLoop) {
    std::atomic<bool> ranOnMain{false}, returned{false};
    DispatchQueue::global()->async([&] {
        DispatchQueue::main()->sync([&] { ranOnMain = NSThread::isMainThread(); });
        returned = true;
    });
    EXPECT_TRUE(runUntil([&] { return returned.load(); }));
    EXPECT_TRUE(ranOnMain);
}

TEST_F(Dispatch, GlobalQueuesRunConcurrently) {
    // Two blocks that each wait for the other can only finish side by side.
    auto first = make<DispatchSemaphore>(0), second = make<DispatchSemaphore>(0), done = make<DispatchSemaphore>(0);
    DispatchQueue::global(DispatchQueuePriority::High)->async([&] {
        first->signal();
        if (second->wait(kGiveUpAfterSeconds)) done->signal();
    });
    DispatchQueue::global(DispatchQueuePriority::Background)->async([&] {
        second->signal();
        if (first->wait(kGiveUpAfterSeconds)) done->signal();
    });
    EXPECT_TRUE(done->wait(kGiveUpAfterSeconds));
    EXPECT_TRUE(done->wait(kGiveUpAfterSeconds));
}

TEST_F(Dispatch, QueueSpecificValuesAreSeenOnlyOnTheirQueue) {
    static const char key = 0;
    auto queue = DispatchQueue::serial("test.specific"), other = DispatchQueue::serial("test.other");
    queue->setSpecific(&key, "socket");
    Value onQueue, onOther, nestedSync;
    queue->sync([&] {
        onQueue = DispatchQueue::getSpecific(&key);
        other->sync([&] { nestedSync = DispatchQueue::getSpecific(&key); });
    });
    other->sync([&] { onOther = DispatchQueue::getSpecific(&key); });
    EXPECT_EQ(onQueue, Value("socket"));
    EXPECT_TRUE(nestedSync.isNil());
    EXPECT_TRUE(onOther.isNil());
    EXPECT_TRUE(DispatchQueue::getSpecific(&key).isNil());

    DispatchQueue::main()->setSpecific(&key, 7);
    EXPECT_EQ(DispatchQueue::getSpecific(&key), Value(7));  // main-thread code is on the main queue
    DispatchQueue::main()->setSpecific(&key, Value());
    EXPECT_TRUE(DispatchQueue::getSpecific(&key).isNil());
}

TEST_F(Dispatch, MainQueueAfterReadsTheManualClock) {
    bool fired = false;
    DispatchQueue::main()->after(60, [&] { fired = NSThread::isMainThread(); });
    EXPECT_FALSE(runUntil([&] { return fired; }, 0.02));
    clock.advance(60);
    EXPECT_TRUE(fired);
}

TEST_F(Dispatch, BackgroundAfterRunsInRealTimeOnItsQueue) {
    static const char key = 0;
    auto queue = DispatchQueue::serial("test.after");
    queue->setSpecific(&key, true);
    auto done = make<DispatchSemaphore>(0);
    std::atomic<bool> onQueue{false};
    queue->after(0.02, [&] {
        onQueue = DispatchQueue::getSpecific(&key).boolValue();
        done->signal();
    });
    EXPECT_FALSE(done->wait(0.005));
    EXPECT_TRUE(done->wait(kGiveUpAfterSeconds));
    EXPECT_TRUE(onQueue);
}

TEST_F(Dispatch, GroupNotifiesOnceAllTasksLeft) {
    auto group = make<DispatchGroup>();
    std::atomic<int> finished{0};
    int notifiedWith = -1;
    for (int i = 0; i < 20; ++i) group->async(DispatchQueue::global(), [&] { ++finished; });
    group->enter();
    group->notify(DispatchQueue::main(), [&] { notifiedWith = finished; });
    EXPECT_FALSE(group->wait(0.01));
    DispatchQueue::global()->async([&] {
        ++finished;
        group->leave();
    });
    EXPECT_TRUE(group->wait(kGiveUpAfterSeconds));
    EXPECT_TRUE(runUntil([&] { return notifiedWith >= 0; }));
    EXPECT_EQ(notifiedWith, 21);
    // An empty group notifies at once; an extra leave is ignored.
    group->leave();
    bool again = false;
    group->notify(DispatchQueue::main(), [&] { again = true; });
    EXPECT_TRUE(runUntil([&] { return again; }));
}

TEST_F(Dispatch, SemaphoreCountsAndTimesOut) {
    auto semaphore = make<DispatchSemaphore>(2);
    EXPECT_TRUE(semaphore->wait(0));
    EXPECT_TRUE(semaphore->wait(0));
    EXPECT_FALSE(semaphore->wait(0.01));
    semaphore->signal();
    EXPECT_TRUE(semaphore->wait(0));
}

TEST_F(Dispatch, OnceRunsItsBlockOnceAcrossThreads) {
    DispatchOnce once;
    std::atomic<int> runs{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) threads.emplace_back([&] { once.perform([&] { ++runs; }); });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(runs, 1);
}
