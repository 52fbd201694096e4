#include <gtest/gtest.h>

#include "app/promotion/KXPromoteTableViewCell.h"
#include "app/promotion/KXPromoteViewController.h"
#include "tests/app/promotion/DashboardFixture.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "tests/support/TestShots.h"
#include "tests/support/TextFitCheck.h"

class PromotionPage : public DashboardFixture {
protected:
    Ref<KXPromoteViewController> openPage() {
        auto page = make<KXPromoteViewController>();
        show(page);
        EXPECT_TRUE(runUntil([&] { return !page->dataDic().isNil(); }));
        driver.settle();
        return page;
    }
    Ref<KXPromoteTableViewCell> row(const Ref<KXPromoteViewController>& page, long index) {
        auto table = page->mainTabelView();
        driver.scrollToRow(table, NSIndexPath::indexPathForRow(index, 0));
        return cast<KXPromoteTableViewCell>(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(index, 0)));
    }
    void answerWith(const std::string& data) {
        server.respond("GET", "/", 200, R"({"code":1,"message":"成功","data":)" + data + "}", "application/json");
        KXServiceAddress::setBaseURL(server.baseURL() + "/");
    }

    LoopbackHTTPServer server;
};

// The same page with scripted answers instead of the local back end.
class PromotionPageScripted : public PromotionPage {
protected:
    bool usesLocalBackend() const override { return false; }
};

TEST_F(PromotionPage, ShowsTheCommissionCardAndTheFourRows) {
    auto page = openPage();
    const Value& data = page->dataDic();
    EXPECT_EQ(page->zeongjingerLabel()->text(), *data["money"].text());
    EXPECT_EQ(page->fengxiangyongjingLabel()->text(), *data["shareMoney"].text());
    EXPECT_EQ(page->yitixianjingLabel()->text(), *data["withdraw"].text());
    EXPECT_FALSE(page->shengqingjiesuanBut()->isHidden());
    ASSERT_EQ(page->mainTabelView()->numberOfRowsInSection(0), 4);

    auto earned = row(page, 0);
    ASSERT_TRUE(earned);
    EXPECT_EQ(earned->mingchengLabel()->text(), "累计赚取");
    EXPECT_EQ(earned->righetLabel()->text(), *data["accumulate"].text());
    EXPECT_FALSE(earned->righetLabel()->isHidden());
    EXPECT_TRUE(earned->righrimag()->isHidden());
    auto players = row(page, 1);
    EXPECT_EQ(players->righetLabel()->text(), *data["popularizeNumber"].text());
    auto discount = row(page, 2);
    EXPECT_EQ(discount->mingchengLabel()->text(), "折扣代充");
    EXPECT_TRUE(discount->righetLabel()->isHidden());
    EXPECT_FALSE(discount->righrimag()->isHidden());
    EXPECT_TRUE(discount->miahsulabel()->isHidden());
    auto games = row(page, 3);
    EXPECT_EQ(games->mingchengLabel()->text(), "推广游戏");
    EXPECT_FALSE(games->miahsulabel()->isHidden());
    EXPECT_TRUE(games->righetLabel()->isHidden());
    ASSERT_TRUE(checkedShot(driver, testShotPath("promotion-page.png"))) << driver.lastError();

    // The figure rows open nothing.
    for (long figure : {0L, 1L}) {
        ASSERT_TRUE(driver.selectRow(page->mainTabelView(), NSIndexPath::indexPathForRow(figure, 0)));
        finishTransition();
        EXPECT_EQ(stack->viewControllers().size(), 1u);
    }
}

TEST_F(PromotionPage, AnAccountWithoutMoneyGetsTwoRowsAndNoSettlement) {
    signIn(kNoMoney);
    auto page = openPage();
    EXPECT_EQ(page->hanshuInter(), 2);
    EXPECT_EQ(page->mainTabelView()->numberOfRowsInSection(0), 2);
    EXPECT_TRUE(page->shengqingjiesuanBut()->isHidden());
}

TEST_F(PromotionPageScripted, RowsFromThreeOnAreAllPromotedGames) {
    answerWith(R"({"money":"1.00","shareMoney":"2.00","withdraw":"3.00","show":5,"accumulate":"4.00",)"
               R"("popularizeNumber":"5","gameDescription":"已推广3款游戏"})");
    auto page = openPage();
    ASSERT_EQ(page->mainTabelView()->numberOfRowsInSection(0), 5);
    for (long index : {3L, 4L}) {
        auto cell = row(page, index);
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->mingchengLabel()->text(), "推广游戏");
        EXPECT_EQ(cell->miahsulabel()->text(), "快去推广拿佣金！");
    }
}

TEST_F(PromotionPageScripted, AMissingOrNegativeCountListsNothingAndKeepsTheButton) {
    answerWith(R"({"money":"1.00","show":-3})");
    auto page = openPage();
    EXPECT_EQ(page->mainTabelView()->numberOfRowsInSection(0), 0);
    EXPECT_FALSE(page->shengqingjiesuanBut()->isHidden());
    // A value the answer lacks shows nothing.
    EXPECT_EQ(page->yitixianjingLabel()->text(), "");
}

TEST_F(PromotionPageScripted, AsksAgainEveryTimeItAppears) {
    answerWith(R"({"money":"1.00","show":2})");
    // Loading and appearing ask both; the later supersedes the earlier,
    // which ends cancelled without a word.
    auto page = openPage();
    ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); }));
    EXPECT_EQ(hudText(), "");
    answerWith(R"({"money":"2.00","show":2})");
    stack->pushViewController(make<UIViewController>(), false);
    driver.settle();
    stack->popViewControllerAnimated(false);
    driver.settle();
    EXPECT_TRUE(runUntil([&] { return page->dataDic()["money"] == Value("2.00"); }));
    for (const auto& request : server.requests()) EXPECT_NE(request.query.find("ac=cps"), std::string::npos);
}
