#include "foundation/NSLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

TEST(NSLog, CaptureCollectsLinesAsGivenOnlyWhileAlive) {
    NSLog("before any capture");
    std::vector<std::string> seen;
    {
        NSLogCapture capture;
        NSLog("first");
        NSLog("100% done");
        seen = capture.lines();
        EXPECT_TRUE(capture.contains("% do"));
        EXPECT_FALSE(capture.contains("before"));
        capture.clear();
        EXPECT_TRUE(capture.lines().empty());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "100% done"}));
}

TEST(NSLog, FormatsWithArguments) {
    NSLogCapture capture;
    NSLog("%@ paid %.2f for %d items", Value("amy"), 12.5, 3);
    NSLog("missing: %@", Value());
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{"amy paid 12.50 for 3 items", "missing: (null)"}));
}

TEST(NSLog, LinesFromManyThreadsArriveWholeAndComplete) {
    NSLogCapture capture;
    constexpr int threads = 8, perThread = 200;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([t] {
            for (int i = 0; i < perThread; ++i) NSLog("worker " + std::to_string(t) + " line " + std::to_string(i));
        });
    }
    for (auto& worker : workers) worker.join();

    auto lines = capture.lines();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(threads * perThread));
    // Each thread's lines keep their order.
    for (int t = 0; t < threads; ++t) {
        std::string prefix = "worker " + std::to_string(t) + " line ";
        int expected = 0;
        for (const auto& line : lines) {
            if (line.rfind(prefix, 0) != 0) continue;
            EXPECT_EQ(line, prefix + std::to_string(expected));
            ++expected;
        }
        EXPECT_EQ(expected, perThread);
    }
}

TEST(NSLog, EchoedCaptureStillWritesToStandardOutput) {
    testing::internal::CaptureStdout();
    {
        NSLogCapture quiet;
        NSLog("hidden");
    }
    {
        NSLogCapture loud(true);
        NSLog("shown");
    }
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "shown\n");
}
