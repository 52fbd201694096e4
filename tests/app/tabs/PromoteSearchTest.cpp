#include <gtest/gtest.h>

#include <string>

#include "app/shell/KXNavigationController.h"
#include "app/tabs/promote/KXPromoteCell.h"
#include "app/tabs/promote/KXPromoteSearchController.h"
#include "frameworks/emptyview/LYEmptyView.h"
#include "frameworks/emptyview/UIScrollViewLYEmpty.h"
#include "frameworks/refresh/MJRefreshFooter.h"
#include "frameworks/refresh/UIScrollViewMJRefresh.h"
#include "foundation/NSLog.h"
#include "tests/app/DemoPromoterFixture.h"
#include "tests/support/HoldingRelay.h"
#include "tests/support/TextFitCheck.h"
#include "uikit/UILabel.h"

// The promote-game search pushed on a stack against the local back end
// (the demo promoter has 18 games; ten come per page).
class PromoteSearch : public DemoPromoterFixture {
protected:
    void SetUp() override {
        DemoPromoterFixture::SetUp();
        stack = make<KXNavigationController>(make<UIViewController>());
        showInWindow(stack);
        search = make<KXPromoteSearchController>();
        stack->pushViewController(search, true);
        finishTransition();
    }
    long rows() const { return search->tableView()->numberOfRowsInSection(0); }
    std::string nameAt(long row) const {
        auto cell = cast<KXPromoteCell>(search->tableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0)));
        return cell ? cell->nameLabel()->text() : std::string();
    }
    Ref<LYEmptyView> emptyView() const { return UIScrollViewLYEmpty::ly_emptyView(search->tableView()); }
    void searchFor(const std::string& keyword) {
        ASSERT_TRUE(driver.tap(search->searchField())) << driver.lastError();
        search->searchField()->setText("");
        if (!keyword.empty()) {
            ASSERT_TRUE(driver.typeText(search->searchField(), keyword)) << driver.lastError();
        }
        ASSERT_TRUE(driver.pressReturn()) << driver.lastError();
    }

    Ref<KXNavigationController> stack;
    Ref<KXPromoteSearchController> search;
};

TEST_F(PromoteSearch, OpensWithEveryGameAndLoadsThemPageByPage) {
    ASSERT_TRUE(runUntil([&] { return rows() == 10; }));
    EXPECT_EQ(search->keyword(), "");
    EXPECT_EQ(search->type(), "");
    EXPECT_TRUE(search->navigationView()->titleLabel()->isHidden());
    EXPECT_TRUE(search->navigationView()->backButton()->isHidden());
    EXPECT_TRUE(driver.find("搜索游戏")) << "the field's placeholder";
    EXPECT_TRUE(emptyView()->isHidden());
    EXPECT_FALSE(UIScrollViewMJRefresh::mj_footer(search->tableView())->isHidden());
    shot("promote", "search");

    ASSERT_TRUE(driver.pullUp(search->tableView())) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return rows() == 18; }));
    EXPECT_EQ(search->httpManager()->p(), 2);

    // An exhausted list asks for the following page and keeps its rows and
    // its page number, so a later load-more asks for that page again.
    ASSERT_TRUE(driver.pullUp(search->tableView())) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return !search->httpManager()->pageUnderWay(); }));
    driver.settle();
    EXPECT_EQ(rows(), 18);
    EXPECT_EQ(search->httpManager()->p(), 2);
}

TEST_F(PromoteSearch, TheReturnKeySearchesTheTextAsTypedAndANoMatchShowsTheEmptyViewAlone) {
    ASSERT_TRUE(runUntil([&] { return rows() == 10; }));
    const std::string wanted = nameAt(1);
    // Typing alone sends nothing.
    ASSERT_TRUE(driver.typeText(search->searchField(), wanted)) << driver.lastError();
    driver.settle();
    EXPECT_EQ(search->keyword(), "");
    EXPECT_EQ(rows(), 10);

    ASSERT_TRUE(driver.pressReturn()) << driver.lastError();
    EXPECT_EQ(search->keyword(), wanted);
    ASSERT_TRUE(runUntil([&] { return rows() == 1; }));
    EXPECT_EQ(nameAt(0), wanted);
    EXPECT_FALSE(search->searchField()->isFirstResponder());

    searchFor("没有这个游戏");
    EXPECT_EQ(search->keyword(), "没有这个游戏");
    ASSERT_TRUE(runUntil([&] {
        driver.settle();
        return rows() == 0;
    })) << "no earlier search's rows stay on show";
    EXPECT_FALSE(emptyView()->isHidden());
    EXPECT_TRUE(UIScrollViewMJRefresh::mj_footer(search->tableView())->isHidden());

    ASSERT_TRUE(driver.tap("取消")) << driver.lastError();
    finishTransition();
    EXPECT_EQ(stack->viewControllers().size(), 1u);
}

// Run once more on the small screen (ctest's ScreenTextFit.se), where the
// touch area of 取消 reaches a little below the top bar.
class PromoteSearchAtEitherSize : public PromoteSearch {
protected:
    void SetUp() override {
        configureTestScreen();
        PromoteSearch::SetUp();
    }
};

TEST_F(PromoteSearchAtEitherSize, CancelTakesItsTouchAreaBelowTheTopBar) {
    ASSERT_TRUE(runUntil([&] { return rows() == 10; }));
    const auto bar = search->navigationView();
    const auto cancel = search->cancelButton();
    const CGPoint below{cancel->convertPointToView({CGRectGetMidX(cancel->bounds()), 0}, window).x,
                        CGRectGetMaxY(bar->convertRectToView(bar->bounds(), window)) + 1};
    if (!cancel->pointInside(window->convertPointToView(below, cancel))) return;  // its area ends in the bar
    EXPECT_TRUE(driver.tapAt(below)) << driver.lastError();
    finishTransition();
    EXPECT_EQ(stack->viewControllers().size(), 1u);
}

// A search that comes back empty for the list already shown keeps its rows
// and their page number, and with them the load-more that pages them on: a
// hidden footer would leave those rows stuck at the pages they had.
TEST_F(PromoteSearch, AnEmptyAnswerToTheSameSearchLeavesItsRowsPagingOn) {
    ASSERT_TRUE(runUntil([&] { return rows() == 10; }));
    HoldingRelay relay(backend->port());
    KXServiceAddress::setBaseURL(relay.baseURL());
    relay.script(HoldingRelay::page("mygames", ""), R"({"code":1,"message":"","data":[]})");
    searchFor("");
    ASSERT_TRUE(runUntil([&] { return relay.sent("mygames").size() == 1 && !search->httpManager()->pageUnderWay(); }));
    driver.settle();
    EXPECT_EQ(rows(), 10);
    EXPECT_FALSE(UIScrollViewMJRefresh::mj_footer(search->tableView())->isHidden());

    ASSERT_TRUE(driver.pullUp(search->tableView())) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return rows() == 18; }));
}

TEST_F(PromoteSearch, WithNothingEverFoundTheEmptyViewShows) {
    ASSERT_TRUE(runUntil([&] { return rows() == 10; }));
    stack->popToRootViewControllerAnimated(false);
    NSLogCapture log;
    auto fresh = make<KXPromoteSearchController>();
    fresh->setKeyword("没有这个游戏");
    stack->pushViewController(fresh, true);
    finishTransition();
    // The client logs each answer it reads.
    ASSERT_TRUE(runUntil([&] { return log.contains("***********"); }));
    auto empty = UIScrollViewLYEmpty::ly_emptyView(fresh->tableView());
    ASSERT_TRUE(runUntil([&] {
        driver.settle();
        return !empty->isHidden();
    }));
    EXPECT_EQ(empty->detailLabel()->text(), "暂无数据");
    EXPECT_EQ(empty->actionButton(), nullptr);
    EXPECT_TRUE(UIScrollViewMJRefresh::mj_footer(fresh->tableView())->isHidden());
    shot("promote", "search-empty");
}
