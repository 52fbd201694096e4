#include "app/payment/KXApplyForSettlementViewController.h"
#include "app/payment/KXChongzhishibaiViewController.h"
#include "app/payment/KXDiscountDaiChunViewController.h"
#include "app/payment/KXGenerationOfFillingViewController.h"
#include "app/payment/KXGameIcoPopView.h"
#include "app/payment/KXWebViewGameViewController.h"
#include "tests/app/payment/PaymentScreenFixture.h"
#include "tests/app/payment/PaymentTestSupport.h"
#include "tests/support/SimulatedPaymentApp.h"
#include "graphics/UIImage.h"
#include "uikit/UIImageView.h"
#include "uikit/UINavigationItem.h"
#include "tests/support/TextFitCheck.h"

namespace {

class DiscountTopUpTest : public PaymentScreenFixture {
protected:
    Ref<KXDiscountDaiChunViewController> open() {
        auto screen = make<KXDiscountDaiChunViewController>();
        push(screen);
        EXPECT_TRUE(runUntil([&] { return screen->yufukuanBtn()->titleForState(UIControlStateNormal) != "预付款"; }));
        return screen;
    }
    Ref<KXGameIcoPopView> picker() const {
        auto found = driver.findAllOfClass("KXGameIcoPopView");
        return found.empty() ? nullptr : cast<KXGameIcoPopView>(found.front());
    }
    // Opens the picker and picks the game at `index` of the demo list.
    void pickGame(long index) {
        ASSERT_TRUE(driver.tap("#xuanZeBut"));
        auto popup = picker();
        ASSERT_NE(popup, nullptr);
        ASSERT_TRUE(runUntil([&] { return !popup->dataMuArr().empty(); }));
        ASSERT_TRUE(driver.selectItem(popup->maincollectionView(), NSIndexPath::indexPathForItem(index, 0)));
        EXPECT_EQ(picker(), nullptr);
    }
    // A tap on the screen where no control is.
    void tapBlank() { ASSERT_TRUE(driver.tapAt(CGPointMake(187, 600))); }
    void fillForm(const std::string& amount) {
        ASSERT_TRUE(driver.typeText("#shiwanzhanghaoTxetField", "wanjia001"));
        pickGame(0);
        ASSERT_TRUE(driver.typeText("#shurujingETextField", amount));
        tapBlank();
    }
    template <class Page> std::size_t pagesOver(const Ref<UIViewController>& screen) const {
        std::size_t count = 0;
        for (const auto& child : screen->childViewControllers())
            if (cast<Page>(child) && child->view()->superview() == screen->view()) ++count;
        return count;
    }
    // Submits an online order and waits for the payment page.
    Ref<KXWebViewGameViewController> payOnline(const Ref<KXDiscountDaiChunViewController>& screen) {
        EXPECT_TRUE(driver.tap("立即充值"));
        EXPECT_TRUE(runUntil([&] { return cast<KXWebViewGameViewController>(stack->topViewController()) != nullptr; }));
        finishTransition();
        auto page = cast<KXWebViewGameViewController>(stack->topViewController());
        if (!page) return nullptr;
        auto webView = page->webView1()->webView();
        EXPECT_TRUE(runUntil([&] { return !webView->isLoading() && webView->title() == "订单支付"; }));
        EXPECT_TRUE(screen->oidStr().has_value());
        return page;
    }
};

TEST_F(DiscountTopUpTest, APaidOnlineTopUpEndsOnTheDonePage) {
    SimulatedPaymentApp paymentApp(PaymentNotice::Provider{backend->paymentProviderSecret(), backend->baseURL()});
    auto screen = open();
    EXPECT_EQ(stack->navigationBar()->topItem()->title(), "折扣代充");
    EXPECT_EQ(screen->yufukuanBtn()->titleForState(UIControlStateNormal), "预付款(1200.00)");
    EXPECT_EQ(screen->jiLuStr(), "1");

    fillForm("100");
    EXPECT_EQ(screen->youmingchengLabl()->text(), "龙城霸业");
    EXPECT_EQ(screen->zhekeouLabel()->text(), "折扣：30%");
    EXPECT_EQ(screen->zhifiLabel()->text(), "支付金额￥70.00");
    EXPECT_TRUE(runUntil([&] { return screen->icoiamgeView()->image() != nullptr; }));
    driver.settle();
    EXPECT_TRUE(checkedWholeShot(driver, paymentShotPath("payment_discount_top_up.png"))) << driver.lastError();

    auto page = payOnline(screen);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->gname(), "充值");
    EXPECT_TRUE(page->hidesBottomBarWhenPushed());
    EXPECT_EQ(page->urlString().rfind(backend->baseURL() + "pay/" + *screen->oidStr() + "?key=", 0), 0u);
    EXPECT_TRUE(checkedShot(driver, paymentShotPath("payment_cashier.png"))) << driver.lastError();

    // The page hands the link to the payment app, which pays the order.
    ASSERT_TRUE(page->webView1()->webView()->followLink("涟信支付"));
    ASSERT_TRUE(runUntil([&] { return !paymentApp.notifyAnswers().empty(); }));
    EXPECT_EQ(paymentApp.openedLinks()[0].rfind("ripple://wap/pay?oid=" + *screen->oidStr(), 0), 0u);
    // Back from the payment app, the page shows the order paid, without its links.
    auto webView = page->webView1()->webView();
    ASSERT_TRUE(runUntil([&] {
        return !webView->isLoading() && webView->pageContent().text.find("订单已支付") != std::string::npos;
    })) << driver.describeScreen();
    EXPECT_TRUE(webView->pageContent().links.empty());

    // Back on the form, the order's state lays the done page over it.
    back();
    ASSERT_TRUE(runUntil([&] { return pagesOver<KXApplyForSettlementViewController>(screen) == 1; }));
    EXPECT_EQ(pagesOver<KXChongzhishibaiViewController>(screen), 0u);
    EXPECT_EQ(stack->navigationBar()->topItem()->title(), "折扣代充");
    EXPECT_TRUE(checkedWholeShot(driver, paymentShotPath("payment_top_up_done.png"))) << driver.lastError();

    // Its button leaves the flow for the screen that opened it.
    ASSERT_TRUE(driver.tap("完成"));
    finishTransition();
    EXPECT_EQ(stack->topViewController(), opener);
}

TEST_F(DiscountTopUpTest, AnUnpaidOrderLaysTheFailurePageAtEveryReturn) {
    SimulatedPaymentApp paymentApp(PaymentNotice::Provider{backend->paymentProviderSecret(), backend->baseURL()}, false);
    auto screen = open();
    fillForm("30");
    auto page = payOnline(screen);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(page->webView1()->webView()->followLink("支付宝支付"));
    ASSERT_TRUE(runUntil([&] { return !paymentApp.openedLinks().empty(); }));
    EXPECT_EQ(paymentApp.openedLinks()[0].rfind("alipay://alipayclient/", 0), 0u);

    back();
    ASSERT_TRUE(runUntil([&] { return pagesOver<KXChongzhishibaiViewController>(screen) == 1; }));
    EXPECT_EQ(hudText(), "");
    // The back end said the order is not paid: the page says so.
    EXPECT_NE(driver.find(KXChongzhishibaiViewController::refusalExplanation("代充记录", "订单未支付")), nullptr);
    EXPECT_EQ(driver.find(KXChongzhishibaiViewController::explanation("代充记录")), nullptr);
    EXPECT_TRUE(checkedWholeShot(driver, paymentShotPath("payment_top_up_failed.png"))) << driver.lastError();

    // The order is kept: the way back from the top-up records asks for its
    // state again and lays one more page over the first.
    ASSERT_TRUE(screen->oidStr().has_value());
    ASSERT_TRUE(driver.tap("代充记录"));
    finishTransition();
    EXPECT_TRUE(cast<KXGenerationOfFillingViewController>(stack->topViewController()));
    back();
    ASSERT_TRUE(runUntil([&] { return pagesOver<KXChongzhishibaiViewController>(screen) == 2; }));
}

TEST_F(DiscountTopUpTest, InputChecksStopInOrderWithTheirMessages) {
    auto screen = open();
    // Each message is read, then left to time out (a HUD takes taps while shown).
    auto message = [&] {
        const std::string text = hudText();
        letHUDsHide();
        return text;
    };
    ASSERT_TRUE(driver.tap("#xuanZeBut"));
    EXPECT_EQ(message(), "请输入游戏账号");
    EXPECT_EQ(picker(), nullptr);

    ASSERT_TRUE(driver.tap("立即充值"));
    EXPECT_EQ(message(), "请输入游戏账号");
    ASSERT_TRUE(driver.typeText("#shiwanzhanghaoTxetField", "\u3000\u200B"));
    ASSERT_TRUE(driver.tap("#xuanZeBut"));
    EXPECT_EQ(message(), "请输入游戏账号") << "a blank account is none";
    screen->shiwanzhanghaoTxetField()->setText("");
    ASSERT_TRUE(driver.typeText("#shiwanzhanghaoTxetField", "wanjia001"));
    ASSERT_TRUE(driver.tap("立即充值"));
    EXPECT_EQ(message(), "请选择游戏");
    // The amount cannot be edited before a game is chosen.
    EXPECT_FALSE(driver.typeText("#shurujingETextField", "5"));
    EXPECT_EQ(message(), "请先选择游戏");

    pickGame(2);
    EXPECT_EQ(screen->zhekeouLabel()->text(), "折扣：29%");
    EXPECT_EQ(screen->zhifiLabel()->text(), "支付金额 ￥0");
    ASSERT_TRUE(driver.tap("立即充值"));
    EXPECT_EQ(message(), "请输入金额");
    ASSERT_TRUE(driver.typeText("#shurujingETextField", " \u3000"));
    ASSERT_TRUE(driver.tap("立即充值"));
    EXPECT_EQ(message(), "请输入金额") << "a blank amount is none";
    screen->shurujingETextField()->setText("");
    ASSERT_TRUE(driver.typeText("#shurujingETextField", "abc"));
    tapBlank();
    EXPECT_EQ(screen->zhifiLabel()->text(), "支付金额 ￥0");
    ASSERT_TRUE(driver.tap("立即充值"));
    EXPECT_EQ(message(), "请输入正确的金额");
    for (const char* zero : {"0", "0.00"}) {
        screen->shurujingETextField()->setText("");
        ASSERT_TRUE(driver.typeText("#shurujingETextField", zero));
        ASSERT_TRUE(driver.tap("立即充值"));
        EXPECT_EQ(message(), "请输入正确的金额") << zero;
    }
    EXPECT_FALSE(screen->oidStr().has_value());

    // Choosing another game clears the amount; the due sum follows the
    // amount as it is typed, keys and deletions alike.
    pickGame(3);
    EXPECT_EQ(screen->zhekeouLabel()->text(), "折扣：58%");
    EXPECT_EQ(screen->shurujingETextField()->text(), "");
    ASSERT_TRUE(driver.typeText("#shurujingETextField", "1"));
    EXPECT_EQ(screen->zhifiLabel()->text(), "支付金额￥0.42");
    ASSERT_TRUE(driver.typeText("#shurujingETextField", "0"));
    EXPECT_EQ(screen->zhifiLabel()->text(), "支付金额￥4.20");
    ASSERT_TRUE(driver.deleteBackward(2));
    EXPECT_EQ(screen->zhifiLabel()->text(), "支付金额 ￥0");
    ASSERT_TRUE(driver.typeText("#shurujingETextField", "10"));
    tapBlank();
    EXPECT_EQ(screen->zhifiLabel()->text(), "支付金额￥4.20");

    // An amount whose discounted price rounds to 0.00 (0.0042) is no order.
    screen->shurujingETextField()->setText("");
    ASSERT_TRUE(driver.typeText("#shurujingETextField", "0.01"));
    EXPECT_EQ(screen->amountHint()->text(), "支付金额至少0.01元");
    EXPECT_EQ(screen->zhifiLabel()->text(), "支付金额 ￥0");
    ASSERT_TRUE(driver.tap("立即充值"));
    EXPECT_EQ(message(), "支付金额至少0.01元");
    EXPECT_FALSE(screen->oidStr().has_value());

    // A negative amount is refused where it is typed and is not sent.
    screen->shurujingETextField()->setText("");
    ASSERT_TRUE(driver.typeText("#shurujingETextField", "-5"));
    EXPECT_EQ(screen->amountHint()->text(), "金额必须大于0");
    ASSERT_TRUE(driver.tap("立即充值"));
    EXPECT_EQ(message(), "金额必须大于0");
    EXPECT_FALSE(screen->oidStr().has_value());
}

// The percent comes from the rate's decimal digits, not from a binary
// product (0.29 × 100 is 28.999999999999996); digits past it are cut.
TEST_F(DiscountTopUpTest, DiscountsAreCutNotRounded) {
    auto screen = open();
    for (const auto& [zhekou, text] : std::vector<std::pair<double, std::string>>{
             {0.35, "折扣：35%"}, {0.29, "折扣：29%"}, {0.58, "折扣：58%"}, {0.295, "折扣：29%"}, {0.125, "折扣：12%"},
             {0.07, "折扣：7%"}, {1, "折扣：100%"}, {1e30, "折扣：2147483647%"}}) {
        auto game = make<KXdaichongzheKouModel>();
        game->zhekou = zhekou;
        screen->KXGameIcoPopViewDelegate(game);
        EXPECT_EQ(screen->zhekeouLabel()->text(), text) << zhekou;
        EXPECT_EQ(screen->youmingchengLabl()->text(), "") << "a game without a name shows none";
    }
}

TEST_F(DiscountTopUpTest, APrepaidTopUpShowsTheMessageAndClosesTheScreen) {
    auto screen = open();
    fillForm("100");
    ASSERT_TRUE(driver.tap("#yufukuanBtn"));
    EXPECT_EQ(screen->jiLuStr(), "2");
    EXPECT_EQ(screen->yufukuanBtn()->backgroundColor(), UIColor::whiteColor());
    ASSERT_TRUE(driver.tap("立即充值"));
    ASSERT_TRUE(runUntil([&] { return stack->viewControllers().size() == 1; }));
    EXPECT_EQ(hudText(), "代充成功，预付款已扣除70.00元");
    auto hud = MBProgressHUD::HUDForView(window);
    auto icon = hud ? cast<UIImageView>(hud->customView()) : nullptr;
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->image(), UIImage::imageNamed("MBProgressHUD.bundle/success.png")) << "a success looks like one";
    finishTransition();
    EXPECT_EQ(stack->topViewController(), opener);

    // The balance went down by the discounted sum.
    auto again = open();
    EXPECT_EQ(again->yufukuanBtn()->titleForState(UIControlStateNormal), "预付款(1130.00)");
}

}  // namespace
