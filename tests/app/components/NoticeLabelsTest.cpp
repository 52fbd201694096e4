#include <gtest/gtest.h>

#include "app/components/RollAdView.h"
#include "app/components/ZSScrollView.h"
#include "graphics/UIGraphics.h"
#include "tests/app/components/WidgetFixture.h"

namespace {

class ZSScrollViewTest : public WidgetFixture {
protected:
    Ref<ZSScrollView> ticker(std::vector<std::string> texts) {
        auto view = place(make<ZSScrollView>(CGRect{0, 0, 300, 30}), {20, 100, 300, 30});
        view->setTitleArray(std::move(texts));
        return view;
    }
    // The text of the line in view.
    static std::string shown(const Ref<ZSScrollView>& view) {
        auto scrollView = view->ccpScrollView();
        for (const auto& line : scrollView->subviews())
            if (line->frame().origin.y == scrollView->contentOffset().y) return line->accessibilityLabel();
        return "(none)";
    }
    std::vector<std::pair<long, std::string>> clicks;
};

TEST_F(ZSScrollViewTest, StepsEveryThreeSecondsAndWrapsAroundThroughTheLeadingCopy) {
    auto view = ticker({"a", "b", "c"});
    EXPECT_EQ(view->titleNewArray(), (std::vector<std::string>{"c", "a", "b", "c"}));
    EXPECT_EQ(view->ccpScrollView()->contentSize().height, 120);
    EXPECT_EQ(view->ccpScrollView()->subviews().size(), 4u);
    EXPECT_EQ(view->ccpScrollView()->subviews()[0]->tag(), 100);
    EXPECT_EQ(shown(view), "a");
    render(window, "ticker");

    std::vector<std::string> seen;
    for (int step = 0; step < 5; ++step) {
        const std::string before = shown(view);
        clock.advance(2.9);
        EXPECT_EQ(shown(view), before) << "moved early";
        clock.advance(0.1);
        seen.push_back(shown(view));
    }
    // After c it jumps to the leading copy of c (which looks the same), so
    // the next step shows a.
    EXPECT_EQ(seen, (std::vector<std::string>{"b", "c", "a", "b", "c"}));
    EXPECT_EQ(view->ccpScrollView()->contentOffset().y, 0);
}

TEST_F(ZSScrollViewTest, TapsReportTheIndexInTheTextsAndTheLeadingCopyAsTheLast) {
    auto view = ticker({"a", "b", "c"});
    view->clickTitleLabel([&](long index, const std::string& text) { clicks.emplace_back(index, text); });
    ASSERT_TRUE(driver.tap("a"));
    clock.advance(3);
    clock.advance(3);  // c, shown by its leading copy after the wrap
    ASSERT_EQ(shown(view), "c");
    ASSERT_EQ(view->ccpScrollView()->contentOffset().y, 0);
    auto leading = view->ccpScrollView()->viewWithTag(100);
    ASSERT_TRUE(driver.tap(leading));
    EXPECT_EQ(clicks, (std::vector<std::pair<long, std::string>>{{0, "a"}, {2, "c"}}));
}

TEST_F(ZSScrollViewTest, OneTextStandsStillAndNoneStopsTheTimer) {
    auto single = ticker({"only"});
    EXPECT_EQ(single->timer(), nullptr);
    clock.advance(10);
    EXPECT_EQ(shown(single), "only");

    auto view = ticker({"a", "b"});
    ASSERT_TRUE(view->timer());
    view->setTitleArray(std::nullopt);
    EXPECT_EQ(view->timer(), nullptr);
    EXPECT_EQ(view->ccpScrollView()->subviews().size(), 3u);  // the lines stay
    clock.advance(10);
    EXPECT_EQ(shown(view), "a");

    view->setTitleArray(std::vector<std::string>{});  // an empty list clears the lines
    EXPECT_TRUE(view->ccpScrollView()->subviews().empty());
}

TEST_F(ZSScrollViewTest, DraggingPausesTheTimerUntilTheDragEnds) {
    auto view = ticker({"a", "b", "c"});
    EXPECT_FALSE(view->ccpScrollView()->handleDragBy({0, 30}));  // the user may not drag by default
    view->setIsCanScroll(true);

    clock.advance(2);
    ASSERT_TRUE(view->ccpScrollView()->handleDragBy({0, 30}));
    EXPECT_EQ(shown(view), "b");
    ASSERT_TRUE(view->timer());
    // The drag restarted the timer: the next step comes 3 seconds after it.
    clock.advance(1.5);
    EXPECT_EQ(shown(view), "b");
    clock.advance(1.5);
    EXPECT_EQ(shown(view), "c");
}

TEST_F(ZSScrollViewTest, AddingTheTimerWhileItRunsKeepsOneThatRemoveTimerStops) {
    auto view = ticker({"a", "b", "c"});
    view->addTimer();
    clock.advance(3);
    EXPECT_EQ(shown(view), "b");  // one step, not two
    view->removeTimer();
    clock.advance(10);
    EXPECT_EQ(shown(view), "b");
}

TEST_F(ZSScrollViewTest, ColoursAndFontsApplyToTheLinesPresent) {
    auto view = ticker({"a", "b"});
    view->setTitleColor(UIColor::redColor());
    view->setTitleFont(13);
    view->setBGColor(UIColor::yellowColor());
    for (const auto& subview : view->ccpScrollView()->subviews()) {
        auto line = std::dynamic_pointer_cast<UILabel>(subview);
        ASSERT_TRUE(line);
        EXPECT_EQ(line->textColor(), UIColor::redColor());
        EXPECT_EQ(line->font().pointSize(), 13);
    }
    EXPECT_EQ(view->backgroundColor(), UIColor::yellowColor());
    view->setTitleArray(std::vector<std::string>{"x", "y", "z"});  // new lines get neither
    auto line = std::dynamic_pointer_cast<UILabel>(view->ccpScrollView()->subviews()[1]);
    EXPECT_EQ(line->textColor(), UIColor::blackColor());
    EXPECT_EQ(line->font().pointSize(), 17);
}

TEST_F(ZSScrollViewTest, TheTimerDoesNotKeepTheWidgetAlive) {
    WeakRef<ZSScrollView> gone;
    {
        auto view = make<ZSScrollView>(CGRect{0, 0, 100, 20});
        view->setTitleArray(std::vector<std::string>{"a", "b"});
        gone = view;
    }
    EXPECT_TRUE(gone.expired());
    clock.advance(6);
}

class RollAdViewTest : public WidgetFixture {
protected:
    Ref<RollAdView> roller(std::vector<std::string> texts) {
        auto view = place(make<RollAdView>(std::move(texts)), {20, 100, 300, 30});
        window->layoutIfNeeded();
        return view;
    }
    static CGFloat y(const Ref<UILabel>& label) { return label->frame().origin.y; }
};

TEST_F(RollAdViewTest, TwoTextsAlternateSlidingUpEveryTwoSeconds) {
    auto view = roller({"a", "b"});
    EXPECT_EQ(view->oneLabel()->text(), "a");
    EXPECT_EQ(view->oneLabel()->frame(), (CGRect{0, 0, 300, 30}));
    EXPECT_EQ(view->twoLabel()->frame(), (CGRect{0, 30, 300, 30}));
    clock.advance(5);
    EXPECT_EQ(view->index(), 0u);  // idle until beginScroll

    view->beginScroll();
    clock.advance(2);
    EXPECT_EQ(view->twoLabel()->text(), "b");
    EXPECT_EQ(y(view->twoLabel()), 0);
    clock.advance(1);  // the slide is over: the old line is parked below
    EXPECT_EQ(y(view->oneLabel()), 30);
    EXPECT_EQ(y(view->twoLabel()), 0);

    clock.advance(1);
    EXPECT_EQ(view->oneLabel()->text(), "a");
    EXPECT_EQ(y(view->oneLabel()), 0);
    clock.advance(1);
    EXPECT_EQ(y(view->twoLabel()), 30);
    view->setNeedsLayout();
    window->layoutIfNeeded();  // a layout pass keeps the current line in view
    EXPECT_EQ(y(view->oneLabel()), 0);
    render(window, "roll-ad");

    view->closeScroll();
    clock.advance(10);
    EXPECT_EQ(view->index(), 0u);
}

TEST_F(RollAdViewTest, OneTextIsRewrittenInPlace) {
    auto view = roller({"only"});
    view->beginScroll();
    clock.advance(4);
    EXPECT_EQ(view->index(), 0u);
    EXPECT_EQ(view->oneLabel()->text(), "only");
    EXPECT_EQ(y(view->oneLabel()), 0);
    EXPECT_EQ(view->twoLabel()->text(), "");
}

TEST_F(RollAdViewTest, HeadImageTakesASquareAtTheLeft) {
    auto view = roller({"a", "b"});
    UIGraphicsBeginImageContextWithOptions({10, 10}, true, 1);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    view->setHeadImg(image);
    view->setIsHaveHeadImg(false);
    view->setIsHaveHeadImg(true);
    // The previous layout pass (without the image) discarded the image view:
    // the slot stays empty, the lines still start after it.
    view->setNeedsLayout();
    window->layoutIfNeeded();
    EXPECT_EQ(view->headImageView(), nullptr);
    EXPECT_EQ(view->oneLabel()->frame().origin.x, 40);

    auto fresh = make<RollAdView>(std::vector<std::string>{"a"});
    fresh->setHeadImg(image);
    fresh->setIsHaveHeadImg(true);
    place(fresh, {0, 200, 300, 30});
    window->layoutIfNeeded();
    ASSERT_TRUE(fresh->headImageView());
    EXPECT_EQ(fresh->headImageView()->superview(), fresh);
    EXPECT_EQ(fresh->headImageView()->frame(), (CGRect{0, 0, 30, 30}));
    EXPECT_EQ(fresh->headImageView()->image(), image);
    EXPECT_EQ(fresh->oneLabel()->frame(), (CGRect{40, 0, 300, 30}));
    EXPECT_EQ(fresh->twoLabel()->frame(), (CGRect{40, 30, 300, 30}));
}

TEST_F(RollAdViewTest, ChangingTheIntervalStopsTheTimerUntilTheNextBegin) {
    auto view = roller({"a", "b", "c"});
    view->beginScroll();
    clock.advance(2);
    EXPECT_EQ(view->index(), 1u);
    view->setTime(5);
    clock.advance(10);
    EXPECT_EQ(view->index(), 1u);
    view->beginScroll();
    clock.advance(4.9);
    EXPECT_EQ(view->index(), 1u);
    clock.advance(0.1);
    EXPECT_EQ(view->index(), 2u);
}

TEST_F(RollAdViewTest, TheRunningTimerDoesNotKeepTheWidgetAlive) {
    WeakRef<RollAdView> gone;
    {
        auto view = roller({"a", "b"});
        view->beginScroll();
        view->removeFromSuperview();
        gone = view;
    }
    EXPECT_TRUE(gone.expired());
    clock.advance(6);
}

TEST_F(RollAdViewTest, TapsReportTheCurrentIndexOnceWhenEnabled) {
    auto view = roller({"same", "other", "same"});
    std::vector<unsigned long> reported;
    view->setClickAdBlock([&](unsigned long index) { reported.push_back(index); });
    driver.tap(view);
    EXPECT_TRUE(reported.empty());  // touches are off by default

    view->setIsHaveTouchEvent(true);
    ASSERT_TRUE(driver.tap(view));
    view->beginScroll();
    clock.advance(2);
    ASSERT_TRUE(driver.tap(view));
    EXPECT_EQ(reported, (std::vector<unsigned long>{0, 1}));

    view->setIsHaveTouchEvent(false);
    EXPECT_FALSE(view->isUserInteractionEnabled());
}

}  // namespace
