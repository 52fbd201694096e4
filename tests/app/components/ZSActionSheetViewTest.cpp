#include <gtest/gtest.h>

#include "app/components/ZSActionSheetCell.h"
#include "app/components/ZSActionSheetView.h"
#include "tests/app/components/WidgetFixture.h"

namespace {

class ZSActionSheetViewTest : public WidgetFixture {
protected:
    static std::vector<std::string> texts(int count) {
        std::vector<std::string> list;
        for (int i = 1; i < count; ++i) list.push_back("选项" + std::to_string(i));
        list.push_back("取消");
        return list;
    }
    Ref<ZSActionSheetCell> cellAt(const Ref<ZSActionSheetView>& sheet, long row) {
        return std::dynamic_pointer_cast<ZSActionSheetCell>(
            sheet->actionSheetTableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0)));
    }
    bool onScreen(const Ref<UIView>& view) const { return view->superview() == window; }

    std::vector<std::pair<std::string, long>> chosen;
    int closes = 0;
};

TEST_F(ZSActionSheetViewTest, ThreeTextsRiseFromTheBottomWithTheCancelRowSetApart) {
    auto sheet = make<ZSActionSheetView>(texts(3));
    ASSERT_TRUE(onScreen(sheet));
    EXPECT_EQ(sheet->frame(), (CGRect{0, 0, 375, 667}));
    EXPECT_EQ(sheet->backgroundColor(), UIColor::colorWithWhite(0, 0.1));
    auto table = sheet->actionSheetTableView();
    EXPECT_DOUBLE_EQ(sheet->recodeTableViewHeight(), 142);
    EXPECT_FALSE(table->isScrollEnabled());
    EXPECT_EQ(table->frame(), (CGRect{0, 667 - 142, 375, 142}));

    driver.settle();
    EXPECT_EQ(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)), (CGRect{0, 0, 375, 44}));
    EXPECT_EQ(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(2, 0)), (CGRect{0, 88, 375, 54}));
    for (long row = 0; row < 3; ++row) {
        auto cell = cellAt(sheet, row);
        ASSERT_TRUE(cell) << row;
        EXPECT_EQ(cell->infoLabel()->text(), texts(3)[static_cast<std::size_t>(row)]);
        EXPECT_EQ(cell->topView()->isHidden(), row != 2);
        EXPECT_EQ(cell->toTopCconstraint()->constant(), row == 2 ? 0 : -10);
    }
    // The cancel row's text sits below its band; the others fill their row.
    EXPECT_EQ(cellAt(sheet, 2)->infoLabel()->frame().origin.y, 10);
    EXPECT_EQ(cellAt(sheet, 0)->infoLabel()->frame().origin.y, 0);
    render(window, "action-sheet");
}

TEST_F(ZSActionSheetViewTest, ALongListIsCappedAtTwoThirdsOfTheScreenAndScrolls) {
    auto sheet = make<ZSActionSheetView>(texts(20));
    EXPECT_NEAR(sheet->recodeTableViewHeight(), 444.6667, 1e-3);
    auto table = sheet->actionSheetTableView();
    EXPECT_TRUE(table->isScrollEnabled());
    driver.settle();
    EXPECT_EQ(table->contentSize().height, 19 * 44 + 54);

    // Scrolled to the end, a reused cell serves the cancel row with its band.
    table->scrollToRowAtIndexPath(NSIndexPath::indexPathForRow(19, 0), UITableViewScrollPosition::Bottom, false);
    table->layoutIfNeeded();
    auto last = cellAt(sheet, 19);
    ASSERT_TRUE(last);
    EXPECT_FALSE(last->topView()->isHidden());
    EXPECT_EQ(last->toTopCconstraint()->constant(), 0);
    EXPECT_EQ(last->infoLabel()->text(), "取消");
}

TEST_F(ZSActionSheetViewTest, ChoosingARowReportsItThenTheSheetSlidesAway) {
    auto sheet = make<ZSActionSheetView>(texts(3));
    sheet->cellDidSelectBlock([&](const std::string& text, long index) { chosen.emplace_back(text, index); });
    sheet->setCloseAlertviewBlock([&] { ++closes; });
    driver.settle();
    ASSERT_TRUE(driver.tap("选项2"));
    EXPECT_EQ(chosen, (std::vector<std::pair<std::string, long>>{{"选项2", 1}}));
    EXPECT_EQ(closes, 0);  // a row choice is not a close
    EXPECT_EQ(sheet->actionSheetTableView()->frame().origin.y, 667);

    driver.tapAt({100, 100});  // closing: no second report, no close
    EXPECT_EQ(chosen.size(), 1u);
    EXPECT_EQ(closes, 0);
    clock.advance(0.29);
    EXPECT_TRUE(onScreen(sheet));
    clock.advance(0.01);
    EXPECT_FALSE(onScreen(sheet));
}

TEST_F(ZSActionSheetViewTest, OnlyTapsOnTheDimmedAreaClose) {
    auto sheet = make<ZSActionSheetView>(std::vector<std::string>{});
    sheet->setCloseAlertviewBlock([&] { ++closes; });
    EXPECT_DOUBLE_EQ(sheet->recodeTableViewHeight(), 10);
    driver.settle();
    driver.tapAt({100, 662});  // on the (row-less) table
    clock.advance(1);
    EXPECT_TRUE(onScreen(sheet));
    EXPECT_EQ(closes, 0);

    ASSERT_TRUE(driver.tapAt({100, 300}));
    EXPECT_EQ(closes, 1);
    clock.advance(0.3);
    EXPECT_FALSE(onScreen(sheet));
}

class ZSAlertFormTest : public ZSActionSheetViewTest {
protected:
    Ref<UIView> card = [] {
        auto view = make<UIView>(CGRect{0, 0, 200, 100});
        view->setBackgroundColor(UIColor::whiteColor());
        return view;
    }();
};

TEST_F(ZSAlertFormTest, TheAlertComesToTheCentreAndLeavesOnItsStylesSide) {
    auto overlay = make<ZSActionSheetView>(card);
    EXPECT_EQ(overlay->viewStyle(), "alertView");
    EXPECT_EQ(overlay->viewAnimateStyle(), 5);
    EXPECT_EQ(overlay->alertViewW(), 200);
    EXPECT_EQ(overlay->alertViewH(), 100);
    EXPECT_EQ(card->superview(), overlay);
    EXPECT_EQ(card->center(), (CGPoint{187.5, 333.5}));

    overlay->setViewAnimateStyle(1);
    EXPECT_EQ(card->center(), (CGPoint{187.5, 333.5}));
    render(window, "alert-form");
    overlay->closeAlertView([&] { ++closes; });
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(card->frame(), (CGRect{375, 283.5, 200, 100}));  // out through the right edge
    clock.advance(0.5);
    EXPECT_FALSE(onScreen(overlay));
}

TEST_F(ZSAlertFormTest, OtherStylesLeaveUpDownLeftOrShrinking) {
    const std::vector<std::pair<int, CGRect>> exits{
        {0, {87.5, 667, 200, 100}}, {2, {-200, 283.5, 200, 100}}, {3, {87.5, -100, 200, 100}}};
    for (const auto& [style, exit] : exits) {
        auto overlay = make<ZSActionSheetView>(card);
        overlay->setViewAnimateStyle(style);
        EXPECT_EQ(card->center(), (CGPoint{187.5, 333.5})) << style;
        overlay->tap();
        EXPECT_EQ(card->frame(), exit) << style;
        clock.advance(0.5);
        EXPECT_FALSE(onScreen(overlay));
    }

    auto overlay = make<ZSActionSheetView>(card);
    overlay->setViewAnimateStyle(4);
    EXPECT_EQ(card->transform(), CGAffineTransformMakeScale(1, 1));
    overlay->tap();
    EXPECT_EQ(card->transform(), CGAffineTransformMakeScale(0.01, 0.01));
    EXPECT_EQ(card->center(), (CGPoint{187.5, 333.5}));
}

TEST_F(ZSAlertFormTest, BackgroundTapsCloseUnlessSwitchedOffAndNeverInsideTheAlert) {
    auto overlay = make<ZSActionSheetView>(card);
    overlay->setCloseAlertviewBlock([&] { ++closes; });
    driver.settle();
    driver.tapAt({187.5, 333.5});  // on the alert view
    clock.advance(1);
    EXPECT_TRUE(onScreen(overlay));

    overlay->setIsBGClose(true);
    driver.tapAt({20, 20});
    clock.advance(1);
    EXPECT_TRUE(onScreen(overlay));
    EXPECT_EQ(closes, 0);
    overlay->setIsBGClose(false);  // does not bring the tap back
    driver.tapAt({20, 20});
    clock.advance(1);
    EXPECT_TRUE(onScreen(overlay));

    overlay->closeAlertView([&] { closes += 10; });
    EXPECT_EQ(closes, 10);
    clock.advance(0.5);
    EXPECT_FALSE(onScreen(overlay));
}

TEST_F(ZSAlertFormTest, ABackgroundTapClosesTheAlertForm) {
    auto overlay = make<ZSActionSheetView>(card);
    overlay->setCloseAlertviewBlock([&] { ++closes; });
    driver.settle();
    ASSERT_TRUE(driver.tapAt({20, 20}));
    EXPECT_EQ(closes, 1);
    // A second tap while the alert leaves is no second close: a block that
    // takes its screen away would take two.
    clock.advance(0.2);
    driver.tapAt({20, 20});
    EXPECT_EQ(closes, 1);
    clock.advance(0.3);
    EXPECT_FALSE(onScreen(overlay));
}

// A block that gives the overlay another block (or closes it with one)
// finishes with what it captured; a close block's closeAlertView runs its
// block once the overlay has left.
TEST_F(ZSAlertFormTest, ABlockMayGiveTheOverlayAnotherBlockWhileItRuns) {
    std::vector<std::string> ran;
    const std::string name(40, 'x');  // on the heap, as a block's captures are
    auto overlay = make<ZSActionSheetView>(card);
    overlay->setCloseAlertviewBlock([&, name] {
        overlay->setCloseAlertviewBlock(nullptr);
        overlay->closeAlertView([&] { ran.push_back("after"); });
        ran.push_back(name);
    });
    overlay->tap();
    EXPECT_EQ(ran, (std::vector<std::string>{name}));
    clock.advance(0.5);
    EXPECT_EQ(ran, (std::vector<std::string>{name, "after"}));

    auto sheet = make<ZSActionSheetView>(texts(3));
    sheet->setCellDidSelectBlock([&, name](const std::string& text, long) {
        sheet->setCellDidSelectBlock(nullptr);
        chosen.emplace_back(text + name, 0);
    });
    driver.settle();
    ASSERT_TRUE(driver.tap("选项1"));
    EXPECT_EQ(chosen, (std::vector<std::pair<std::string, long>>{{"选项1" + name, 0}}));
}

// The documented close, called through the owner's member, with a close
// block that takes the overlay off the window and forgets it: the overlay
// lives until the close returns (checked by the sanitizers), then leaves.
TEST_F(ZSAlertFormTest, ACloseBlockMayLetTheOverlayGo) {
    for (const auto& open : {std::function<Ref<ZSActionSheetView>()>([this] { return make<ZSActionSheetView>(card); }),
                             std::function<Ref<ZSActionSheetView>()>([] { return make<ZSActionSheetView>(texts(3)); })}) {
        Ref<ZSActionSheetView> sheet = open();
        sheet->closeAlertView([&] {
            sheet->removeFromSuperview();
            sheet.reset();
        });
        EXPECT_FALSE(sheet);
        clock.advance(0.5);
    }
}

// The overlay takes every tap until it has left: during the exit a tap on
// the still dimmed screen reaches nothing beneath it and closes nothing
// again; once it has left, the control beneath answers. Each block given to
// closeAlertView meanwhile runs once, when it has left; one given after, at
// once.
TEST_F(ZSAlertFormTest, AClosingOverlaySwallowsTapsUntilItHasLeft) {
    int beneathTaps = 0;
    auto beneath = place(make<UIButton>(), CGRect{20, 20, 100, 40});
    beneath->addTarget(nullptr, [&](const Ref<UIControl>&) { ++beneathTaps; }, UIControlEventTouchUpInside);
    auto sheet = [] { return Ref<UIView>(make<ZSActionSheetView>(texts(3))); };
    auto alert = [this] { return Ref<UIView>(make<ZSActionSheetView>(card)); };
    for (const auto& [open, exitSeconds] : {std::pair{std::function<Ref<UIView>()>(sheet), 0.3},
                                            std::pair{std::function<Ref<UIView>()>(alert), 0.5}}) {
        closes = beneathTaps = 0;
        auto overlay = cast<ZSActionSheetView>(open());
        overlay->setCloseAlertviewBlock([&] { ++closes; });
        driver.settle();
        ASSERT_TRUE(driver.tapAt({70, 40}));
        EXPECT_EQ(closes, 1) << overlay->viewStyle();
        for (int add : {10, 20}) overlay->closeAlertView([&, add] { closes += add; });
        // At once, halfway and just before the end of the exit.
        for (double wait : {0.0, exitSeconds / 2, exitSeconds / 2 - 0.01}) {
            clock.advance(wait);
            ASSERT_TRUE(onScreen(overlay)) << overlay->viewStyle();
            driver.tapAt({70, 40});
            driver.tapAt({187.5, 333.5});  // the alert view, or the dimmed middle above the sheet
        }
        EXPECT_EQ(beneathTaps, 0) << overlay->viewStyle();
        EXPECT_EQ(closes, 1) << overlay->viewStyle();
        clock.advance(0.01);
        EXPECT_FALSE(onScreen(overlay)) << overlay->viewStyle();
        EXPECT_EQ(closes, 31) << overlay->viewStyle();
        overlay->closeAlertView([&] { closes += 100; });
        EXPECT_EQ(closes, 131) << overlay->viewStyle();
        ASSERT_TRUE(driver.tapAt({70, 40}));
        EXPECT_EQ(beneathTaps, 1) << overlay->viewStyle();
    }
}

}  // namespace
