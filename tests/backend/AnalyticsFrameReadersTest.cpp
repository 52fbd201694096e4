// The collector's frame readers: work runs on them in turn, work not taken
// up in time never runs, and closing ends every wait.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "backend/AnalyticsFrameReaders.h"
#include "tests/support/Eventually.h"

using backend::AnalyticsFrameReaders;
using namespace std::chrono_literals;

namespace {

std::chrono::steady_clock::time_point in(std::chrono::milliseconds wait) {
    return std::chrono::steady_clock::now() + wait;
}

}  // namespace

TEST(AnalyticsFrameReaders, WorkNotTakenUpInTimeNeverRunsAndClosingEndsTheWaits) {
    AnalyticsFrameReaders readers(1);
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> busy{false};
    // The one reader is held by this work until released.
    auto holding = std::async(std::launch::async, [&] {
        return readers.run([&] { busy = true; released.wait(); }, in(kGiveUpAfter));
    });
    while (!busy) std::this_thread::yield();

    std::atomic<int> ran{0};
    const std::function<void()> count = [&] { ++ran; };
    EXPECT_FALSE(readers.run(count, in(50ms)));
    auto queued = std::async(std::launch::async, [&] { return readers.run(count, in(kGiveUpAfter)); });
    release.set_value();
    EXPECT_TRUE(holding.get());
    EXPECT_TRUE(queued.get());
    EXPECT_EQ(ran, 1);

    // Closed: the wait ends at once, long before its deadline.
    readers.close();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(readers.run(count, in(kGiveUpAfter)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, kGiveUpAfter);
    EXPECT_EQ(ran, 1);
}
