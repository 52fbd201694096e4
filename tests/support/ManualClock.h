#pragma once

#include <functional>

#include <gtest/gtest.h>

#include "tests/support/Eventually.h"

// Puts the main run loop on the manual clock for its lifetime. It starts and
// ends with an empty main loop (posted blocks and timers left by earlier code
// are dropped), and starts once the requests earlier code left have ended
// and their handlers have run, so tests do not see each other's work.
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
    // Runs the main loop until `predicate` holds or `timeoutSeconds` of real
    // time pass (by default only the bound that ends a broken test).
    static bool runUntil(const std::function<bool()>& predicate,
                         double timeoutSeconds = kGiveUpAfterSeconds);
    // Runs the main loop until the requests set off so far have been
    // answered and their handlers have run, and those that started in turn
    // too, so that no answer of an earlier step lands in what a later one
    // reads. `settle` runs the loop between the checks (a UI test passes its
    // driver's, which lays the window out too); by default the loop runs
    // until idle. False when some are still under way at the give-up bound.
    static bool letRequestsEnd(const std::function<void()>& settle = {});

    ManualClock clock;
};
