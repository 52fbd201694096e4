#include <cmath>

#include "app/payment/KXChangchyongViewController.h"
#include "app/payment/KXDiscountDaiChunViewController.h"
#include "tests/app/payment/MoneyScreenFixture.h"
#include "uikit/UIWindow.h"

namespace {

// The amount row of the two money forms: the field's placeholder, and what
// is typed in its place, sit on the line of the caption "充值金额" (a field
// and a label both centre their line in their height).
class AmountRowTest : public MoneyScreenFixture {
protected:
    CGFloat middleInWindow(const Ref<UIView>& view) {
        return CGRectGetMidY(view->convertRectToView(view->bounds(), driver.keyWindow()));
    }
    void expectOnTheCaptionsLine(const std::string& field) {
        auto input = driver.find("#" + field);
        auto caption = driver.find("充值金额");
        ASSERT_TRUE(input && caption) << driver.describeScreen();
        EXPECT_LE(std::abs(middleInWindow(input) - middleInWindow(caption)), 0.5) << driver.describeScreen();
    }
};

TEST_F(AmountRowTest, TheAmountSitsOnItsCaptionsLineInBothForms) {
    show(make<KXDiscountDaiChunViewController>());
    expectOnTheCaptionsLine("shurujingETextField");
    goBack();
    auto recharge = make<KXChangchyongViewController>();
    recharge->setCunchuStr("50.00");
    show(recharge);
    expectOnTheCaptionsLine("shurutextField");
}

}  // namespace
