#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/DispatchQueue.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSTimer.h"
#include "tests/support/ManualClock.h"

using Timer = MainLoopFixture;

TEST_F(Timer, FireInTimeOrderAndEqualTimesInSchedulingOrder) {
    std::vector<std::string> fired;
    auto record = [&](std::string name) { return [&fired, name](auto&) { fired.push_back(name); }; };
    NSTimer::scheduledTimerWithTimeInterval(2, false, record("b"));
    NSTimer::scheduledTimerWithTimeInterval(1, false, record("a1"));
    DispatchQueue::main()->after(1, [&] { fired.push_back("a2"); });
    NSTimer::scheduledTimerWithTimeInterval(1, false, record("a3"));

    clock.advance(0.999);
    EXPECT_TRUE(fired.empty());
    clock.advance(0.001);
    EXPECT_EQ(fired, (std::vector<std::string>{"a1", "a2", "a3"}));
    clock.advance(5);
    EXPECT_EQ(fired, (std::vector<std::string>{"a1", "a2", "a3", "b"}));
}

TEST_F(Timer, RepeatsAtItsIntervalUntilInvalidated) {
    // Times as the clock reads them, each one interval after the last:
    // differences of its values round differently wherever it started.
    std::vector<double> times;
    const double start = clock.now();
    NSTimer::scheduledTimerWithTimeInterval(1.5, true, [&](const Ref<NSTimer>& timer) {
        times.push_back(clock.now());
        if (times.size() == 3) timer->invalidate();
    });
    const double first = start + 1.5, second = first + 1.5, third = second + 1.5;
    clock.advance(4);
    EXPECT_EQ(times, (std::vector<double>{first, second}));
    clock.advance(100);
    EXPECT_EQ(times, (std::vector<double>{first, second, third}));
}

TEST_F(Timer, WorkPostedByATimerRunsBeforeTheNextTimer) {
    std::vector<std::string> order;
    NSTimer::scheduledTimerWithTimeInterval(1, false, [&](auto&) {
        order.push_back("first");
        DispatchQueue::main()->async([&] { order.push_back("posted"); });
        DispatchQueue::main()->after(0.5, [&] { order.push_back("chained"); });
    });
    NSTimer::scheduledTimerWithTimeInterval(2, false, [&](auto&) { order.push_back("second"); });
    clock.advance(10);
    EXPECT_EQ(order, (std::vector<std::string>{"first", "posted", "chained", "second"}));
}

TEST_F(Timer, TargetFormKeepsTargetAndUserInfoUntilInvalidated) {
    auto target = make<NSObject>();
    WeakRef<NSObject> watched = target;
    Value seen;
    auto timer = NSTimer::scheduledTimerWithTimeInterval(
        1, target, [&](const Ref<NSTimer>& t) { seen = t->userInfo(); }, Value(Dictionary{{"page", 2}}), true);
    target.reset();
    EXPECT_FALSE(watched.expired());
    EXPECT_DOUBLE_EQ(timer->timeInterval(), 1);
    clock.advance(1);
    EXPECT_EQ(seen["page"].intValue(), 2);
    timer->invalidate();
    EXPECT_TRUE(watched.expired());
    EXPECT_TRUE(timer->userInfo().isNil());
    EXPECT_FALSE(timer->isValid());
}

TEST_F(Timer, FireRunsNowAndEndsAOneShotTimer) {
    int count = 0;
    auto oneShot = NSTimer::scheduledTimerWithTimeInterval(5, false, [&](auto&) { ++count; });
    auto repeating = NSTimer::scheduledTimerWithTimeInterval(5, true, [&](auto&) { count += 10; });
    EXPECT_DOUBLE_EQ(oneShot->timeInterval(), 0);
    oneShot->fire();
    repeating->fire();
    EXPECT_EQ(count, 11);
    EXPECT_FALSE(oneShot->isValid());
    EXPECT_TRUE(repeating->isValid());
    clock.advance(5);
    EXPECT_EQ(count, 21);  // the one-shot timer does not fire again; the repeating one keeps its time
    oneShot->fire();
    EXPECT_EQ(count, 21);
    repeating->invalidate();
}

// An action that invalidates its timer and lets it go, as a screen fired
// by hand does: the timer lives until fire returns (checked by the sanitizers).
TEST_F(Timer, FireKeepsATimerItsActionLetsGo) {
    for (bool repeats : {true, false}) {
        Ref<NSTimer> held = NSTimer::scheduledTimerWithTimeInterval(5, repeats, [&](const Ref<NSTimer>& timer) {
            timer->invalidate();
            held.reset();
        });
        held->fire();
        EXPECT_FALSE(held) << repeats;
    }
}

TEST_F(Timer, FireDateFollowsTheManualClock) {
    auto timer = NSTimer::scheduledTimerWithTimeInterval(60, false, [](auto&) {});
    EXPECT_NEAR(timer->fireDate().timeIntervalSinceNow(), 60, 0.5);
    clock.advance(45);
    EXPECT_NEAR(timer->fireDate().timeIntervalSinceNow(), 15, 0.5);
}

TEST_F(Timer, UnscheduledTimerDoesNotFire) {
    bool fired = false;
    auto timer = NSTimer::timerWithTimeInterval(1, false, [&](auto&) { fired = true; });
    clock.advance(2);
    EXPECT_FALSE(fired);
    EXPECT_TRUE(timer->isValid());
}
