#include <gtest/gtest.h>

#include "app/payment/KXApplyjiesuanViewController.h"
#include "app/payment/KXChangchyongViewController.h"
#include "app/payment/KXDiscountDaiChunViewController.h"
#include "app/payment/KXGameIcoPopView.h"
#include "app/payment/KXMoney.h"
#include "app/shell/KXLoginViewController.h"
#include "app/shell/KXWebViewController.h"
#include "app/tabs/mine/KXMineController.h"
#include "app/tabs/mine/KXMineMenuViews.h"
#include "app/tabs/mine/KXMineNoticeCell.h"
#include "app/tabs/mine/KXMineTopCell.h"
#include "tests/app/tabs/SignedInAppFixture.h"
#include "tests/support/HoldingRelay.h"

// The Mine tab of the running app against the local back end.
class MineTab : public SignedInAppFixture {
protected:
    void SetUp() override {
        SignedInAppFixture::SetUp();
        stack = openTab(3);
        ASSERT_TRUE(stack);
        mine = cast<KXMineController>(stack->viewControllers().front());
        ASSERT_TRUE(mine);
        ASSERT_TRUE(runUntil([&] { return mine->collectionProtocol()->model != nullptr; }));
        driver.settle();
    }
    Ref<KXMineModel> model() const { return mine->collectionProtocol()->model; }
    Ref<KXMineTopCell> card() const {
        return cast<KXMineTopCell>(mine->collectionView()->cellForItemAtIndexPath(NSIndexPath::indexPathForItem(0, 0)));
    }
    // Taps the menu entry with this caption, scrolled into view.
    void tapEntry(const std::string& caption) {
        const auto& groups = model()->nav;
        for (std::size_t g = 0; g < groups.size(); ++g) {
            for (std::size_t i = 0; i < groups[g]->data.size(); ++i) {
                if (groups[g]->data[i]->name != caption) continue;
                const auto path = NSIndexPath::indexPathForItem(static_cast<long>(i), static_cast<long>(g) + 2);
                ASSERT_TRUE(driver.scrollToItem(mine->collectionView(), path)) << driver.lastError();
                ASSERT_TRUE(driver.selectItem(mine->collectionView(), path)) << driver.lastError();
                finishTransition();
                return;
            }
        }
        FAIL() << "no entry " << caption;
    }
    Ref<UIViewController> top() const { return stack->topViewController(); }

    Ref<UINavigationController> stack;
    Ref<KXMineController> mine;
};

TEST_F(MineTab, LoadsTheCardTheNoticesAndTheMenuGroups) {
    ASSERT_GE(model()->nav.size(), 1u);
    auto collection = mine->collectionView();
    EXPECT_EQ(collection->numberOfSections(), static_cast<long>(model()->nav.size()) + 3);
    EXPECT_EQ(card()->nameLabel()->text(), "demo");
    EXPECT_EQ(card()->balanceLabel()->text(), model()->shareMoney);
    EXPECT_EQ(card()->advanceLabel()->text(), model()->yufu);
    EXPECT_EQ(card()->allPriceLabel()->text(), model()->money);
    auto notices = cast<KXMineNoticeCell>(collection->cellForItemAtIndexPath(NSIndexPath::indexPathForItem(0, 1)));
    ASSERT_TRUE(notices && notices->models());
    EXPECT_EQ(notices->models()->size(), model()->news.size());
    EXPECT_NE(driver.find(model()->news.front()->title), nullptr);
    EXPECT_TRUE(driver.find(model()->nav.front()->title));
    EXPECT_TRUE(driver.find(model()->nav.front()->data.front()->name));
    // No top bar, so no back arrow on the tab's root.
    EXPECT_TRUE(mine->navigationView()->isHidden());
    shot("mine", "tab");
}

TEST_F(MineTab, WithdrawAndRechargeHandOnTheCardsAmounts) {
    ASSERT_TRUE(driver.tap(card()->withdrawalButton())) << driver.lastError();
    finishTransition();
    auto settlement = cast<KXApplyjiesuanViewController>(top());
    ASSERT_TRUE(settlement);
    EXPECT_EQ(settlement->jisuanStr(), model()->shareMoney);
    ASSERT_TRUE(driver.back());
    finishTransition();
    ASSERT_TRUE(driver.tap(card()->rechargeButton())) << driver.lastError();
    finishTransition();
    auto recharge = cast<KXChangchyongViewController>(top());
    ASSERT_TRUE(recharge);
    EXPECT_EQ(recharge->cunchuStr(), model()->yufu);
}

TEST_F(MineTab, MenuEntriesOpenTheirScreensAndSomeNothing) {
    tapEntry("分成明细");
    EXPECT_EQ(top()->className(), "KXDividedIntoViewController");
    EXPECT_TRUE(tabBar()->tabBar()->isHidden() || !tabBar()->tabBar()->window());
    ASSERT_TRUE(driver.back());
    finishTransition();
    EXPECT_EQ(top(), mine);
    tapEntry("推广游戏");
    tapEntry("提现明细");
    EXPECT_EQ(top(), mine);
}

TEST_F(MineTab, ANoticeOpensItsPageOnlyWithAnAddress) {
    auto notice = make<KXMineNewsModel>();
    notice->title = "无链接";
    mine->collectionProtocol()->didClickNotice(notice);
    finishTransition();
    EXPECT_EQ(top(), mine);
    ASSERT_TRUE(driver.tap(model()->news.front()->title)) << driver.lastError();
    finishTransition();
    auto page = cast<KXWebViewController>(top());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->urlString, model()->news.front()->url);
}

TEST_F(MineTab, SignOutReturnsToSignInAndARelaunchStaysThere) {
    auto collection = mine->collectionView();
    const auto last = NSIndexPath::indexPathForItem(0, collection->numberOfSections() - 1);
    ASSERT_TRUE(driver.scrollToItem(collection, last)) << driver.lastError();
    ASSERT_TRUE(driver.tap("退出登录")) << driver.lastError();
    EXPECT_TRUE(cast<KXLoginViewController>(root()));
    EXPECT_EQ(KXLocallyStoredData::getLoginUserID(), "");
    EXPECT_EQ(KXLocallyStoredData::getUsername(), "");
    EXPECT_EQ(KXLocallyStoredData::getHead(), "");
    relaunch();
    EXPECT_TRUE(cast<KXLoginViewController>(root()));
}

// The demo promoter asks 实名认证 whether they are verified, signs out before
// the answer, and liming signs in: the demo's answer is not told on liming's
// screens, and the stored login stays liming's.
TEST_F(MineTab, AnAnswerToTheSignedOutPromoterIsNotToldToTheNextOne) {
    HoldingRelay relay(backend->port());
    KXServiceAddress::setBaseURL(relay.baseURL());
    relay.holdAnswers(HoldingRelay::action("shiming"));
    tapEntry("实名认证");
    ASSERT_TRUE(runUntil([&] { return relay.held() == 1; }));
    auto collection = mine->collectionView();
    ASSERT_TRUE(driver.scrollToItem(collection, NSIndexPath::indexPathForItem(0, collection->numberOfSections() - 1)));
    ASSERT_TRUE(driver.tap("退出登录")) << driver.lastError();
    ASSERT_TRUE(driver.typeText("#zhanghuTextField", "liming") && driver.typeText("#mimaTextFeild", "123456") &&
                driver.tap("#dengluBut"))
        << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return tabBar() != nullptr; }));
    letHUDsHide();

    NSLogCapture log;
    relay.release();
    ASSERT_TRUE(runUntil([&] { return log.contains("the answer to shiming") || !hudText().empty(); }));
    EXPECT_EQ(hudText(), "");
    EXPECT_EQ(KXLocallyStoredData::getLoginUserID(), "2");
}

// The back end acts on a money action whose answer is lost: back on 我的, the
// card asks again and shows the balance the back end now holds.
TEST_F(MineTab, AMoneyActionOfUnknownResultBringsTheBackEndsBalanceOnTheWayBack) {
    HoldingRelay relay(backend->port());
    KXServiceAddress::setBaseURL(relay.baseURL());
    relay.script("jiesuan", HoldingRelay::kLostAnswer);
    relay.script("fuli", HoldingRelay::kLostAnswer);
    auto returnToMine = [&](const std::string& message) {
        ASSERT_TRUE(runUntil([&] { return hudText() == message; }));
        letHUDsHide();
        ASSERT_TRUE(driver.back());
        finishTransition();
        ASSERT_EQ(top(), mine);
    };

    const KXMoney settleable = KXMoney::parse(model()->shareMoney).value();
    ASSERT_TRUE(driver.tap(card()->withdrawalButton())) << driver.lastError();
    finishTransition();
    ASSERT_TRUE(runUntil([&] { return relay.sent("my").size() == 1; }));
    ASSERT_TRUE(driver.typeText("#manaTextField", "10"));
    ASSERT_TRUE(driver.tap("提交"));
    returnToMine("结果未知，请在结算明细中确认");
    const std::string settled = (settleable - KXMoney::fromFen(1000)).format();
    ASSERT_TRUE(runUntil([&] { return card()->balanceLabel()->text() == settled; }));

    // A prepaid top-up of 100 at the first game's discount costs 70.00.
    const KXMoney prepaid = KXMoney::parse(model()->yufu).value();
    {
        auto topUp = make<KXDiscountDaiChunViewController>();
        stack->pushViewController(topUp, true);
        finishTransition();
        ASSERT_TRUE(runUntil([&] { return topUp->yufukuanBtn()->titleForState(UIControlStateNormal) != "预付款"; }));
        ASSERT_TRUE(driver.typeText("#shiwanzhanghaoTxetField", "wanjia001"));
        ASSERT_TRUE(driver.tap("#xuanZeBut"));
        auto pickers = driver.findAllOfClass("KXGameIcoPopView");
        ASSERT_EQ(pickers.size(), 1u);
        auto picker = cast<KXGameIcoPopView>(pickers.front());
        ASSERT_TRUE(runUntil([&] { return !picker->dataMuArr().empty(); }));
        ASSERT_TRUE(driver.selectItem(picker->maincollectionView(), NSIndexPath::indexPathForItem(0, 0)));
        ASSERT_TRUE(driver.typeText("#shurujingETextField", "100"));
        ASSERT_TRUE(driver.tap("#yufukuanBtn"));
        ASSERT_TRUE(driver.tap("立即充值"));
    }
    returnToMine("结果未知，请在代充记录中确认");
    const std::string charged = (prepaid - KXMoney::fromFen(7000)).format();
    ASSERT_TRUE(runUntil([&] { return card()->advanceLabel()->text() == charged; }));
}
