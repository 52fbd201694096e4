#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/AppFixture.h"
#include "uikit/UIDriver.h"
#include "uikit/UILabel.h"
#include "uikit/UIScrollView.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

// The driver's check of text that a reader cannot see whole.
class UIDriverTextFit : public AppFixture {
protected:
    void SetUp() override {
        window = make<UIWindow>();
        window->setRootViewController(make<UIViewController>());
        window->makeKeyAndVisible();
        card = make<UIView>(CGRectMake(20, 100, 200, 60));
        window->rootViewController()->view()->addSubview(card);
    }
    Ref<UILabel> addLabel(CGRect frame, const std::string& text, const Ref<UIView>& parent = nullptr) {
        auto label = make<UILabel>(frame);
        label->setFont(UIFont::systemFontOfSize(14));
        label->setText(text);
        (parent ? parent : card)->addSubview(label);
        return label;
    }
    std::string faults() const {
        std::string all;
        for (const auto& fault : driver.textFitFaults()) all += fault + "\n";
        return all;
    }

    Ref<UIWindow> window;
    Ref<UIView> card;
    UIDriver driver;
};

TEST_F(UIDriverTextFit, LabelsThatShowTheirWholeTextOrAnEllipsisPass) {
    addLabel(CGRectMake(0, 0, 200, 20), "可用余额");
    // Tail truncation puts its ellipsis: the reader knows there is more.
    addLabel(CGRectMake(0, 20, 40, 20), "一个很长很长的名字");
    auto wrapped = addLabel(CGRectMake(0, 20, 60, 40), "充值金额");
    wrapped->setNumberOfLines(0);
    auto hidden = addLabel(CGRectMake(0, 0, 10, 10), "看不见的文字");
    hidden->setLineBreakMode(NSLineBreakMode::ByClipping);
    hidden->setHidden(true);
    EXPECT_EQ(faults(), "");
}

TEST_F(UIDriverTextFit, NamesALabelCutWithoutAnEllipsis) {
    auto clipped = addLabel(CGRectMake(0, 0, 40, 20), "13800001111");
    clipped->setLineBreakMode(NSLineBreakMode::ByClipping);
    clipped->setAccessibilityIdentifier("phoneLabel");
    // Wrapping text that needs more lines than its height holds.
    auto wrapped = addLabel(CGRectMake(0, 20, 30, 20), "充值金额");
    wrapped->setNumberOfLines(0);
    wrapped->setLineBreakMode(NSLineBreakMode::ByWordWrapping);
    const auto found = driver.textFitFaults();
    ASSERT_EQ(found.size(), 2u) << faults();
    EXPECT_NE(found[0].find("\"13800001111\" (UILabel #phoneLabel at (20,100 40x20)"), std::string::npos) << found[0];
    EXPECT_NE(found[0].find("cut off without an ellipsis (clipping"), std::string::npos) << found[0];
    EXPECT_NE(found[1].find("\"充值金额\""), std::string::npos) << found[1];
    EXPECT_NE(found[1].find("word wrapping"), std::string::npos) << found[1];
}

TEST_F(UIDriverTextFit, NamesTextThatSpillsOutOfItsSuperview) {
    // The label hangs 20 pt below the card; its line is drawn there.
    addLabel(CGRectMake(10, 50, 100, 30), "8694.00");
    // A line taller than its label spills over the label's edges too,
    // here past the card's top.
    auto tall = addLabel(CGRectMake(120, 0, 80, 4), "1200");
    tall->setFont(UIFont::boldSystemFontOfSize(26));
    const auto found = driver.textFitFaults();
    ASSERT_EQ(found.size(), 2u) << faults();
    EXPECT_NE(found[0].find("\"8694.00\""), std::string::npos) << found[0];
    EXPECT_NE(found[0].find("pt below its superview UIView (0,0 200x60)"), std::string::npos) << found[0];
    EXPECT_NE(found[1].find("\"1200\""), std::string::npos) << found[1];
    EXPECT_NE(found[1].find("above"), std::string::npos) << found[1];
}

TEST_F(UIDriverTextFit, TextInAScrollViewMayReachAsFarAsItsContent) {
    auto scroll = make<UIScrollView>(CGRectMake(0, 0, 200, 60));
    scroll->setContentSize({200, 400});
    card->addSubview(scroll);
    addLabel(CGRectMake(0, 300, 200, 20), "列表下方的文字", scroll);
    EXPECT_EQ(faults(), "");
    addLabel(CGRectMake(0, 390, 200, 20), "内容之外的文字", scroll);
    EXPECT_EQ(driver.textFitFaults().size(), 1u) << faults();
}

TEST_F(UIDriverTextFit, AdjustingTheFontSizeFitsOneLineInsteadOfCuttingIt) {
    auto phone = addLabel(CGRectMake(0, 0, 60, 20), "13800001111");
    phone->setLineBreakMode(NSLineBreakMode::ByClipping);
    ASSERT_EQ(driver.textFitFaults().size(), 1u);
    phone->setAdjustsFontSizeToFitWidth(true);
    phone->setMinimumScaleFactor(0.5);
    EXPECT_EQ(faults(), "");
    EXPECT_LE(phone->drawnText().rect.size.width, 60);
    // Not below the smallest scale: then it is cut again.
    phone->setMinimumScaleFactor(0.95);
    EXPECT_EQ(driver.textFitFaults().size(), 1u) << faults();
}

TEST_F(UIDriverTextFit, NamesANumberBrokenAcrossLinesUntilTheTextShrinksToBreakAtItsSpace) {
    // A date too wide for a narrow grid column: the line breaks inside it.
    auto date = addLabel(CGRectMake(0, 0, 56, 58), "2026-12-07 11:47");
    date->setFont(UIFont::systemFontOfSize(12));
    date->setNumberOfLines(2);
    const auto found = driver.textFitFaults();
    ASSERT_EQ(found.size(), 1u) << faults();
    EXPECT_NE(found[0].find("a number broken across lines (\"2026-12-0"), std::string::npos) << found[0];
    // Asked to adjust, the text shrinks until the date keeps whole.
    date->setAdjustsFontSizeToFitWidth(true);
    date->setMinimumScaleFactor(0.75);
    EXPECT_EQ(faults(), "");
    EXPECT_EQ(date->drawnText().lines, (std::vector<std::string>{"2026-12-07 ", "11:47"}));
    // Neither a line break in the text itself nor a break between a word
    // and a number is a fault.
    addLabel(CGRectMake(60, 0, 80, 40), "2026-11-12\n02:37:57")->setNumberOfLines(2);
    auto amount = addLabel(CGRectMake(140, 0, 60, 60), "充值金额100元");
    amount->setNumberOfLines(0);
    EXPECT_EQ(faults(), "");
    EXPECT_EQ(amount->drawnText().lines, (std::vector<std::string>{"充值金额", "100元"}));
}
