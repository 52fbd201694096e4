#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "frameworks/refresh/MJRefreshBackNormalFooter.h"
#include "frameworks/refresh/MJRefreshNormalHeader.h"
#include "frameworks/refresh/UIScrollViewMJRefresh.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIDriver.h"
#include "uikit/UILabel.h"
#include "uikit/UIScreen.h"
#include "uikit/UITableView.h"
#include "tests/support/TestShots.h"

namespace {

// A list screen's data source and delegate, which is also the refresh
// target: it counts its refreshes and what the delegate heard.
class ListScreen : public NSObject, public UITableViewDataSource, public UITableViewDelegate {
public:
    long rows = 30;
    int reloads = 0;
    int loadsMore = 0;
    int endedDrags = 0;

    void reload() { ++reloads; }
    void loadMore(const Ref<MJRefreshComponent>& sender) {
        ++loadsMore;
        EXPECT_TRUE(sender->isRefreshing());
    }

    long tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) override { return rows; }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& table, NSIndexPath path) override {
        auto cell = table->dequeueReusableCellWithIdentifier("row", path);
        cell->textLabel()->setText("row " + std::to_string(path.row()));
        return cell;
    }
    void scrollViewDidEndDraggingWillDecelerate(const Ref<UIScrollView>&, bool) override { ++endedDrags; }
};

// A full-screen table of 44-point rows on the standard screen, with a
// pull-down header and a pull-up footer bound to the screen.
class RefreshTest : public AppFixture {
protected:
    RefreshTest() {
        window = make<UIWindow>();
        table = make<UITableView>(window->bounds());
        table->registerClass<UITableViewCell>("row");
        table->setDataSource(screen);
        table->setDelegate(screen);
        window->addSubview(table);
        window->makeKeyAndVisible();
        header = MJRefreshNormalHeader::headerWithRefreshingTarget(screen, &ListScreen::reload);
        footer = MJRefreshBackNormalFooter::footerWithRefreshingTarget(screen, &ListScreen::loadMore);
        UIScrollViewMJRefresh::setMj_header(table, header);
        UIScrollViewMJRefresh::setMj_footer(table, footer);
        driver.settle();
    }

    CGFloat top() const { return table->minimumContentOffset().y; }

    Ref<ListScreen> screen = make<ListScreen>();
    Ref<UIWindow> window;
    Ref<UITableView> table;
    Ref<MJRefreshNormalHeader> header;
    Ref<MJRefreshBackNormalFooter> footer;
    UIDriver driver;
};

TEST_F(RefreshTest, PullingDownPastTheHeaderRefreshesAndKeepsItInViewUntilTheEnd) {
    CGFloat restingTop = top();
    ASSERT_TRUE(driver.pullDown()) << driver.lastError();
    EXPECT_EQ(screen->reloads, 1);
    EXPECT_EQ(screen->loadsMore, 0);
    EXPECT_EQ(screen->endedDrags, 1) << "the screen stays the table's delegate";
    EXPECT_TRUE(header->isRefreshing());
    EXPECT_EQ(header->stateLabel()->text(), "正在刷新数据中...");
    EXPECT_EQ(table->contentOffset().y, restingTop - MJRefreshHeader::kHeight) << "the header rests in view";
    EXPECT_EQ(header->frame().origin.y, -MJRefreshHeader::kHeight);

    // Pulling again while it refreshes starts nothing new.
    ASSERT_TRUE(driver.pullDown());
    EXPECT_EQ(screen->reloads, 1);

    header->endRefreshing();
    EXPECT_EQ(header->state(), MJRefreshState::Idle);
    EXPECT_EQ(header->stateLabel()->text(), "下拉可以刷新");
    EXPECT_EQ(table->contentOffset().y, restingTop);
    EXPECT_EQ(top(), restingTop) << "the inset is given back";
}

TEST_F(RefreshTest, AShortPullOnlyBounces) {
    CGFloat restingTop = top();
    ASSERT_TRUE(driver.scroll(table, -(MJRefreshHeader::kHeight - 10)));
    ASSERT_TRUE(driver.scroll(table, table->maximumContentOffset().y - table->contentOffset().y));  // to the end...
    ASSERT_TRUE(driver.scroll(table, MJRefreshFooter::kHeight - 10));  // ...and a little past it
    EXPECT_EQ(screen->reloads, 0);
    EXPECT_EQ(screen->loadsMore, 0);
    EXPECT_EQ(header->state(), MJRefreshState::Idle);
    EXPECT_EQ(footer->state(), MJRefreshState::Idle);
    ASSERT_TRUE(driver.scroll(table, restingTop - table->contentOffset().y));
    EXPECT_EQ(table->contentOffset().y, restingTop);
    EXPECT_EQ(screen->reloads, 0);
}

TEST_F(RefreshTest, PullingUpPastTheEndLoadsMoreBelowTheContent) {
    CGFloat bottomInset = table->adjustedContentInset().bottom;
    ASSERT_TRUE(driver.pullUp()) << driver.lastError();
    EXPECT_EQ(screen->loadsMore, 1);
    EXPECT_EQ(screen->reloads, 0);
    EXPECT_TRUE(footer->isRefreshing());
    EXPECT_EQ(footer->stateLabel()->text(), "正在加载更多的数据...");
    EXPECT_EQ(footer->frame().origin.y, 30 * 44);
    EXPECT_EQ(CGRectGetMaxY(footer->frame()), CGRectGetMaxY(table->bounds()) - bottomInset)
        << "the footer rests at the bottom of the visible area";

    // The screen appends rows, then ends: the footer follows the content.
    screen->rows = 40;
    table->reloadData();
    footer->endRefreshing();
    driver.settle();
    EXPECT_EQ(footer->frame().origin.y, 40 * 44);
    EXPECT_EQ(footer->stateLabel()->text(), "上拉可以加载更多");
    ASSERT_TRUE(driver.pullUp());
    EXPECT_EQ(screen->loadsMore, 2);

    // Both components work side by side.
    ASSERT_TRUE(driver.pullDown());
    EXPECT_EQ(screen->reloads, 1);
    EXPECT_TRUE(header->isRefreshing() && footer->isRefreshing());
}

TEST_F(RefreshTest, AnEmptyListCanBePulledBothWays) {
    screen->rows = 0;
    table->reloadData();
    driver.settle();
    CGFloat restingTop = top();
    CGFloat bottomInset = table->adjustedContentInset().bottom;
    EXPECT_EQ(footer->frame().origin.y, table->bounds().size.height + restingTop - bottomInset)
        << "below the visible area, not under the top";
    ASSERT_TRUE(driver.pullUp()) << driver.lastError();
    EXPECT_EQ(screen->loadsMore, 1);
    EXPECT_EQ(CGRectGetMaxY(footer->frame()), CGRectGetMaxY(table->bounds()) - bottomInset) << "the whole footer in view";
    footer->endRefreshing();
    EXPECT_EQ(table->contentOffset().y, restingTop);
    ASSERT_TRUE(driver.pullDown());
    EXPECT_EQ(screen->reloads, 1);
}

TEST_F(RefreshTest, BeginRefreshingCallsTheActionOnceAndTheTargetIsHeldWeakly) {
    header->beginRefreshing();
    header->beginRefreshing();
    EXPECT_EQ(screen->reloads, 1);
    EXPECT_EQ(table->contentOffset().y, top());
    EXPECT_GE(CGRectGetMinY(header->frame()), top()) << "in view at the top";
    header->endRefreshing();

    int blockCalls = 0;
    auto blockHeader = MJRefreshNormalHeader::headerWithRefreshingBlock([&] { ++blockCalls; });
    blockHeader->beginRefreshing();  // not yet attached: the action still runs
    EXPECT_EQ(blockCalls, 1);
    blockHeader->endRefreshing();

    auto gone = make<ListScreen>();
    auto orphan = MJRefreshBackNormalFooter::footerWithRefreshingTarget(gone, &ListScreen::loadMore);
    gone.reset();
    orphan->beginRefreshing();
    EXPECT_TRUE(orphan->isRefreshing());
}

TEST_F(RefreshTest, ReplacingAComponentDetachesTheOldOne) {
    EXPECT_EQ(UIScrollViewMJRefresh::mj_header(table), header);
    EXPECT_EQ(UIScrollViewMJRefresh::mj_footer(table), footer);
    header->beginRefreshing();
    CGFloat refreshingTop = top();

    int blockCalls = 0;
    auto replacement = MJRefreshNormalHeader::headerWithRefreshingBlock([&] { ++blockCalls; });
    UIScrollViewMJRefresh::setMj_header(table, replacement);
    EXPECT_EQ(UIScrollViewMJRefresh::mj_header(table), replacement);
    EXPECT_EQ(header->superview(), nullptr);
    EXPECT_EQ(top(), refreshingTop + MJRefreshHeader::kHeight) << "the old header's inset is given back";
    ASSERT_TRUE(driver.pullDown());
    EXPECT_EQ(blockCalls, 1);
    EXPECT_EQ(screen->reloads, 1) << "the old header no longer follows the table";

    UIScrollViewMJRefresh::setMj_footer(table, nullptr);
    EXPECT_EQ(UIScrollViewMJRefresh::mj_footer(table), nullptr);
    ASSERT_TRUE(driver.pullUp());
    EXPECT_EQ(screen->loadsMore, 0);
    EXPECT_EQ(UIScrollViewMJRefresh::mj_header(nullptr), nullptr);
}

TEST_F(RefreshTest, ShotsOfBothStrips) {
    ASSERT_TRUE(driver.pullDown());
    EXPECT_TRUE(driver.shot(testShotPath("refresh-header.png"))) << driver.lastError();
    header->endRefreshing();
    ASSERT_TRUE(driver.pullUp());
    EXPECT_TRUE(driver.shot(testShotPath("refresh-footer.png"))) << driver.lastError();
}

}  // namespace
