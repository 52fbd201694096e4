#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/NSDelayedPerform.h"
#include "tests/support/ManualClock.h"

using DelayedPerform = MainLoopFixture;

TEST_F(DelayedPerform, RunsAfterItsDelayKeepingTheTargetAlive) {
    auto target = make<NSObject>();
    WeakRef<NSObject> watched = target;
    bool performed = false;
    NSDelayedPerform::performSelector(target, "nextLabel", Value(), 0.5, [&] { performed = true; });
    target.reset();
    clock.advance(0.4);
    EXPECT_FALSE(performed);
    EXPECT_FALSE(watched.expired());
    clock.advance(0.1);
    EXPECT_TRUE(performed);
    EXPECT_TRUE(watched.expired());
}

TEST_F(DelayedPerform, CancelWithdrawsByTargetOrByMatchingSelectorAndArgument) {
    auto target = make<NSObject>(), other = make<NSObject>();
    std::vector<std::string> performed;
    auto request = [&](const Ref<NSObject>& on, std::string selector, Value argument, std::string name) {
        NSDelayedPerform::performSelector(on, std::move(selector), std::move(argument), 1,
                                          [&performed, name] { performed.push_back(name); });
    };
    request(target, "hide", 1, "hide 1");
    request(target, "hide", 2, "hide 2");
    request(target, "show", 1, "show 1");
    request(other, "hide", 1, "other hide 1");

    NSDelayedPerform::cancelPreviousPerformRequests(target, "hide", 1.0);  // equal by value
    clock.advance(1);
    EXPECT_EQ(performed, (std::vector<std::string>{"hide 2", "show 1", "other hide 1"}));

    performed.clear();
    request(target, "hide", 1, "hide 1");
    request(target, "show", Value(), "show");
    request(other, "hide", 1, "other hide 1");
    NSDelayedPerform::cancelPreviousPerformRequests(target);
    clock.advance(1);
    EXPECT_EQ(performed, (std::vector<std::string>{"other hide 1"}));
}
