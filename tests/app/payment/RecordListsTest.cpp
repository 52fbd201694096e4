#include "app/payment/KXBillingDetailsViewController.h"
#include "app/payment/KXChongzhijiluCell.h"
#include "app/payment/KXGenerationOfFillingCell.h"
#include "app/payment/KXGenerationOfFillingViewController.h"
#include "app/payment/KXPrepaidPhoneRecordsjiluViewController.h"
#include "app/payment/KXjieSuanTableViewCell.h"
#include "backend/PaymentPages.h"
#include "tests/app/payment/MoneyScreenFixture.h"

namespace {

class RecordLists : public MoneyScreenFixture {
protected:
    template <class Screen> Ref<Screen> open() {
        auto screen = show(make<Screen>());
        EXPECT_TRUE(runUntil([&] { return screen->qinshuLabel()->text() != KXRecordListViewController::kNoFigure; }));
        driver.settle();
        return screen;
    }
    // Puts the key window on a screen of this size (a fresh stack).
    void useScreen(CGSize size, bool notched) {
        UIScreen::configureMainScreen(size, 3, notched);
        window = make<UIWindow>(UIScreen::mainScreen()->bounds());
        stack = make<KXNavigationController>(make<UIViewController>());
        window->setRootViewController(stack);
        window->makeKeyAndVisible();
        driver.settle();
    }
    template <class Cell> Ref<Cell> cellAt(const Ref<KXRecordListViewController>& screen, long row) {
        return cast<Cell>(screen->mainaTableVie()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0)));
    }
};

TEST_F(RecordLists, SettlementDetailsShowTheTotalCountAndRowsUnderTheirOwnTopBar) {
    auto screen = open<KXBillingDetailsViewController>();
    EXPECT_EQ(screen->biatiuLabe()->text(), "结算明细");
    EXPECT_EQ(screen->zongjieLabel()->text(), "总结算金额(元)");
    EXPECT_EQ(screen->qinshuLabel()->text(), "300.00");
    EXPECT_EQ(screen->gongbiLabel()->text(), "共计 2 笔");
    ASSERT_EQ(screen->dataMuArr().size(), 2u);
    auto newest = cellAt<KXjieSuanTableViewCell>(screen, 0);
    ASSERT_TRUE(newest);
    EXPECT_EQ(newest->shengehLabel()->text(), "审核中");
    EXPECT_EQ(newest->jingerLabel()->text(), "200.00") << "no unit";
    EXPECT_EQ(newest->riqiLabel()->text().size(), 16u);  // YYYY-MM-DD HH:MM
    EXPECT_EQ(newest->selectionStyle(), UITableViewCellSelectionStyle::None);
    EXPECT_TRUE(runUntil([&] { return newest->icoIamgeView()->image() != nullptr; }));
    EXPECT_EQ(newest->frame().size.height, 64);
    EXPECT_TRUE(stack->isNavigationBarHidden());
    // A standard screen: 20-point status bar, 64-point top bar.
    EXPECT_EQ(screen->mainaTableVie()->frame(), (CGRect{0, -20, 375, 687}));
    EXPECT_EQ(screen->fanhuiBut()->frame().origin.y, 27);
    EXPECT_EQ(screen->biatiuLabe()->frame().origin.y, 32);
    EXPECT_EQ(screen->beijingView()->frame().origin.y, 64);
    EXPECT_EQ(screen->hederView()->frame().size.height, 192);
    shot("settlement-details");

    ASSERT_TRUE(driver.tap("#fanhuiBut"));
    finishTransition();
    EXPECT_EQ(stack->viewControllers().size(), 1u);
    EXPECT_FALSE(stack->isNavigationBarHidden());
}

TEST_F(RecordLists, ANotchedScreenGivesTheTopBarAndCardMoreRoom) {
    useScreen({390, 844}, true);
    auto screen = open<KXBillingDetailsViewController>();
    EXPECT_EQ(screen->mainaTableVie()->frame(), (CGRect{0, -44, 390, 854}));
    EXPECT_EQ(screen->fanhuiBut()->frame().origin.y, 51);
    EXPECT_EQ(screen->biatiuLabe()->frame(), (CGRect{160, 56, 70, 17}));
    EXPECT_EQ(screen->beijingView()->frame().origin.y, 88);
    EXPECT_EQ(screen->hederView()->frame().size.height, 216);
    shot("settlement-details-notched");
}

TEST_F(RecordLists, TopUpRecordsListThePaidTopUpsWithTheirPlayersAndAmounts) {
    auto screen = open<KXGenerationOfFillingViewController>();
    EXPECT_EQ(screen->biatiuLabe()->text(), "代充记录");
    EXPECT_EQ(screen->zongjieLabel()->text(), "总代充金额(元)");
    const Value list = backendAnswer("fuli_list");
    EXPECT_EQ(screen->qinshuLabel()->text(), list["data"]["money"].description());
    EXPECT_EQ(screen->gongbiLabel()->text(), "共计 12 笔");
    ASSERT_EQ(screen->dataMuArr().size(), 12u);
    auto first = cellAt<KXGenerationOfFillingCell>(screen, 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->name1Label()->text(), list["data"]["list"][0]["user_name"].description());
    EXPECT_EQ(first->riqiLabel()->text(), list["data"]["list"][0]["order_time"].description());
    EXPECT_EQ(first->jingerLbabel()->text(), list["data"]["list"][0]["money"].description() + "元");
    // The last rows come into view as the table scrolls.
    ASSERT_TRUE(driver.scrollToRow(screen->mainaTableVie(), NSIndexPath::indexPathForRow(11, 0)));
    EXPECT_EQ(cellAt<KXGenerationOfFillingCell>(screen, 11)->dataModel()->orderid,
              list["data"]["list"][11]["orderid"].description());
    shot("top-up-records");
}

// No total is shown that the back end did not send: "--" while the list
// loads, after a load that failed, and for figures missing from an answer.
TEST_F(RecordLists, ATotalNotYetAnsweredOrRefusedShowsAsDashes) {
    KXLocallyStoredData::setUserID("");
    const std::vector<std::pair<Ref<KXRecordListViewController>, std::string>> lists{
        {make<KXBillingDetailsViewController>(), "共计 -- 笔"},
        {make<KXGenerationOfFillingViewController>(), "共计 -- 笔"},
        {make<KXPrepaidPhoneRecordsjiluViewController>(), "共计--笔"}};
    for (const auto& [screen, count] : lists) {
        screen->loadViewIfNeeded();
        EXPECT_EQ(screen->qinshuLabel()->text(), "--") << "before the answer";
        show(screen);
        EXPECT_TRUE(waitForHUD("用户不存在，请重新登录"));
        EXPECT_EQ(screen->qinshuLabel()->text(), "--");
        EXPECT_EQ(screen->gongbiLabel()->text(), count);
        EXPECT_EQ(screen->mainaTableVie()->numberOfRowsInSection(0), 0);
        // A code-1 answer without the figures, or whose data is no object.
        for (const Value& data : {Value(Dictionary{{"list", Array{}}}), Value(Array{})}) {
            screen->showFigures(data, "number");
            EXPECT_EQ(screen->qinshuLabel()->text() + screen->gongbiLabel()->text(), "--" + count);
        }
        letHUDsHide();
    }
}

TEST_F(RecordLists, RowsMissingFromAnAnswerShowNothingRatherThanNull) {
    auto cell = make<KXjieSuanTableViewCell>(UITableViewCellStyle::Default, "cellID");
    cell->setModel(NSObjectMJKeyValue::mj_objectWithKeyValues<KXBillingDetailsModel>(
        Value(Dictionary{{"money", 12.5}, {"icon", ""}})));
    EXPECT_EQ(cell->jingerLabel()->text(), "12.5");
    EXPECT_EQ(cell->shengehLabel()->text(), "");
    EXPECT_EQ(cell->icoIamgeView()->image(), nullptr);
}

}  // namespace

namespace {

class RechargeRecords : public MoneyScreenFixture {
protected:
    Ref<KXPrepaidPhoneRecordsjiluViewController> open() {
        auto screen = show(make<KXPrepaidPhoneRecordsjiluViewController>());
        EXPECT_TRUE(runUntil([&] { return screen->dataMuArr().size() == 10; }));
        driver.settle();
        return screen;
    }
    Ref<KXChongzhijiluCell> cellAt(const Ref<KXPrepaidPhoneRecordsjiluViewController>& screen, long row) {
        return cast<KXChongzhijiluCell>(screen->mainaTableVie()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0)));
    }
};

TEST_F(RechargeRecords, PagesThroughThePaidRechargesAndTheFirstPageSetsTheCard) {
    auto screen = open();
    const Value first = backendAnswer("recharge_list", {{"p", "1"}});
    EXPECT_EQ(screen->biatiuLabe()->text(), "充值记录");
    EXPECT_EQ(screen->qinshuLabel()->text(), first["data"]["money"].description());
    EXPECT_EQ(screen->gongbiLabel()->text(), "共计14笔");
    EXPECT_EQ(screen->loader()->p(), "2");
    EXPECT_EQ(screen->loader()->max_p(), "2");
    auto cell = cellAt(screen, 0);
    ASSERT_TRUE(cell);
    const Value& row = first["data"]["list"][0];
    EXPECT_EQ(cell->riqiLabel()->text(), row["time1"].description() + "\n" + row["time2"].description());
    EXPECT_EQ(cell->jingeLabel()->text(), row["money"].description() + "元");
    EXPECT_EQ(cell->chuliLabel()->text(), "已支付");
    EXPECT_NE(cell->selectionStyle(), UITableViewCellSelectionStyle::None) << "recharge rows keep the default look";
    EXPECT_EQ(sent("recharge_list").back().at("p"), "1");
    shot("recharge-records");

    ASSERT_TRUE(driver.pullUp(screen->mainaTableVie())) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return screen->dataMuArr().size() == 14; }));
    EXPECT_EQ(sent("recharge_list").back().at("p"), "2");
    EXPECT_EQ(screen->gongbiLabel()->text(), "共计14笔") << "a next page leaves the card";
    letHUDsHide();

    // Past the last page nothing is sent.
    const std::size_t requests = sent("recharge_list").size();
    ASSERT_TRUE(driver.pullUp(screen->mainaTableVie())) << driver.lastError();
    EXPECT_EQ(hudText(), "没有更多数据，请待会在上拉加载");
    EXPECT_EQ(sent("recharge_list").size(), requests);
}

TEST_F(RechargeRecords, APullDownReloadsTheFirstPageWithANewRecharge) {
    auto screen = open();
    // A recharge paid meanwhile, through its payment page's notify address.
    const Value order = backendAnswer("recharge", {{"money", "66"}}, {"money"});
    const std::string oid = order["data"]["oid"].description();
    const std::string path = "/pay/recharge/" + oid + "/notify";
    httplib::Client shop("127.0.0.1", backend->port());
    ASSERT_TRUE(shop.Get(path + "?amount=66.00",
                         {{"X-Payment-Signature",
                           backend::paymentNoticeSignature(backend->paymentProviderSecret(), path, "66.00")}}));

    ASSERT_TRUE(driver.pullDown(screen->mainaTableVie())) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return screen->gongbiLabel()->text() == "共计15笔"; }));
    EXPECT_EQ(screen->dataMuArr().size(), 10u);
    EXPECT_EQ(screen->loader()->row<KXChongzhijiluModel>(0)->orderid, oid);
}

}  // namespace
