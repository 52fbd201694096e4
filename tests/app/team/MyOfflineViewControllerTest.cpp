#include "app/shell/WMUtil.h"
#include "app/team/KXtianjiangxianxiangController.h"
#include "app/team/MyOfflineCell.h"
#include "app/team/MyOfflineViewController.h"
#include "foundation/NSLog.h"
#include "ShownTexts.h"
#include "TeamScreenFixture.h"
#include "uikit/UIAlertController.h"
#include "uikit/UINavigationItem.h"

namespace {

class SubPromoterListScreen : public TeamScreenFixture {
protected:
    Ref<MyOfflineViewController> open() {
        auto screen = push<MyOfflineViewController>();
        EXPECT_TRUE(runUntil([&] { return screen->loader()->rows().size() == 10; }));
        driver.settle();
        return screen;
    }
    std::vector<std::string> firstRow(const Ref<MyOfflineViewController>& screen) {
        return rowTexts(screen->mainaTableVie(), 0);
    }
    // Taps the delete button of the row and answers the sheet with `choice`.
    void deleteRow(const Ref<MyOfflineViewController>& screen, long row, const std::string& choice) {
        auto cell = screen->mainaTableVie()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0));
        ASSERT_TRUE(cell);
        Ref<UIView> button;
        for (const auto& view : driver.findAll("删除"))
            if (view->isDescendantOfView(cell)) button = view;
        ASSERT_TRUE(button);
        ASSERT_TRUE(driver.tap(button));
        clock.advance(UIViewController::kTransitionDuration);
        auto sheet = cast<UIAlertController>(screen->presentedViewController());
        ASSERT_TRUE(sheet);
        EXPECT_EQ(sheet->title(), "删除");
        EXPECT_EQ(sheet->message(), "确定要删除");
        EXPECT_EQ(sheet->preferredStyle(), UIAlertControllerStyle::ActionSheet);
        ASSERT_EQ(sheet->actions().size(), 2u);
        EXPECT_EQ(sheet->actions()[0]->title(), "确定");
        EXPECT_EQ(sheet->actions()[1]->title(), "取消");
        ASSERT_TRUE(driver.tap(choice));
        clock.advance(UIViewController::kTransitionDuration);
        driver.settle();
    }
};

TEST_F(SubPromoterListScreen, ListsTheTeamUnderItsColumnTitlesPageByPage) {
    auto screen = open();
    EXPECT_EQ(screen->navigationItem()->title(), "我的下线");
    EXPECT_EQ(shownTexts(screen->headerView()), (std::vector<std::string>{"用户名", "手机号", "分成", "状态", "操作"}));
    EXPECT_EQ(firstRow(screen), (std::vector<std::string>{"songjia", "17612345612", "10%", "1", "", "删除"}));
    shot("sub-promoters");

    ASSERT_TRUE(driver.pullUp(screen->mainaTableVie()));
    ASSERT_TRUE(runUntil([&] { return screen->loader()->rows().size() == 12; }));
    EXPECT_EQ(screen->loader()->row<MyOfflineModel>(11)->username, "zhoujie");
    EXPECT_EQ(screen->loader()->row<MyOfflineModel>(8)->is_login, "2");  // fengxue may not sign in
}

TEST_F(SubPromoterListScreen, AnAddedSubPromoterLeadsTheListOpenedAfterwards) {
    push<KXtianjiangxianxiangController>();
    auto form = cast<KXtianjiangxianxiangController>(top());
    ASSERT_TRUE(runUntil([&] { return form->storageButMuArr().size() == 3; }));
    ASSERT_TRUE(driver.typeText("#yonghuTextField", "xinren"));
    ASSERT_TRUE(driver.typeText("#mimaTextFeild", "secret1"));
    ASSERT_TRUE(driver.typeText("#phoneTextFeild", "13812345678"));
    ASSERT_TRUE(driver.tap("中级"));
    ASSERT_TRUE(driver.tap("#yijianBut"));
    ASSERT_TRUE(runUntil([&] { return top() != form; }));
    clock.advance(UIViewController::kTransitionDuration);

    auto screen = open();
    EXPECT_EQ(firstRow(screen), (std::vector<std::string>{"xinren", "13812345678", "20%", "1", "", "删除"}));
}

TEST_F(SubPromoterListScreen, DeletingAfterConfirmationReloadsTheListWithoutTheRow) {
    auto screen = open();
    const std::string id = *screen->loader()->row<MyOfflineModel>(0)->id;

    deleteRow(screen, 0, "取消");
    EXPECT_TRUE(sent("down_del").empty());
    EXPECT_EQ(firstRow(screen)[0], "songjia");

    NSLogCapture logged;
    deleteRow(screen, 0, "确定");
    ASSERT_TRUE(runUntil([&] {
        return sent("down").size() == 2 && !screen->loader()->rows().empty() &&
               screen->loader()->row<MyOfflineModel>(0)->username != "songjia";
    }));
    driver.settle();
    auto del = sent("down_del");
    ASSERT_EQ(del.size(), 1u);
    EXPECT_EQ(del[0]["id"], id);
    EXPECT_EQ(del[0]["sign"], WMUtil::md5HexDigest("1" + id + del[0]["t"] + "qmvtrapezk42f17bnc"));
    EXPECT_EQ(sent("down")[1]["p"], "1") << "the reload starts again from the first page";
    EXPECT_EQ(firstRow(screen)[0], "luochen");
    EXPECT_EQ(screen->loader()->max_p(), "2");
    // The taps are logged, the delete's answer is not.
    EXPECT_TRUE(logged.contains("确定删除"));
    EXPECT_FALSE(logged.contains("删除成功"));
}

TEST_F(SubPromoterListScreen, ADeleteDuringALoadMoreIsNotFollowedByTheOlderPage) {
    auto screen = open();
    // The next page is read before the delete; its answer alone is held,
    // and let go after the reload following the delete has been answered.
    relay->holdAnswers(HoldingRelay::page("down", "2"), 1);
    ASSERT_TRUE(driver.pullUp(screen->mainaTableVie()));
    ASSERT_TRUE(runUntil([&] { return relay->held() == 1; }));
    ASSERT_TRUE(driver.scrollToRow(screen->mainaTableVie(), NSIndexPath::indexPathForRow(0, 0)));
    deleteRow(screen, 0, "确定");
    ASSERT_TRUE(runUntil([&] { return sent("down").size() == 3 && !screen->loader()->pageUnderWay(); }))
        << "the reload after the delete is answered";
    release();
    ASSERT_TRUE(pagesTakenIn(screen->loader()));
    EXPECT_EQ(firstRow(screen)[0], "luochen");
    EXPECT_EQ(screen->loader()->rows().size(), 10u) << "the older page is not appended under the reloaded list";
    for (std::size_t i = 0; i < screen->loader()->rows().size(); ++i)
        EXPECT_NE(screen->loader()->row<MyOfflineModel>(i)->username, "songjia");
}

// Without an answer the back end may have deleted the account or not: the
// list reloads and shows which.
TEST_F(SubPromoterListScreen, ADeleteWithoutAnAnswerReloadsTheListToShowWhatTheBackEndDid) {
    auto screen = open();
    script("down_del", kHTTPFailure);  // the back end never saw it
    deleteRow(screen, 0, "确定");
    ASSERT_TRUE(waitForHUD("获取数据失败"));
    ASSERT_TRUE(runUntil([&] { return sent("down").size() == 2; }));
    ASSERT_TRUE(pagesTakenIn(screen->loader()));
    EXPECT_EQ(firstRow(screen)[0], "songjia");
    EXPECT_EQ(screen->loader()->rows().size(), 10u);

    script("down_del", HoldingRelay::kLostAnswer);  // the back end deleted it
    letHUDsHide();
    deleteRow(screen, 0, "确定");
    ASSERT_TRUE(waitForHUD("获取数据失败"));
    ASSERT_TRUE(runUntil([&] { return sent("down").size() == 3; }));
    ASSERT_TRUE(pagesTakenIn(screen->loader()));
    EXPECT_EQ(firstRow(screen)[0], "luochen");
    EXPECT_EQ(sent("down_del").size(), 2u);
}

// The state is `is_login` as sent; a missing field shows nothing, never
// "(null)".
TEST(SubPromoterRow, ShowsTheSignInPermissionAsSentAndAMissingFieldAsNothing) {
    auto cell = make<MyOfflineCell>(UITableViewCellStyle::Default, "MyOfflineCell");
    auto model = make<MyOfflineModel>();
    model->phone = std::nullopt;
    const std::vector<std::pair<std::optional<std::string>, std::string>> cases = {
        {"1", "1"}, {"2", "2"}, {"0", "0"}, {std::nullopt, ""}};
    for (const auto& [isLogin, shown] : cases) {
        model->is_login = isLogin;
        cell->setModel(model);
        EXPECT_EQ(cell->labelMuArr()[3]->text(), shown);
        EXPECT_EQ(cell->labelMuArr()[1]->text(), "");
    }
    // The phone number takes up to two lines, as every column.
    EXPECT_EQ(cell->labelMuArr()[1]->numberOfLines(), 2);
}

}  // namespace
