#include <gtest/gtest.h>

#include "app/payment/KXApplyForSettlementViewController.h"
#include "app/payment/KXChildPage.h"
#include "app/payment/KXChongzhijiemianViewController.h"
#include "app/payment/KXChongzhishibaiViewController.h"
#include "app/shell/KXNavigationController.h"
#include "foundation/NSBundle.h"
#include "tests/app/payment/PaymentTestSupport.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIDriver.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"
#include "tests/support/TextFitCheck.h"

namespace {

class ResultPagesTest : public AppFixture {
protected:
    void SetUp() override {
        NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR);
        showFlow();
    }
    void TearDown() override { NSBundle::setMainBundlePath(""); }

    // A new key window of the main screen's size, its stack holding the
    // opener and the flow's screen.
    void showFlow() {
        opener = make<UIViewController>();
        stack = make<KXNavigationController>(opener);
        window = make<UIWindow>(UIScreen::mainScreen()->bounds());
        window->setRootViewController(stack);
        window->makeKeyAndVisible();
        flow = make<UIViewController>();
        flow->navigationItem()->setTitle("折扣代充");
        push(flow);
    }

    void push(const Ref<UIViewController>& screen) {
        stack->pushViewController(screen, true);
        finishTransition();
    }
    void finishTransition() {
        clock.advance(UIViewController::kTransitionDuration);
        driver.settle();
    }

    Ref<UIViewController> opener;
    Ref<UIViewController> flow;
    Ref<KXNavigationController> stack;
    Ref<UIWindow> window;
    UIDriver driver;
};

TEST_F(ResultPagesTest, TheRechargeSuccessPageShowsTheAmountsOnARoundedCard) {
    auto page = make<KXChongzhijiemianViewController>();
    page->setOidStr("88");
    page->setChongzhijinger("100");
    page->setZongjinge("350.00");
    KXChildPage::layOver(flow, page);
    driver.settle();

    EXPECT_EQ(page->chongzhijingerLabel()->text(), "100元");
    EXPECT_EQ(page->yufukuanLabel()->text(), "350.00元");
    EXPECT_EQ(page->beijingView()->layer()->cornerRadius(), 12);
    EXPECT_EQ(page->navigationItem()->title(), "充值");
    ASSERT_NE(page->navigationItem()->leftBarButtonItem(), nullptr);
    // Laid over the screen: the bar keeps the screen's own title.
    EXPECT_EQ(page->view()->frame(), UIScreen::mainScreen()->bounds());
    EXPECT_EQ(page->view()->superview(), flow->view());
    EXPECT_EQ(page->parentViewController(), flow);
    EXPECT_EQ(stack->navigationBar()->topItem()->title(), "折扣代充");
    EXPECT_TRUE(checkedWholeShot(driver, paymentShotPath("payment_recharge_success.png"))) << driver.lastError();

    // "查看预付款" closes the recharge screen under the page.
    ASSERT_TRUE(driver.tap("查看预付款"));
    finishTransition();
    EXPECT_EQ(stack->topViewController(), opener);
}

TEST_F(ResultPagesTest, AChildPagesReturnButtonLeavesTheFlowForItsOpener) {
    auto page = make<KXChongzhijiemianViewController>();
    KXChildPage::layOver(flow, page);
    driver.settle();
    // The stack holds only the opener and the flow: no screen at count - 3.
    ASSERT_TRUE(driver.tap("#fanhuiBut"));
    finishTransition();
    EXPECT_EQ(stack->viewControllers().size(), 1u);
    EXPECT_EQ(stack->topViewController(), opener);
}

TEST_F(ResultPagesTest, ThePushedDonePageReturnsToTheOpenerInOnePop) {
    auto done = make<KXApplyForSettlementViewController>();
    push(done);
    ASSERT_EQ(stack->viewControllers().size(), 3u);
    EXPECT_EQ(stack->navigationBar()->topItem()->title(), "申请结算");
    EXPECT_EQ(done->beijingView()->layer()->cornerRadius(), 8);
    EXPECT_TRUE(done->beijingView()->clipsToBounds());
    EXPECT_TRUE(checkedWholeShot(driver, paymentShotPath("payment_done.png"))) << driver.lastError();

    ASSERT_TRUE(driver.tap("完成"));
    finishTransition();
    ASSERT_EQ(stack->viewControllers().size(), 1u);
    EXPECT_EQ(stack->topViewController(), opener);
}

TEST_F(ResultPagesTest, TheDonePageAsAChildPageAndItsOwnBackItem) {
    // Laid over a screen at depth two, the done button still leaves the flow.
    auto child = make<KXApplyForSettlementViewController>();
    KXChildPage::layOver(flow, child);
    driver.settle();
    ASSERT_TRUE(driver.tap("完成"));
    finishTransition();
    EXPECT_EQ(stack->topViewController(), opener);

    // Pushed, its back item pops only the page.
    push(flow);
    auto done = make<KXApplyForSettlementViewController>();
    push(done);
    ASSERT_TRUE(driver.back());
    finishTransition();
    EXPECT_EQ(stack->topViewController(), flow);
}

// The order may still be paid a moment later: the page sends the user to
// the order's list, never to a second order, in a sentence drawn whole on
// the standard screen and on the smallest.
TEST_F(ResultPagesTest, TheUnpaidPageSaysThePaymentIsNotConfirmedYetWithoutAWayOutOfItsOwn) {
    for (const auto& [size, screenName] : {std::pair{CGSizeMake(375, 667), "standard"}, {CGSizeMake(320, 568), "se"}}) {
        UIScreen::configureMainScreen(size, 2, false);
        for (const std::string records : {"代充记录", "充值记录"}) {
            SCOPED_TRACE(std::string(screenName) + ", " + records);
            showFlow();
            auto page = make<KXChongzhishibaiViewController>(records);
            KXChildPage::layOver(flow, page);
            driver.settle();
            EXPECT_EQ(page->view()->backgroundColor(), UIColor::colorWithRed(245 / 255.0, 245 / 255.0, 245 / 255.0, 1));
            EXPECT_NE(driver.find("支付尚未确认"), nullptr);
            EXPECT_EQ(driver.find("支付失败"), nullptr);
            EXPECT_EQ(UIDriver::describeTree(page->view()).find("UIButton"), std::string::npos);
            // What the lines drawn in view say, down to "无需重新下单".
            const std::string sentence = "订单支付结果尚未确认，请稍后在" + records + "中查看，无需重新下单";
            auto label = driver.find(sentence);
            ASSERT_NE(label, nullptr) << driver.describeScreen();
            EXPECT_EQ(driver.shownText(label), sentence);
            EXPECT_TRUE(checkedWholeShot(driver, paymentShotPath("payment_failure_" + std::string(screenName) + ".png")))
                << driver.lastError();
        }
    }
}

}  // namespace
