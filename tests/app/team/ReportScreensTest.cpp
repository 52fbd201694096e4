#include <gtest/gtest.h>

#include <mutex>

#include "app/team/KXRegistrationStatisticsCell.h"
#include "app/team/KXRegistrationStatisticsViewController.h"
#include "app/team/KXRoleSummaryViewCell.h"
#include "app/team/KXRoleSummaryViewController.h"
#include "app/team/KXTopupStatisticsCell.h"
#include "app/team/KXTopupStatisticsViewController.h"
#include "tests/app/team/ShownTexts.h"
#include "tests/app/team/TeamScreenFixture.h"
#include "uikit/UINavigationItem.h"
#include "tests/support/LoopbackHTTPServer.h"

namespace {

bool loaded(const Ref<KXPagedListViewController>& screen, std::size_t rows) {
    return screen->loader()->rows().size() >= rows && !screen->loader()->max_p().empty();
}

}  // namespace

class ReportScreens : public TeamScreenFixture {
protected:
    // Pushes a screen the test has made (and may have loaded) already.
    void pushMade(const Ref<UIViewController>& screen) {
        stack->pushViewController(screen, true);
        clock.advance(UIViewController::kTransitionDuration);
        driver.settle();
    }
};

TEST_F(ReportScreens, TopUpReportPagesThroughThePlayersTopUpsUnderItsColumnTitles) {
    auto screen = push<KXTopupStatisticsViewController>();
    EXPECT_EQ(screen->navigationItem()->title(), "充值统计");
    // The header row is there before the first answer.
    ASSERT_TRUE(screen->headerView());
    EXPECT_EQ(shownTexts(screen->headerView()), (std::vector<std::string>{"用户", "游戏", "充值", "实付", "时间"}));
    ASSERT_TRUE(runUntil([&] { return loaded(screen, 10); }));
    driver.settle();

    auto table = screen->mainaTableVie();
    EXPECT_EQ(table->numberOfRowsInSection(0), 10);
    auto first = screen->loader()->row<KXTopupStatisticsModel>(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(rowTexts(table, 0), (std::vector<std::string>{*first->username, *first->gname, *first->money,
                                                             *first->paymoney, *first->time}));
    // Five equal columns of (375 - 40) / 5 on the standard screen.
    auto cell = cast<KXTopupStatisticsCell>(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)));
    ASSERT_TRUE(cell);
    EXPECT_DOUBLE_EQ(cell->labelMuArr()[4]->frame().origin.x, 4 * 67.0);
    EXPECT_DOUBLE_EQ(cell->labelMuArr()[4]->frame().size.width, 67.0);
    shot("team-topup-report");

    ASSERT_TRUE(driver.pullUp(table)) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return loaded(screen, 11); }));
    EXPECT_GT(table->numberOfRowsInSection(0), 10);
}

TEST_F(ReportScreens, RoleReportShowsLevelsAsTextAndThePlayersPromoter) {
    auto screen = make<KXRoleSummaryViewController>();
    screen->loadViewIfNeeded();
    // Built at load, hidden until a page brings rows.
    ASSERT_TRUE(screen->headerView());
    EXPECT_TRUE(screen->headerView()->isHidden());
    pushMade(screen);
    ASSERT_TRUE(runUntil([&] { return loaded(screen, 1); }));
    driver.settle();
    EXPECT_FALSE(screen->headerView()->isHidden());
    auto role = screen->loader()->row<KXRoleSummaryModel>(0);
    ASSERT_TRUE(role && role->level);
    // The back end sends levels as numbers.
    EXPECT_EQ(*role->level, std::to_string(std::stoi(*role->level)));
    EXPECT_EQ(rowTexts(screen->mainaTableVie(), 0),
              (std::vector<std::string>{*role->username, *role->game, *role->role_name, *role->level, "演示推广员"}));
    shot("team-role-report");
}

// The registration report's header row against scripted pages: none before
// the first answer, hidden over an empty list, rebuilt over rows.
class RegistrationHeaderRow : public ReportScreens {
protected:
    void SetUp() override {
        ReportScreens::SetUp();
        KXServiceAddress::setBaseURL(server.baseURL());
        server.route("GET", "/", [this](const httplib::Request&, httplib::Response& response) {
            std::lock_guard lock(mutex);
            response.set_content(answer, "application/json");
        });
    }
    void answerWith(std::string body) {
        std::lock_guard lock(mutex);
        answer = std::move(body);
    }

    LoopbackHTTPServer server;
    std::mutex mutex;
    std::string answer;
};

TEST_F(RegistrationHeaderRow, FollowsTheRowsOfEachFirstPage) {
    answerWith(R"({"code":1,"p":2,"max_p":1,"data":[]})");
    auto screen = make<KXRegistrationStatisticsViewController>();
    screen->loadViewIfNeeded();
    EXPECT_FALSE(screen->mainaTableVie()->tableHeaderView());
    pushMade(screen);
    ASSERT_TRUE(runUntil([&] { return !screen->loader()->max_p().empty(); }));
    auto emptyHeader = screen->headerView();
    ASSERT_TRUE(emptyHeader);
    EXPECT_TRUE(emptyHeader->isHidden());

    answerWith(R"({"code":1,"p":2,"max_p":1,"data":[{"username":"逍遥剑客","phone":"138****1234",)"
               R"("reg_gname":"龙城霸业","time":"2026-12-01 10:00","user_id":5}]})");
    ASSERT_TRUE(driver.pullDown(screen->mainaTableVie())) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return screen->loader()->rows().size() == 1; }));
    driver.settle();
    ASSERT_NE(screen->headerView(), emptyHeader);
    EXPECT_FALSE(screen->headerView()->isHidden());
    EXPECT_EQ(screen->mainaTableVie()->tableHeaderView(), screen->headerView());
    EXPECT_EQ(shownTexts(screen->headerView()), (std::vector<std::string>{"用户", "手机号", "游戏", "时间"}));
    EXPECT_EQ(rowTexts(screen->mainaTableVie(), 0),
              (std::vector<std::string>{"逍遥剑客", "138****1234", "龙城霸业", "2026-12-01 10:00"}));
    // Four columns of 83.75.
    EXPECT_DOUBLE_EQ(screen->headerView()->subviews()[1]->frame().origin.x, 83.75);

    // A refused pull leaves the list it emptied empty and keeps the header
    // row built before.
    answerWith(R"({"code":3,"message":"用户不存在，请重新登录"})");
    auto header = screen->headerView();
    ASSERT_TRUE(driver.pullDown(screen->mainaTableVie())) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return hudText() == "用户不存在，请重新登录"; }));
    EXPECT_EQ(screen->headerView(), header);
    EXPECT_FALSE(header->isHidden());
    EXPECT_EQ(screen->mainaTableVie()->numberOfRowsInSection(0), 0);
}

TEST_F(ReportScreens, RegistrationReportAgainstTheBackEnd) {
    auto screen = push<KXRegistrationStatisticsViewController>();
    ASSERT_TRUE(runUntil([&] { return loaded(screen, 10); }));
    driver.settle();
    ASSERT_TRUE(screen->headerView());
    EXPECT_FALSE(screen->headerView()->isHidden());
    auto first = screen->loader()->row<KXRegistrationStatisticsModel>(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(rowTexts(screen->mainaTableVie(), 0),
              (std::vector<std::string>{*first->username, *first->phone, *first->reg_gname, *first->time}));
    shot("team-registration-report");
}
