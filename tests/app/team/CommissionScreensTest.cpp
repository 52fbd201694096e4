#include <gtest/gtest.h>

#include <mutex>

#include "app/team/KXDividedIntoViewController.h"
#include "app/team/KXtuiguanpanhangbangCell.h"
#include "app/team/KXtuiguanpanhangbangViewController.h"
#include "foundation/NSLog.h"
#include "tests/app/team/ShownTexts.h"
#include "tests/app/team/TeamScreenFixture.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"
#include "tests/support/LoopbackHTTPServer.h"

using CommissionScreens = TeamScreenFixture;

TEST_F(CommissionScreens, DetailsListEveryUserUnderTheColumnTitles) {
    auto screen = make<KXDividedIntoViewController>();
    screen->loadViewIfNeeded();
    auto table = screen->mainaTableVie();
    table->reloadData();
    EXPECT_EQ(table->numberOfRowsInSection(0), 0);  // not even the title row before the answer
    stack->pushViewController(screen, true);
    clock.advance(UIViewController::kTransitionDuration);
    ASSERT_TRUE(runUntil([&] { return !screen->dataMuArr().empty(); }));
    driver.settle();
    EXPECT_EQ(rowTexts(table, 0), (std::vector<std::string>{"用户名", "注册人数(人)", "充值总额\n(元)", "收益", "已结算"}));
    const Value& entry = screen->dataMuArr()[1];
    EXPECT_EQ(rowTexts(table, 1),
              (std::vector<std::string>{entry["name"].description(), entry["number"].description(),
                                        entry["money"].description(), entry["income"].description(),
                                        entry["settled"].description()}));
    EXPECT_TRUE(entry["number"].isInteger());  // a number, shown as its text
    EXPECT_DOUBLE_EQ(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(1, 0)).origin.y, 52);
    // The table ends 30 above the view's bottom, so its last rows can be
    // scrolled into sight.
    EXPECT_EQ(CGRectGetMaxY(table->frame()), screen->view()->bounds().size.height - 30);
    shot("team-commission-details");
}

// Odd answers from a scripted server.
class CommissionAnswers : public TeamScreenFixture {
protected:
    void SetUp() override {
        TeamScreenFixture::SetUp();
        KXServiceAddress::setBaseURL(server.baseURL());
        server.route("GET", "/", [this](const httplib::Request&, httplib::Response& response) {
            std::lock_guard lock(mutex);
            response.set_content(answer, "application/json");
        });
    }
    template <class Screen> Ref<Screen> pushAnswered(std::string body) {
        letHUDsHide();  // an earlier screen's
        {
            std::lock_guard lock(mutex);
            answer = std::move(body);
        }
        // A success is logged, a refusal shows its HUD.
        NSLogCapture log;
        auto screen = push<Screen>();
        EXPECT_TRUE(runUntil([&] { return log.contains("code") || !hudText().empty(); }));
        driver.settle();
        return screen;
    }

    LoopbackHTTPServer server;
    std::mutex mutex;
    std::string answer;
};

TEST_F(CommissionAnswers, DetailsShowTheTitleRowOnlyAfterASuccess) {
    auto refused = pushAnswered<KXDividedIntoViewController>(R"({"code":0,"message":"暂无权限"})");
    EXPECT_EQ(hudText(), "暂无权限");
    EXPECT_EQ(refused->mainaTableVie()->numberOfRowsInSection(0), 0);

    auto bare = pushAnswered<KXDividedIntoViewController>(R"({"code":1})");
    EXPECT_EQ(bare->mainaTableVie()->numberOfRowsInSection(0), 1);

    // A missing key shows nothing rather than "(null)".
    auto partial = pushAnswered<KXDividedIntoViewController>(R"({"code":1,"data":[{"name":"清风","money":12.5}]})");
    ASSERT_EQ(partial->mainaTableVie()->numberOfRowsInSection(0), 2);
    EXPECT_EQ(rowTexts(partial->mainaTableVie(), 1), (std::vector<std::string>{"清风", "", "12.5", "", ""}));
}

TEST_F(CommissionAnswers, RankingRowsShowTheirPlaceOnlyWhenTheirImageAddressIsEmpty) {
    auto screen = pushAnswered<KXtuiguanpanhangbangViewController>(
        R"({"code":1,"data":{"my":{"num":64,"money":"88.50"},"list":[)"
        R"({"icon":"http://127.0.0.1:1/medal.png","id":"3","money":"120.00","username":"李明"},)"
        R"({"id":"4","money":"99.00","username":"王芳"},{"icon":"","id":"1","money":"88.50","username":"演示推广员"}]}})");
    EXPECT_EQ(screen->leijirenshuLabel()->text(), "64");
    EXPECT_EQ(screen->jingerLabel()->text(), "88.50");
    auto table = screen->mainaTableVie();
    ASSERT_EQ(table->numberOfRowsInSection(0), 3);
    auto rowAt = [&](long row) {
        return cast<KXtuiguanpanhangbangCell>(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0)));
    };
    auto medal = rowAt(0);
    ASSERT_TRUE(medal);
    EXPECT_FALSE(medal->icoiamgView()->isHidden());
    const CGFloat column = (UIScreen::mainScreen()->bounds().size.width - 40) / 3;
    EXPECT_EQ(medal->icoiamgView()->frame(), (CGRect{(column - 16) / 2, 12, 16, 20}));
    EXPECT_EQ(shownTexts(medal), (std::vector<std::string>{"李明", "120.00"}));
    // An entry without `icon` is one with an address: an empty image, no place.
    auto unnamed = rowAt(1);
    ASSERT_TRUE(unnamed);
    EXPECT_FALSE(unnamed->icoiamgView()->isHidden());
    EXPECT_EQ(unnamed->icoiamgView()->image(), nullptr);
    EXPECT_EQ(shownTexts(unnamed), (std::vector<std::string>{"王芳", "99.00"}));
    // An empty `icon`: the place number (counted from 1).
    EXPECT_EQ(rowTexts(table, 2), (std::vector<std::string>{"3", "演示推广员", "88.50"}));
    EXPECT_TRUE(rowAt(2)->icoiamgView()->isHidden());
}

TEST_F(CommissionScreens, RankingShowsTheBackEndsOrderAndOpensTheDetails) {
    auto screen = push<KXtuiguanpanhangbangViewController>();
    EXPECT_EQ(screen->navigationItem()->title(), "推广排行");
    ASSERT_TRUE(runUntil([&] { return screen->dataMuArr().size() >= 8; }));
    driver.settle();
    EXPECT_FALSE(screen->leijirenshuLabel()->text().empty());
    EXPECT_EQ(shownTexts(screen->headerView()), (std::vector<std::string>{"推广榜", "排行榜", "用户", "收益"}));
    EXPECT_EQ(rowTexts(screen->mainaTableVie(), 3).front(), "4");
    // Let the medal images arrive before the shot.
    ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); }));
    shot("team-promotion-ranking");

    ASSERT_TRUE(driver.tap("查看分成明细")) << driver.lastError();
    clock.advance(UIViewController::kTransitionDuration);
    driver.settle();
    auto details = cast<KXDividedIntoViewController>(stack->topViewController());
    ASSERT_TRUE(details);
    driver.back();
    clock.advance(UIViewController::kTransitionDuration);
    driver.settle();
    ASSERT_TRUE(driver.tap("查看分成明细")) << driver.lastError();
    clock.advance(UIViewController::kTransitionDuration);
    driver.settle();
    EXPECT_NE(stack->topViewController(), details);
    EXPECT_TRUE(cast<KXDividedIntoViewController>(stack->topViewController()));
}
