#include <gtest/gtest.h>

#include <map>

#include "app/stats/KXOpenServiceGameCell.h"
#include "app/stats/KXOpenServiceInfoController.h"
#include "foundation/NSLog.h"
#include "frameworks/imagepreview/ZLImagePreviewController.h"
#include "tests/app/stats/StatsScreenFixture.h"

namespace {

class OpenServiceScreenTest : public StatsScreenFixture {
protected:
    void SetUp() override {
        StatsScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        screen = make<KXOpenServiceInfoController>();
        open(screen, [&] { return !screen->mutDataArr().empty(); });
    }
    long rows() const { return screen->tableView()->numberOfRowsInSection(0); }
    Ref<KXOpenServiceGameCell> row(long index) { return rowOf<KXOpenServiceGameCell>(screen->tableView(), index); }
    bool loadMore() { return StatsScreenFixture::loadMore(screen->tableView()); }

    Ref<KXOpenServiceInfoController> screen;
};

TEST_F(OpenServiceScreenTest, PagesTheOpeningsAndPreviewsAScreenshot) {
    EXPECT_EQ(screen->navigationView()->titleLabel()->text(), "开服信息");
    EXPECT_EQ(rows(), 10);
    auto first = row(0);
    ASSERT_TRUE(first);
    const auto opening = screen->mutDataArr()[0];
    EXPECT_EQ(first->nameLabel()->text(), opening->gname);
    EXPECT_EQ(first->serviceLabel()->text(), opening->time + opening->server_name);
    EXPECT_EQ(first->scoreLabel()->text(), opening->point);
    ASSERT_GE(opening->imgs.size(), 2u);
    EXPECT_EQ(first->collectionView()->numberOfItemsInSection(0), static_cast<long>(opening->imgs.size()));
    EXPECT_TRUE(runUntil([&] { return first->gameImageView()->image() != nullptr; }));
    shot("stats", "server-openings");

    // The second screenshot opens the preview there, with the bottom bar and
    // no selection button, its picture loaded.
    ASSERT_TRUE(driver.selectItem(first->collectionView(), NSIndexPath::indexPathForItem(1, 0))) << driver.lastError();
    finishTransition();
    auto preview = cast<ZLImagePreviewController>(screen->presentedViewController());
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->currentIndex(), 1);
    EXPECT_EQ(preview->datas().size(), opening->imgs.size());
    EXPECT_EQ(preview->indexLabel()->text(), "2/" + std::to_string(opening->imgs.size()));
    EXPECT_TRUE(preview->selectButton()->isHidden());
    EXPECT_FALSE(preview->bottomView()->isHidden());
    EXPECT_TRUE(runUntil([&] { return preview->imageViewAt(1)->image() != nullptr; }));
    shot("stats", "screenshot-preview");
    ASSERT_TRUE(driver.scroll(preview->collectionView(), 0, -preview->collectionView()->bounds().size.width));
    EXPECT_EQ(preview->currentIndex(), 0);
    ASSERT_TRUE(driver.tap("完成"));
    finishTransition();
    EXPECT_EQ(screen->presentedViewController(), nullptr);

    // Tapping a row does nothing; the 15 openings come in two pages.
    first = row(0);
    ASSERT_TRUE(first && driver.tap(first->nameLabel()));
    EXPECT_EQ(screen->presentedViewController(), nullptr);
    EXPECT_EQ(stack->viewControllers().size(), 1u);
    ASSERT_TRUE(loadMore());
    ASSERT_TRUE(runUntil([&] { return screen->mutDataArr().size() == 15; }));
    ASSERT_TRUE(loadMore());
    ASSERT_TRUE(runUntil([&] { return !screen->httpManager()->pageUnderWay(); }));
    EXPECT_EQ(screen->httpManager()->p(), 2) << "an empty page adds no rows and is no page the rows hold";
    EXPECT_EQ(screen->mutDataArr().size(), 15u);
}

TEST_F(OpenServiceScreenTest, NextPagesAppendBelowAndLeaveTheRowsInViewWhereTheyWere) {
    auto table = screen->tableView();
    // Where the shown rows are on screen.
    auto onScreen = [&] {
        std::map<long, CGFloat> tops;
        for (const auto& path : table->indexPathsForVisibleRows())
            tops[path.row()] = table->rectForRowAtIndexPath(path).origin.y - table->contentOffset().y;
        return tops;
    };
    auto scrollToEnd = [&] {
        for (CGFloat before = -1; before != table->contentSize().height;) {
            before = table->contentSize().height;
            ASSERT_TRUE(driver.scroll(table, table->maximumContentOffset().y - table->contentOffset().y));
        }
    };
    // At the end of the first page, its last rows in view, a pull past the
    // end loads the second page: they stay where they were, the new rows
    // come right below.
    scrollToEnd();
    const auto firstEnd = onScreen();
    ASSERT_EQ(firstEnd.rbegin()->first, 9);
    ASSERT_TRUE(driver.pullUp(table));
    ASSERT_TRUE(runUntil([&] { return screen->mutDataArr().size() == 15; }));
    driver.settle();
    EXPECT_EQ(onScreen(), firstEnd);
    // At the end of the second page the third comes back empty and the list
    // is shown again: the rows far above, not shown since the last page came,
    // keep their heights, so nothing on screen moves either.
    scrollToEnd();
    EXPECT_EQ(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(10, 0)).origin.y,
              CGRectGetMaxY(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(9, 0))));
    const auto secondEnd = onScreen();
    ASSERT_EQ(secondEnd.rbegin()->first, 14);
    NSLogCapture log;
    ASSERT_TRUE(driver.pullUp(table));
    ASSERT_TRUE(runUntil([&] { return log.contains("p = 4"); })) << "the third page's answer";
    driver.settle();
    EXPECT_EQ(onScreen(), secondEnd);
    EXPECT_EQ(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)).size.height,
              table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(14, 0)).size.height);
}

TEST_F(OpenServiceScreenTest, AFailedFirstPageToastsAndKeepsTheRows) {
    signInAsStranger();
    ASSERT_TRUE(driver.pullDown(screen->tableView()));
    ASSERT_TRUE(runUntil([&] { return toastOn(screen->view()) == kStrangerMessage; }));
    EXPECT_EQ(rows(), 10);
}

TEST_F(OpenServiceScreenTest, RowsShowOneToThreeTagsAndNoneForMore) {
    auto cell = make<KXOpenServiceGameCell>(UITableViewCellStyle::Default, "KXOpenServiceGameCell");
    EXPECT_EQ(cell->scoreLabel()->text(), "9.9");
    EXPECT_EQ(cell->typeLabel()->text(), "类型");
    auto model = make<KXOpenServiceModel>();
    model->time = "10:00";
    model->server_name = "S1";
    const auto shown = [&] {
        std::vector<std::string> texts;
        for (const auto& tag : {cell->tagOneLabel(), cell->tagTwoLabel(), cell->tagThreeLabel()})
            if (!tag->isHidden()) texts.push_back(tag->text());
        return texts;
    };
    model->biaoqian = {"热门"};
    cell->setModel(model);
    EXPECT_EQ(cell->serviceLabel()->text(), "10:00S1");
    EXPECT_EQ(shown(), std::vector<std::string>{"热门"});
    model->biaoqian = {"热门", "新服", "福利"};
    cell->setModel(model);
    EXPECT_EQ(shown(), (std::vector<std::string>{"热门", "新服", "福利"}));
    model->biaoqian = {"热门", "新服", "福利", "首发"};
    cell->setModel(model);
    EXPECT_TRUE(shown().empty());
    cell->setModel(nullptr);
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(cell->nameLabel()->text(), "");
}

}  // namespace

