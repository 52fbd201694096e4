#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/AppFixture.h"
#include "uikit/UIScreen.h"
#include "uikit/UIScrollView.h"
#include "uikit/UIWindow.h"

namespace {

std::string offsetText(CGPoint p) { return std::to_string(static_cast<int>(p.x)) + "," + std::to_string(static_cast<int>(p.y)); }

// Writes down every call with the state the scroll view is in at that time.
class ScrollRecordingDelegate : public NSObject, public UIScrollViewDelegate {
public:
    std::vector<std::string> calls;
    std::optional<CGPoint> replacementTarget;
    Ref<UIView> zoomed;

    void scrollViewDidScroll(const Ref<UIScrollView>& s) override {
        calls.push_back("scroll " + offsetText(s->contentOffset()) + (s->isDragging() ? " dragging" : "") +
                        (s->isDecelerating() ? " decelerating" : ""));
    }
    void scrollViewWillBeginDragging(const Ref<UIScrollView>& s) override {
        calls.push_back(std::string("willBegin") + (s->isDragging() ? " dragging" : ""));
    }
    void scrollViewWillEndDraggingWithVelocityTargetContentOffset(const Ref<UIScrollView>&, CGPoint,
                                                                  CGPoint* target) override {
        calls.push_back("willEnd target " + offsetText(*target));
        if (replacementTarget) *target = *replacementTarget;
    }
    void scrollViewDidEndDraggingWillDecelerate(const Ref<UIScrollView>& s, bool decelerate) override {
        calls.push_back(std::string("didEnd ") + (decelerate ? "decelerate" : "rest") + (s->isDragging() ? " dragging" : ""));
    }
    void scrollViewDidEndDecelerating(const Ref<UIScrollView>&) override { calls.push_back("didEndDecelerating"); }
    void scrollViewDidEndScrollingAnimation(const Ref<UIScrollView>&) override { calls.push_back("animationEnded"); }
    Ref<UIView> viewForZoomingInScrollView(const Ref<UIScrollView>&) override { return zoomed; }
    void scrollViewDidZoom(const Ref<UIScrollView>& s) override {
        calls.push_back("zoom " + std::to_string(s->zoomScale()));
    }
};

class UIScrollViewTest : public AppFixture {
protected:
    UIScrollViewTest() {
        scrollView->setContentSize({100, 300});
        scrollView->setDelegate(delegate);
    }

    Ref<UIScrollView> scrollView = make<UIScrollView>(CGRectMake(0, 0, 100, 100));
    Ref<ScrollRecordingDelegate> delegate = make<ScrollRecordingDelegate>();
};

using Calls = std::vector<std::string>;

TEST_F(UIScrollViewTest, DragWithinTheContentScrollsInStepsAndRests) {
    EXPECT_TRUE(scrollView->handleDragBy({0, 150}));
    EXPECT_EQ(delegate->calls, (Calls{"willBegin dragging", "scroll 0,50 dragging", "scroll 0,100 dragging",
                                      "scroll 0,150 dragging", "willEnd target 0,150", "didEnd rest"}));
    EXPECT_EQ(scrollView->contentOffset(), CGPointMake(0, 150));
    EXPECT_FALSE(scrollView->isDragging());
    EXPECT_FALSE(scrollView->isTracking());
}

TEST_F(UIScrollViewTest, DragPastTheEdgeBouncesBackThroughDeceleration) {
    scrollView->handleDragBy({0, -80});
    EXPECT_EQ(delegate->calls, (Calls{"willBegin dragging", "scroll 0,-40 dragging", "scroll 0,-80 dragging", "willEnd target 0,0",
                                      "didEnd decelerate", "scroll 0,0 decelerating", "didEndDecelerating"}));
    EXPECT_FALSE(scrollView->isDecelerating());

    delegate->calls.clear();
    scrollView->handleDragBy({0, 500});
    EXPECT_EQ(delegate->calls.at(delegate->calls.size() - 4), "willEnd target 0,200") << "bottom edge: 300 - 100";
    EXPECT_EQ(scrollView->contentOffset(), CGPointMake(0, 200));
}

TEST_F(UIScrollViewTest, WithoutBouncingTheDragStopsAtTheEdges) {
    scrollView->setBounces(false);
    scrollView->handleDragBy({0, -80});
    EXPECT_EQ(delegate->calls, (Calls{"willBegin dragging", "willEnd target 0,0", "didEnd rest"}))
        << "no movement, so no did-scroll";
}

TEST_F(UIScrollViewTest, AxesWithoutScrollableContentIgnoreTheDrag) {
    EXPECT_FALSE(scrollView->handleDragBy({40, 0})) << "content as wide as the bounds";
    scrollView->setAlwaysBounceHorizontal(true);
    EXPECT_TRUE(scrollView->handleDragBy({40, 0}));
    EXPECT_EQ(scrollView->contentOffset(), CGPointMake(0, 0)) << "bounced back";

    scrollView->setScrollEnabled(false);
    EXPECT_FALSE(scrollView->handleDragBy({0, 50}));
    scrollView->setContentOffset({0, 50});
    EXPECT_EQ(scrollView->contentOffset().y, 50) << "code still scrolls";
}

TEST_F(UIScrollViewTest, PagingRestsOnTheNearestPageAndTheDelegateMayMoveTheTarget) {
    scrollView->setPagingEnabled(true);
    scrollView->handleDragBy({0, 60});
    EXPECT_EQ(scrollView->contentOffset(), CGPointMake(0, 100));
    scrollView->handleDragBy({0, 40});
    EXPECT_EQ(scrollView->contentOffset(), CGPointMake(0, 100)) << "140 is nearer page 1 than page 2";

    scrollView->setPagingEnabled(false);
    delegate->replacementTarget = CGPointMake(0, 30);
    scrollView->handleDragBy({0, 10});
    EXPECT_EQ(scrollView->contentOffset(), CGPointMake(0, 30));
}

TEST_F(UIScrollViewTest, SubviewsMoveWithTheOffset) {
    auto window = make<UIWindow>();
    window->makeKeyAndVisible();
    window->addSubview(scrollView);
    auto row = make<UIView>(CGRectMake(0, 250, 100, 40));
    scrollView->addSubview(row);
    scrollView->setContentOffset({0, 200});
    EXPECT_EQ(row->convertPointToView({0, 0}, window), CGPointMake(0, 50));
    EXPECT_EQ(window->hitTest({10, 60}), row);
    EXPECT_TRUE(scrollView->clipsToBounds());
}

TEST_F(UIScrollViewTest, AnimatedOffsetAppliesAtOnceAndReportsTheEndOnTheClock) {
    scrollView->setContentOffset({0, 120}, true);
    EXPECT_EQ(scrollView->contentOffset().y, 120);
    EXPECT_EQ(delegate->calls, (Calls{"scroll 0,120"}));
    clock.advance(0.31);
    EXPECT_EQ(delegate->calls, (Calls{"scroll 0,120", "animationEnded"}));

    scrollView->setContentOffset({0, 120}, true);
    clock.advance(1);
    EXPECT_EQ(delegate->calls.size(), 2u) << "no move, no animation";
}

TEST_F(UIScrollViewTest, ZoomStaysWithinItsLimitsAndScalesTheDelegatesView) {
    scrollView->setZoomScale(3);
    EXPECT_EQ(scrollView->zoomScale(), 1) << "limits of 1 mean no zooming";
    delegate->zoomed = make<UIView>(CGRectMake(0, 0, 100, 80));
    scrollView->addSubview(delegate->zoomed);
    scrollView->setMinimumZoomScale(0.5);
    scrollView->setMaximumZoomScale(2);
    scrollView->setZoomScale(3);
    EXPECT_EQ(scrollView->zoomScale(), 2);
    EXPECT_EQ(scrollView->contentSize(), CGSizeMake(200, 160));
    // The zoomed view's frame stays at the content's origin, as on the phone.
    EXPECT_EQ(delegate->zoomed->frame(), CGRectMake(0, 0, 200, 160));
    scrollView->setZoomScale(0.5);
    EXPECT_EQ(delegate->zoomed->frame(), CGRectMake(0, 0, 50, 40));
    EXPECT_EQ(scrollView->contentSize(), CGSizeMake(50, 40));
    EXPECT_EQ(delegate->calls, (Calls{"zoom 2.000000", "zoom 0.500000"}));
}

class AdjustedInsetTest : public AppFixture {
protected:
    AdjustedInsetTest() {
        UIScreen::useNotchedScreen();
        window = make<UIWindow>();
        window->makeKeyAndVisible();
        scrollView->setContentInset({5, 0, 7, 0});
        window->addSubview(scrollView);
    }

    Ref<UIWindow> window;
    Ref<UIScrollView> scrollView = make<UIScrollView>(CGRectMake(0, 0, 375, 812));
};

TEST_F(AdjustedInsetTest, TheBehaviourPicksWhichSafeAreaAdds) {
    using Behavior = UIScrollViewContentInsetAdjustmentBehavior;
    EXPECT_EQ(scrollView->adjustedContentInset(), UIEdgeInsetsMake(5, 0, 7, 0)) << "content fits: no scrollable axis";
    scrollView->setAlwaysBounceVertical(true);
    EXPECT_EQ(scrollView->adjustedContentInset(), UIEdgeInsetsMake(49, 0, 41, 0));
    scrollView->setAlwaysBounceVertical(false);
    scrollView->setContentSize({375, 2000});
    EXPECT_EQ(scrollView->adjustedContentInset(), UIEdgeInsetsMake(49, 0, 41, 0));
    scrollView->setContentInsetAdjustmentBehavior(Behavior::Never);
    EXPECT_EQ(scrollView->adjustedContentInset(), UIEdgeInsetsMake(5, 0, 7, 0));
    scrollView->setContentSize({});
    scrollView->setContentInsetAdjustmentBehavior(Behavior::Always);
    EXPECT_EQ(scrollView->adjustedContentInset(), UIEdgeInsetsMake(49, 0, 41, 0));

    scrollView->setFrame(CGRectMake(0, 100, 375, 300));
    EXPECT_EQ(scrollView->adjustedContentInset(), UIEdgeInsetsMake(5, 0, 7, 0)) << "clear of the notch and home bar";
}

TEST_F(AdjustedInsetTest, ContentRestingAtTheTopStartsBelowTheNotchAndTheRangeFollowsTheInsets) {
    scrollView->setContentSize({375, 2000});
    window->layoutIfNeeded();
    EXPECT_EQ(scrollView->contentOffset(), CGPointMake(0, -49));
    EXPECT_EQ(scrollView->maximumContentOffset(), CGPointMake(0, 2000 + 41 - 812));

    scrollView->setContentOffset({0, 300});
    scrollView->setContentInset({});
    window->layoutIfNeeded();
    EXPECT_EQ(scrollView->contentOffset().y, 300) << "a scrolled list keeps its place";
    EXPECT_EQ(scrollView->minimumContentOffset(), CGPointMake(0, -44));
}

}  // namespace
