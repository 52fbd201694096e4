#pragma once

#include <functional>

#include <gtest/gtest.h>

// Puts the main run loop on the manual clock for its lifetime. It starts and
// ends with an empty main loop (posted blocks and timers left by earlier code
// are dropped), so tests do not see each other's work.
class ManualClock {
public:
    ManualClock();
    ~ManualClock();
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    // Moves time forward, firing due timers in order (see NSRunLoop::advanceManualClock).
    void advance(double seconds);
    double now() const;
};

// Base of tests that use the main run loop: each test runs on the manual clock
// with an empty loop.
class MainLoopFixture : public ::testing::Test {
protected:
    // Runs the main loop until `predicate` holds or `timeoutSeconds` of real time pass.
    static bool runUntil(const std::function<bool()>& predicate, double timeoutSeconds = 5);

    ManualClock clock;
};
