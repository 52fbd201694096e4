#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/AppFixture.h"
#include "uikit/UIView.h"

namespace {

class UIViewAnimationTest : public AppFixture {};

TEST_F(UIViewAnimationTest, BlockFormAppliesAtOnceAndCompletesAfterDelayPlusDuration) {
    auto view = make<UIView>(CGRectMake(0, 0, 10, 10));
    std::vector<bool> finished;
    UIView::animateWithDuration(0.3, 0.2, UIViewAnimationOptionCurveEaseOut, [&] {
        view->setAlpha(0.5);
        view->setFrame(CGRectMake(0, 0, 100, 10));
    }, [&](bool done) { finished.push_back(done); });
    EXPECT_EQ(view->alpha(), 0.5);
    EXPECT_EQ(view->frame().size.width, 100);
    clock.advance(0.49);
    EXPECT_TRUE(finished.empty());
    clock.advance(0.02);
    EXPECT_EQ(finished, std::vector<bool>{true});
}

TEST_F(UIViewAnimationTest, CompletionsRunInTheOrderTheyFallDue) {
    std::vector<std::string> order;
    UIView::animateWithDuration(1.0, [] {}, [&](bool) { order.push_back("slow"); });
    UIView::animateWithDuration(0.25, 0, 0.7, 0.0, UIViewAnimationOptionCurveEaseInOut, [] {},
                                [&](bool) { order.push_back("spring"); });
    UIView::animateWithDuration(0, [] {}, [&](bool) { order.push_back("instant"); });
    UIView::animateWithDuration(0.1, [] {});  // no completion: nothing scheduled
    EXPECT_TRUE(order.empty()) << "even a zero-length animation completes from the run loop";
    clock.advance(2);
    EXPECT_EQ(order, (std::vector<std::string>{"instant", "spring", "slow"}));
}

TEST_F(UIViewAnimationTest, BeginCommitCallsDidStopWithIdAndContext) {
    auto view = make<UIView>();
    auto delegate = make<NSObject>();
    WeakRef<NSObject> weakDelegate = delegate;
    int context = 42;
    std::vector<std::string> stops;
    UIView::beginAnimations("fade", &context);
    UIView::setAnimationDuration(0.5);
    UIView::setAnimationDelay(0.1);
    UIView::setAnimationDelegate(delegate);
    UIView::setAnimationDidStopSelector([&](const std::string& id, bool finished, void* ctx) {
        stops.push_back(id + (finished ? " finished " : " cut ") + std::to_string(*static_cast<int*>(ctx)));
    });
    view->setAlpha(0);
    UIView::commitAnimations();
    delegate.reset();
    EXPECT_EQ(view->alpha(), 0);
    EXPECT_FALSE(weakDelegate.expired()) << "the animation keeps its delegate until it stops";
    clock.advance(0.55);
    EXPECT_TRUE(stops.empty());
    clock.advance(0.1);
    EXPECT_EQ(stops, std::vector<std::string>{"fade finished 42"});
    EXPECT_TRUE(weakDelegate.expired());

    // Unbalanced commits and settings outside a block are ignored.
    UIView::commitAnimations();
    UIView::setAnimationDuration(3);
    clock.advance(5);
    EXPECT_EQ(stops.size(), 1u);
}

TEST_F(UIViewAnimationTest, WithoutAnimationRunsTheChangesAndTheFlagIsKept) {
    auto view = make<UIView>();
    UIView::performWithoutAnimation([&] { view->setHidden(true); });
    EXPECT_TRUE(view->isHidden());
    UIView::setAnimationsEnabled(false);
    EXPECT_FALSE(UIView::areAnimationsEnabled());
    UIApplication::resetForTesting();
    EXPECT_TRUE(UIView::areAnimationsEnabled());
}

}  // namespace
