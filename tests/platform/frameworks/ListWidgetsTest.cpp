#include <gtest/gtest.h>

#include <cmath>

#include "frameworks/emptyview/LYEmptyView.h"
#include "frameworks/emptyview/UIScrollViewLYEmpty.h"
#include "frameworks/popup/MMPopupView.h"
#include "frameworks/progressbar/YLProgressBar.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIButton.h"
#include "uikit/UICollectionView.h"
#include "uikit/UICollectionViewFlowLayout.h"
#include "uikit/UIDriver.h"
#include "uikit/UILabel.h"
#include "uikit/UITableView.h"

namespace {

// A table and collection data source with a settable number of entries.
class Entries : public NSObject, public UITableViewDataSource, public UICollectionViewDataSource {
public:
    long count = 0;
    long tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) override { return count; }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& table, NSIndexPath path) override {
        return table->dequeueReusableCellWithIdentifier("row", path);
    }
    long collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, long) override { return count; }
    Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(const Ref<UICollectionView>& view,
                                                                   const NSIndexPath& path) override {
        return view->dequeueReusableCellWithReuseIdentifier("item", path);
    }
};

class ListWidgetsTest : public AppFixture {
protected:
    ListWidgetsTest() {
        window = make<UIWindow>();
        window->makeKeyAndVisible();
    }

    Ref<UIWindow> window;
    Ref<Entries> entries = make<Entries>();
    UIDriver driver;
};

TEST_F(ListWidgetsTest, EmptyViewShowsExactlyWhileTheTableHasNoRows) {
    auto table = make<UITableView>(window->bounds());
    table->registerClass<UITableViewCell>("row");
    table->setDataSource(entries);
    window->addSubview(table);
    auto empty = LYEmptyView::emptyViewWithImageStr("", "", "暂无数据");
    empty->setContentViewOffset(-40);
    UIScrollViewLYEmpty::setLy_emptyView(table, empty);
    EXPECT_EQ(UIScrollViewLYEmpty::ly_emptyView(table), empty);
    EXPECT_EQ(empty->titleLabel(), nullptr) << "an empty title leaves the title out";
    EXPECT_EQ(empty->actionButton(), nullptr);
    driver.settle();

    ASSERT_NE(driver.find("暂无数据"), nullptr);
    EXPECT_FALSE(empty->isHidden());
    EXPECT_EQ(empty->frame().size, table->bounds().size);
    CGRect detail = empty->detailLabel()->frame();
    EXPECT_NEAR(CGRectGetMidY(detail), CGRectGetMidY(empty->bounds()) - 40, 1) << "moved up by the offset";

    entries->count = 3;
    table->reloadData();
    EXPECT_TRUE(empty->isHidden());
    EXPECT_EQ(driver.find("暂无数据"), nullptr);
    entries->count = 0;
    table->reloadData();
    EXPECT_FALSE(empty->isHidden());

    UIScrollViewLYEmpty::setLy_emptyView(table, nullptr);
    EXPECT_EQ(empty->superview(), nullptr);
    EXPECT_EQ(UIScrollViewLYEmpty::ly_emptyView(table), nullptr);
}

TEST_F(ListWidgetsTest, EmptyViewWithAButtonFollowsACollectionAndCallsItsBlock) {
    auto layout = make<UICollectionViewFlowLayout>();
    layout->setItemSize({50, 50});
    auto collection = make<UICollectionView>(window->bounds(), layout);
    collection->registerClass<UICollectionViewCell>("item");
    collection->setDataSource(entries);
    window->addSubview(collection);
    int clicks = 0;
    auto empty = LYEmptyView::emptyActionViewWithImageStr("", "", "暂无数据", "点击刷新", [&clicks] { ++clicks; });
    empty->setActionBtnHeight(30);
    empty->setActionBtnCornerRadius(15);
    UIScrollViewLYEmpty::setLy_emptyView(collection, empty);
    driver.settle();

    ASSERT_NE(empty->actionButton(), nullptr);
    EXPECT_EQ(empty->actionButton()->frame().size.height, 30);
    EXPECT_EQ(empty->actionButton()->layer()->cornerRadius(), 15);
    ASSERT_TRUE(driver.tap("点击刷新")) << driver.lastError();
    EXPECT_EQ(clicks, 1);

    entries->count = 2;
    collection->reloadData();
    driver.settle();
    EXPECT_TRUE(empty->isHidden());
}

TEST_F(ListWidgetsTest, ProgressBarKeepsItsValueBetweenEmptyAndFull) {
    auto bar = make<YLProgressBar>(CGRect{0, 0, 100, 10});
    bar->setProgress(0.6);
    EXPECT_DOUBLE_EQ(bar->progressRect().size.width, 60);
    bar->setProgress(1.7);
    EXPECT_EQ(bar->progress(), 1);
    bar->setProgress(-0.4);
    EXPECT_EQ(bar->progress(), 0);
    bar->setProgress(std::nan(""));
    EXPECT_EQ(bar->progress(), 0) << "an undefined ratio empties the bar";
    bar->setProgress((0.0 - 3.0) / 0.0);
    EXPECT_EQ(bar->progress(), 0);
    bar->setProgressBarInset(2);
    bar->setProgress(0.5);
    EXPECT_EQ(bar->progressRect(), (CGRect{2, 2, 48, 6}));
}

TEST_F(ListWidgetsTest, PopUpShowsOverItsViewWithABackdropAndLeavesOnHide) {
    auto host = make<UIView>(window->bounds());
    window->addSubview(host);
    auto popup = make<MMPopupView>(CGRect{0, 0, 200, 100});
    popup->setAttachedView(host);
    int shown = 0, hidden = 0;
    popup->setShowCompletionBlock([&shown](const Ref<MMPopupView>&, bool) { ++shown; });
    popup->setHideCompletionBlock([&hidden](const Ref<MMPopupView>&, bool) { ++hidden; });
    popup->show();
    popup->show();
    clock.advance(1);
    driver.settle();
    EXPECT_EQ(popup->superview(), host);
    EXPECT_EQ(popup->center(), (CGPoint{CGRectGetMidX(host->bounds()), CGRectGetMidY(host->bounds())}));
    ASSERT_NE(popup->dimBackgroundView(), nullptr);
    EXPECT_EQ(popup->dimBackgroundView()->superview(), host);
    EXPECT_EQ(shown, 1);

    auto backdrop = popup->dimBackgroundView();
    popup->hide();
    popup->hide();
    EXPECT_EQ(popup->superview(), nullptr);
    EXPECT_EQ(backdrop->superview(), nullptr);
    EXPECT_EQ(hidden, 1);

    // Without an attached view the pop-up goes over the key window.
    popup->setAttachedView(nullptr);
    popup->setType(MMPopupType::Sheet);
    popup->show();
    EXPECT_EQ(popup->superview(), window);
    EXPECT_EQ(CGRectGetMaxY(popup->frame()), CGRectGetMaxY(window->bounds()));
}

}  // namespace
