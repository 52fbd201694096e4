#include "app/shell/KXWebUtils.h"
#include "app/shell/WMUtil.h"
#include "app/team/KXTixianguanliViewController.h"
#include "app/team/KXTixianguanliCell.h"
#include "app/team/MyOfflineViewController.h"
#include "foundation/NSLog.h"
#include "frameworks/refresh/MJRefreshFooter.h"
#include "frameworks/refresh/UIScrollViewMJRefresh.h"
#include "ShownTexts.h"
#include "TeamScreenFixture.h"
#include "uikit/UINavigationItem.h"

namespace {

class WithdrawalScreen : public TeamScreenFixture {
protected:
    Ref<KXTixianguanliViewController> open() {
        auto screen = push<KXTixianguanliViewController>();
        EXPECT_TRUE(runUntil([&] { return screen->loader()->rows().size() == 10; }));
        driver.settle();
        return screen;
    }
    // The row's 允许 or 拒绝, or nothing when the row is not on show.
    Ref<UIView> buttonOfRow(const Ref<KXTixianguanliViewController>& screen, long row, const std::string& button) {
        auto cell = screen->mainaTableVie()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0));
        if (!cell) return nullptr;
        Ref<UIView> found;
        for (const auto& view : driver.findAll(button))
            if (view->isDescendantOfView(cell)) found = view;
        return found;
    }
    // Taps the row's 允许 or 拒绝 and waits for the answer's HUD.
    void decide(const Ref<KXTixianguanliViewController>& screen, long row, const std::string& button,
                const std::string& expectedHUD) {
        letHUDsHide();
        const Ref<UIView> found = buttonOfRow(screen, row, button);
        ASSERT_TRUE(found) << button << " in row " << row;
        ASSERT_TRUE(driver.tap(found));
        EXPECT_TRUE(waitForHUD(expectedHUD)) << hudText();
    }
    // Taps the point of the window at (dx, dy) from the top left corner of
    // the row's button and waits for the answer's HUD.
    void tapNear(const Ref<KXTixianguanliViewController>& screen, long row, const std::string& button, CGPoint offset,
                 const std::string& expectedHUD) {
        letHUDsHide();
        const Ref<UIView> found = buttonOfRow(screen, row, button);
        ASSERT_TRUE(found) << button << " in row " << row;
        ASSERT_TRUE(driver.tapAt(found->convertPointToView(offset, window))) << driver.lastError();
        EXPECT_TRUE(waitForHUD(expectedHUD)) << button << " " << offset.x << "," << offset.y << ": " << hudText();
        EXPECT_TRUE(pagesTakenIn(screen->loader()));
    }
    std::string statusShown(const Ref<KXTixianguanliViewController>& screen, long row) {
        auto texts = rowTexts(screen->mainaTableVie(), row);
        return texts.size() > 3 ? texts[3] : "(none)";
    }
};

TEST_F(WithdrawalScreen, ListsTheTeamsRequestsUnderItsColumnTitles) {
    auto screen = open();
    EXPECT_EQ(screen->navigationItem()->title(), "提现管理");
    EXPECT_EQ(shownTexts(screen->headerView()),
              (std::vector<std::string>{"用户名", "提现金额", "申请时间", "状态", "操作"}));
    auto row = rowTexts(screen->mainaTableVie(), 0);
    ASSERT_EQ(row.size(), 7u);
    EXPECT_EQ(row[0], "zhoujie");
    EXPECT_EQ(row[1], "50.00");
    EXPECT_EQ(row[3], "待审核");
    EXPECT_EQ((std::vector<std::string>{row[5], row[6]}), (std::vector<std::string>{"允许", "拒绝"}));
    EXPECT_TRUE(screen->mainaTableVie()->showsVerticalScrollIndicator());
    shot("withdrawals");

    ASSERT_TRUE(driver.pullUp(screen->mainaTableVie()));
    ASSERT_TRUE(runUntil([&] { return screen->loader()->rows().size() == 13; }));
}

// A decision is the back end's to keep: the list shows the state it
// answers, and every row offers both buttons, decided or not.
TEST_F(WithdrawalScreen, ADecisionShowsTheBackEndsMessageAndEveryRowKeepsBothButtons) {
    auto screen = open();
    const std::string id = *screen->loader()->row<KXTixianguanliModel>(0)->id;
    decide(screen, 0, "允许", "已同意提现");
    auto allowed = sent("down_status").at(0);
    EXPECT_EQ(allowed["id"], id);
    EXPECT_EQ(allowed["status"], "1");
    EXPECT_EQ(allowed["sign"], WMUtil::md5HexDigest("1" + id + "1" + allowed["t"] + "qmvtrapezk42f17bnc"));
    // The list reloads from its first page with the back end's wording.
    ASSERT_TRUE(pagesTakenIn(screen->loader()));
    EXPECT_EQ(sent("down_tixian").size(), 2u);
    EXPECT_EQ(sent("down_tixian").back()["p"], "1");
    EXPECT_EQ(statusShown(screen, 0), "已通过");
    EXPECT_EQ(rowTexts(screen->mainaTableVie(), 0).size(), 7u) << "a decided request keeps its buttons";

    // Deciding it again is sent again; the back end answers.
    decide(screen, 0, "拒绝", "该申请已处理");
    EXPECT_EQ(sent("down_status").size(), 2u);
    EXPECT_EQ(sent("down_status").back()["id"], id);
    EXPECT_EQ(sent("down_status").back()["status"], "2");

    decide(screen, 1, "拒绝", "已拒绝提现");
    EXPECT_EQ(sent("down_status").back()["status"], "2");
    ASSERT_TRUE(runUntil([&] { return sent("down_tixian").size() == 3; }));
    ASSERT_TRUE(pagesTakenIn(screen->loader()));
    EXPECT_EQ(statusShown(screen, 0), "已通过");
    EXPECT_EQ(statusShown(screen, 1), "已拒绝");
    for (long row : {0, 1, 2}) EXPECT_EQ(rowTexts(screen->mainaTableVie(), row).size(), 7u) << row;
    shot("withdrawals-decided");
}

// Each button's 44-point touch area reaches over the other, 6 points away:
// a point inside a button decides as that button says, and the larger area
// takes only what neither button holds, for the nearer button.
TEST_F(WithdrawalScreen, ATapInsideEitherButtonNearTheirSharedEdgeDecidesAsThatButtonSays) {
    auto screen = open();
    // 允许 is 40 x 20, 拒绝 6 points below it.
    tapNear(screen, 0, "允许", {20, 18}, "已同意提现");
    EXPECT_EQ(sent("down_status").back()["status"], "1") << "2 points above 允许's lower edge";
    tapNear(screen, 1, "拒绝", {20, 2}, "已拒绝提现");
    EXPECT_EQ(sent("down_status").back()["status"], "2") << "2 points below 拒绝's upper edge";
    tapNear(screen, 2, "允许", {20, -4}, "已同意提现");
    EXPECT_EQ(sent("down_status").back()["status"], "1") << "above 允许, where only its larger area reaches";
    tapNear(screen, 3, "允许", {20, 21}, "已同意提现");
    EXPECT_EQ(sent("down_status").back()["status"], "1") << "1 point below 允许, nearer it than 拒绝";
    tapNear(screen, 4, "允许", {-1.5, 15}, "已同意提现");
    EXPECT_EQ(sent("down_status").back()["status"], "1") << "1.5 points left of 允许, 5 above its lower edge";
    EXPECT_EQ(sent("down_status").size(), 5u);
}

// The loads of screens the user has left end with them: on a back end that
// holds every sub-promoter list, seven visits to 我的下线 leave no request
// behind that the withdrawals' list waits for.
TEST_F(WithdrawalScreen, ScreensLeftWhileTheirListsAreHeldDoNotDelayTheNextScreen) {
    // The client waits for the held lists longer than the test waits for
    // the withdrawals: only requests that ended free their connections.
    struct WaitingAsUsual {
        ~WaitingAsUsual() { KXWebUtils::sharedManager()->requestSerializer()->setTimeoutInterval(60); }
    } waitingAsUsual;
    KXWebUtils::sharedManager()->requestSerializer()->setTimeoutInterval(10 * kGiveUpAfterSeconds);
    relay->hold(HoldingRelay::action("down"));
    for (std::size_t visit = 1; visit <= 7; ++visit) {
        push<MyOfflineViewController>();
        ASSERT_TRUE(runUntil([&] { return relay->held() == visit; }));
        ASSERT_TRUE(driver.back());
        finishTransition();
    }
    auto screen = open();
    EXPECT_EQ(sent("down_tixian").size(), 1u);
}

// A pull empties the list at once: until its page answers there is no row
// to decide.
TEST_F(WithdrawalScreen, APullEmptiesTheListUntilItsPageAnswers) {
    auto screen = open();
    auto table = screen->mainaTableVie();
    relay->holdAnswers(HoldingRelay::page("down_tixian", "1"), 1);
    ASSERT_TRUE(driver.pullDown(table));
    ASSERT_TRUE(runUntil([&] { return relay->held() == 1; }));
    driver.settle();
    EXPECT_EQ(table->numberOfRowsInSection(0), 0);
    EXPECT_TRUE(driver.findAll("允许").empty());
    EXPECT_EQ(screen->loader()->p(), "1");
    release();
    ASSERT_TRUE(pagesTakenIn(screen->loader()));
    EXPECT_EQ(table->numberOfRowsInSection(0), 10);
}

TEST_F(WithdrawalScreen, ADecisionDuringALoadMoreIsNotFollowedByTheOlderPage) {
    auto screen = open();
    // The next page is read before the decision; its answer alone is held,
    // and let go after the reload following the decision has been answered.
    relay->holdAnswers(HoldingRelay::page("down_tixian", "2"), 1);
    ASSERT_TRUE(driver.pullUp(screen->mainaTableVie()));
    ASSERT_TRUE(runUntil([&] { return relay->held() == 1; }));
    ASSERT_TRUE(driver.scrollToRow(screen->mainaTableVie(), NSIndexPath::indexPathForRow(0, 0)));
    decide(screen, 0, "允许", "已同意提现");
    ASSERT_TRUE(runUntil([&] { return sent("down_tixian").size() == 3 && !screen->loader()->pageUnderWay(); }))
        << "the reload after the decision is answered";
    release();
    ASSERT_TRUE(pagesTakenIn(screen->loader()));
    EXPECT_EQ(statusShown(screen, 0), "已通过");
    EXPECT_EQ(screen->loader()->rows().size(), 10u) << "the older page is not appended under the reloaded list";
}

// The answers of the decisions are not written to the console log; the
// decision itself is.
TEST_F(WithdrawalScreen, DecisionsLogTheChoiceButNotTheAnswer) {
    auto screen = open();
    NSLogCapture logged;
    decide(screen, 0, "允许", "已同意提现");
    ASSERT_TRUE(pagesTakenIn(screen->loader()));
    decide(screen, 1, "拒绝", "已拒绝提现");
    ASSERT_TRUE(pagesTakenIn(screen->loader()));
    EXPECT_TRUE(logged.contains("xuanzhong :1"));
    EXPECT_TRUE(logged.contains("xuanzhong :2"));
    EXPECT_FALSE(logged.contains("已同意提现"));
    EXPECT_FALSE(logged.contains("已拒绝提现"));
}

// The back end decided, but the answer was lost: the list reloads and shows
// the decision.
TEST_F(WithdrawalScreen, ADecisionWhoseAnswerIsLostReloadsTheListWithTheRequestsNewState) {
    auto screen = open();
    script("down_status", HoldingRelay::kLostAnswer);
    decide(screen, 0, "允许", "获取数据失败");
    ASSERT_TRUE(runUntil([&] { return sent("down_tixian").size() == 2; }));
    ASSERT_TRUE(pagesTakenIn(screen->loader()));
    EXPECT_EQ(statusShown(screen, 0), "已通过");
}

TEST_F(WithdrawalScreen, ARefusedDecisionLeavesALoadMoreUnderWayToEndByItself) {
    auto screen = open();
    auto footer = UIScrollViewMJRefresh::mj_footer(screen->mainaTableVie());
    relay->holdAnswers(HoldingRelay::page("down_tixian", "2"), 1);
    ASSERT_TRUE(driver.pullUp(screen->mainaTableVie()));
    ASSERT_TRUE(runUntil([&] { return relay->held() == 1; }));
    ASSERT_TRUE(driver.scrollToRow(screen->mainaTableVie(), NSIndexPath::indexPathForRow(0, 0)));
    script("down_status", R"({"code":0,"message":"该申请已处理"})");
    decide(screen, 0, "允许", "该申请已处理");
    EXPECT_TRUE(footer->isRefreshing());
    release();
    ASSERT_TRUE(pagesTakenIn(screen->loader()));
    EXPECT_FALSE(footer->isRefreshing());
    EXPECT_EQ(sent("down_tixian").size(), 2u) << "a refusal reloads nothing";
    EXPECT_EQ(screen->loader()->rows().size(), 13u);
}

}  // namespace
