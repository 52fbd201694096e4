#include "app/payment/KXDiscountDaiChunViewController.h"
#include "app/payment/KXGameIcoPopView.h"
#include "tests/app/payment/MoneyScreenFixture.h"
#include "tests/support/TextFitCheck.h"
#include "uikit/UIScreen.h"

namespace {

// The money forms on the smallest screen (320 x 568), where their figures
// have the least room.
class MoneyFiguresOnTheSmallScreen : public MoneyScreenFixture {
protected:
    void SetUp() override {
        UIScreen::configureMainScreen({320, 568}, 2, false);
        MoneyScreenFixture::SetUp();
    }
};

// The largest amount a top-up takes at no discount is the widest amount due;
// the balance is that of a thousand recharges at their limit. Both are
// drawn whole, as the lines in view show them.
TEST_F(MoneyFiguresOnTheSmallScreen, TheDiscountTopUpDrawsTheLargestAmountDueAndABigBalanceWhole) {
    script("yufu", R"({"code": 1, "message": "", "data": "99999999.99"})");
    script("fuli_game",
           R"({"code": 1, "message": "", "data": [{"fcbl": "0%", "icon": "", "id": "1", "name": "龙城霸业", "zhekou": 0}]})");
    auto screen = show(make<KXDiscountDaiChunViewController>());
    ASSERT_TRUE(runUntil([&] { return screen->yufukuanBtn()->titleForState(UIControlStateNormal) != "预付款"; }));
    ASSERT_TRUE(driver.typeText("#shiwanzhanghaoTxetField", "wanjia001"));
    ASSERT_TRUE(driver.tap("#xuanZeBut"));
    const auto pickers = driver.findAllOfClass("KXGameIcoPopView");
    ASSERT_EQ(pickers.size(), 1u);
    auto picker = cast<KXGameIcoPopView>(pickers.front());
    ASSERT_TRUE(runUntil([&] { return !picker->dataMuArr().empty(); }));
    ASSERT_TRUE(driver.selectItem(picker->maincollectionView(), NSIndexPath::indexPathForItem(0, 0)));
    ASSERT_TRUE(driver.typeText("#shurujingETextField", "100000"));
    driver.settle();

    EXPECT_EQ(driver.shownText(screen->zhifiLabel()), "支付金额￥100000.00");
    EXPECT_EQ(driver.shownText(screen->yufukuanBtn()->titleLabel()), "预付款(99999999.99)");
    wholeShot("discount-top-up-largest-se");
}

}  // namespace
