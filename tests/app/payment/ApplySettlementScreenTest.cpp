#include "app/payment/KXApplyForSettlementViewController.h"
#include "app/payment/KXApplyjiesuanViewController.h"
#include "app/payment/KXBillingDetailsViewController.h"
#include "app/shell/WMUtil.h"
#include "foundation/NSString.h"
#include "tests/app/payment/MoneyScreenFixture.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"

namespace {

class ApplySettlementScreen : public MoneyScreenFixture {
protected:
    // Opens the screen as the menus do and waits for the settleable amount.
    Ref<KXApplyjiesuanViewController> open(const std::optional<std::string>& fromMine = std::nullopt) {
        auto screen = make<KXApplyjiesuanViewController>();
        if (fromMine) screen->setJisuanStr(*fromMine);
        show(screen);
        EXPECT_TRUE(runUntil([&] { return screen->jisuanStr() && *screen->jisuanStr() != fromMine.value_or(""); }));
        driver.settle();
        return screen;
    }
    void enter(const Ref<KXApplyjiesuanViewController>& screen, const std::string& amount) {
        screen->manaTextField()->setText("");
        if (!amount.empty()) {
            ASSERT_TRUE(driver.typeText("#manaTextField", amount));
        }
    }
    std::string settleable() { return backendAnswer("my")["data"]["shareMoney"].description(); }
};

TEST_F(ApplySettlementScreen, ShowsThePromoterAndTheSettleableAmountFromTheBackEnd) {
    const std::string available = settleable();
    // Opened from the Mine tab with an older figure: the screen's own answer wins.
    auto screen = open("50");
    EXPECT_EQ(screen->jisuanStr(), available);
    EXPECT_EQ(screen->manaTextField()->placeholder(), "可结算金额: " + available);
    EXPECT_EQ(screen->manaTextField()->text(), "");
    EXPECT_EQ(screen->zhanghaoLabel()->text(), "demo");
    EXPECT_EQ(screen->navigationItem()->title(), "申请结算");
    ASSERT_NE(screen->navigationItem()->rightBarButtonItem(), nullptr);
    EXPECT_EQ(screen->navigationItem()->rightBarButtonItem()->title(), "结算明细");
    EXPECT_EQ(screen->manaTextField()->keyboardType(), UIKeyboardType::DecimalPad);
    // The cards stack under each other; the button stands 95 below the hint.
    EXPECT_EQ(screen->kesuanjianView()->frame().origin.y, 60);
    EXPECT_EQ(screen->tishiView()->frame().origin.y, 134);
    EXPECT_EQ(driver.find("#submit")->frame().origin.y, 259);
    EXPECT_NE(driver.find("提示：结算金额输入不能低于10元"), nullptr);
    wholeShot("apply-settlement");
}

TEST_F(ApplySettlementScreen, AmountChecksRunInOrderAndSendNothing) {
    auto screen = open();
    const std::string available = *screen->jisuanStr();
    // One cent above the settleable amount.
    const std::string above = NSString::stringWithFormat("%.2f", NSString::doubleValue(available) + 0.01);
    for (const auto& [amount, message] : std::vector<std::pair<std::string, std::string>>{
             {"", "提现金额最低10元"},
             {" \u3000", "提现金额最低10元"},
             {"9.99", "提现金额最低10元"},
             {"0", "提现金额最低10元"},
             {"-50", "提现金额最低10元"},
             {"abc", "提现金额最低10元"},
             {"10.001", "金额最多两位小数"},
             {"1e3", "请输入正确的金额"},
             // The form before the settleable amount: it compares the amount it would send.
             {above + "1", "金额最多两位小数"},
             {above, "提现金额因该小于结算金额"}}) {
        enter(screen, amount);
        ASSERT_TRUE(driver.tap("提交"));
        EXPECT_EQ(hudText(), message) << amount;
        letHUDsHide();
    }
    EXPECT_TRUE(sent("jiesuan").empty());
    EXPECT_EQ(screen->manaTextField()->text(), above);
}

// The settleable amount is read to the fen whatever its decimals, sent as a
// number or as text: 全部 fills it in cut to the fen, which goes out, and
// 600.51 is refused (read as a double, 600.5099999999999999999 is 600.51).
TEST_F(ApplySettlementScreen, ASettleableAmountWithMoreDecimalsIsReadToTheFen) {
    // The back end takes the same application once: each goes out with its own amount.
    for (const auto& [shareMoney, amount] : std::vector<std::pair<std::string, std::string>>{
             {"\"600.5099999999999999999\"", "600.49"}, {"600.505", "100"}, {"\"600.505\"", ""}}) {
        script("my", R"({"code":1,"message":"","data":{"shareMoney":)" + shareMoney + "}}");
        auto screen = open();
        enter(screen, "600.51");
        ASSERT_TRUE(driver.tap("提交"));
        EXPECT_EQ(hudText(), "提现金额因该小于结算金额") << shareMoney;
        letHUDsHide();
        ASSERT_TRUE(driver.tap("全部"));
        EXPECT_EQ(screen->manaTextField()->text(), "600.50") << shareMoney;
        if (!amount.empty()) enter(screen, amount);
        const auto before = sent("jiesuan").size();
        ASSERT_TRUE(driver.tap("提交"));
        // The done page, or the refusal's message.
        ASSERT_TRUE(runUntil([&] { return cast<KXApplyForSettlementViewController>(top()) || !hudText().empty(); }));
        ASSERT_TRUE(cast<KXApplyForSettlementViewController>(top())) << shareMoney << ": " << hudText();
        finishTransition();
        const auto requests = sent("jiesuan");
        ASSERT_EQ(requests.size(), before + 1) << shareMoney;
        EXPECT_EQ(requests.back().at("money"), amount.empty() ? "600.50" : amount);
        unscript();
    }
}

// On the small screen (320 x 568) the amount field ends short of 全部.
TEST_F(ApplySettlementScreen, OnASmallScreenTheAmountFieldEndsShortOfTheWholeButton) {
    UIScreen::configureMainScreen({320, 568}, 2, false);
    auto screen = open();
    auto whole = driver.find("#quanbu");
    ASSERT_NE(whole, nullptr);
    EXPECT_LE(CGRectGetMaxX(screen->manaTextField()->frame()), CGRectGetMinX(whole->frame()));
    EXPECT_EQ(CGRectGetMaxX(whole->frame()), 300);
}

TEST_F(ApplySettlementScreen, TheWholeAmountIsAppliedForAndTheDonePageLeadsBack) {
    auto screen = open();
    const std::string available = *screen->jisuanStr();
    ASSERT_TRUE(driver.tap("全部"));
    EXPECT_EQ(screen->manaTextField()->text(), available);
    ASSERT_TRUE(driver.tap("提交"));
    ASSERT_TRUE(runUntil([&] { return cast<KXApplyForSettlementViewController>(top()) != nullptr; }));
    finishTransition();
    const auto requests = sent("jiesuan");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].at("money"), available);
    // The amount is signed between uid and t.
    EXPECT_EQ(requests[0].at("sign"),
              WMUtil::md5HexDigest("1" + available + requests[0].at("t") + "qmvtrapezk42f17bnc"));
    wholeShot("apply-settlement-done");

    // The done page's own back item returns to the form, which asks again.
    goBack();
    ASSERT_EQ(top(), screen);
    EXPECT_TRUE(runUntil([&] { return screen->jisuanStr() == "0.00"; }));
    EXPECT_EQ(screen->manaTextField()->placeholder(), "可结算金额: 0.00");
    EXPECT_EQ(screen->manaTextField()->text(), available) << "the typed amount stays";
    EXPECT_EQ(sent("my").size(), 2u);

    // The application is listed; the done button leaves the flow for its opener.
    const Value list = backendAnswer("jiesuan_list");
    EXPECT_EQ(list["data"]["data"][0]["money"].description(), available);
    ASSERT_TRUE(driver.tap("提交"));
    EXPECT_EQ(hudText(), "提现金额因该小于结算金额");
}

TEST_F(ApplySettlementScreen, TheBackEndsRefusalIsShownAndTheFormStays) {
    auto screen = open();
    script("jiesuan", R"({"code": 0, "message": "可结算金额不足"})");
    enter(screen, "10");
    ASSERT_TRUE(driver.tap("提交"));
    EXPECT_TRUE(waitForHUD("可结算金额不足"));
    EXPECT_EQ(top(), screen);
    EXPECT_EQ(screen->manaTextField()->text(), "10");
}

TEST_F(ApplySettlementScreen, TheDoneButtonReturnsToTheOpenerAndTheDetailsHideTheBar) {
    auto screen = open();
    ASSERT_TRUE(driver.tap("结算明细"));
    finishTransition();
    ASSERT_NE(cast<KXBillingDetailsViewController>(top()), nullptr);
    EXPECT_TRUE(stack->isNavigationBarHidden());
    ASSERT_TRUE(driver.tap("#fanhuiBut"));
    finishTransition();
    EXPECT_EQ(top(), screen);
    EXPECT_FALSE(stack->isNavigationBarHidden());

    enter(screen, "10");
    ASSERT_TRUE(driver.tap("提交"));
    ASSERT_TRUE(runUntil([&] { return cast<KXApplyForSettlementViewController>(top()) != nullptr; }));
    finishTransition();
    ASSERT_TRUE(driver.tap("完成"));
    finishTransition();
    EXPECT_EQ(stack->viewControllers().size(), 1u) << "back at the tab's root, the form gone";
}

}  // namespace
