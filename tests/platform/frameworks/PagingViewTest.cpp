#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frameworks/paging/JXPagingView.h"
#include "frameworks/rating/CosmosView.h"
#include "frameworks/refresh/MJRefreshBackNormalFooter.h"
#include "frameworks/refresh/UIScrollViewMJRefresh.h"
#include "frameworks/segmented/JXSegmentedIndicatorBackgroundView.h"
#include "frameworks/segmented/JXSegmentedTitleCell.h"
#include "frameworks/segmented/JXSegmentedTitleDataSource.h"
#include "frameworks/segmented/JXSegmentedTitleItemModel.h"
#include "frameworks/segmented/JXSegmentedView.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIDriver.h"
#include "uikit/UIViewController.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

namespace {

// A list page: a table of 44-point rows with a load-more footer.
class ListPage : public UIViewController, public JXPagingViewListViewDelegate, public UITableViewDataSource,
                 public UITableViewDelegate {
public:
    long rows = 30;
    int loadsMore = 0;
    Ref<UITableView> table;
    ScrollCallback callback;

    void viewDidLoad() override {
        UIViewController::viewDidLoad();
        table = make<UITableView>(view()->bounds());
        table->registerClass<UITableViewCell>("row");
        table->setDataSource(self<ListPage>());
        table->setDelegate(self<ListPage>());
        table->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::Never);
        table->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
        view()->addSubview(table);
        auto footer = MJRefreshBackNormalFooter::footerWithRefreshingBlock([this] { ++loadsMore; });
        UIScrollViewMJRefresh::setMj_footer(table, footer);
    }
    long tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) override { return rows; }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView, NSIndexPath path) override {
        auto cell = tableView->dequeueReusableCellWithIdentifier("row", path);
        cell->textLabel()->setText("row " + std::to_string(path.row()));
        return cell;
    }
    void scrollViewDidScroll(const Ref<UIScrollView>& scrollView) override {
        if (callback) callback(scrollView);
    }

    Ref<UIView> listView() override { return view(); }
    Ref<UIScrollView> listScrollView() override {
        view();
        return table;
    }
    void listViewDidScrollCallback(ScrollCallback scrollCallback) override { callback = std::move(scrollCallback); }
};

// A screen with a 182-point header, a 50-point title bar over the pages of
// its titles, and a list page per title, made as the paging view asks.
class PagingScreen : public UIViewController, public JXPagingViewDelegate {
public:
    Ref<UIView> header = make<UIView>();
    Ref<JXSegmentedView> segmentedView = make<JXSegmentedView>();
    Ref<JXSegmentedTitleDataSource> titles = make<JXSegmentedTitleDataSource>();
    Ref<JXPagingView> pagingView;
    std::vector<Ref<ListPage>> made;

    void viewDidLoad() override {
        UIViewController::viewDidLoad();
        titles->titles = {"角色", "卡牌", "休闲"};
        titles->isTitleColorGradientEnabled = true;
        titles->titleNormalColor = UIColor::blackColor();
        titles->titleSelectedColor = UIColor::whiteColor();
        segmentedView->setDataSource(titles);
        auto indicator = make<JXSegmentedIndicatorBackgroundView>();
        segmentedView->setIndicators({indicator});
        segmentedView->setFrame({{0, 0}, {375, 50}});
        pagingView = make<JXPagingView>(self<PagingScreen>(), JXPagingListContainerType::CollectionView);
        pagingView->setFrame(view()->bounds());
        view()->addSubview(pagingView);
        segmentedView->setListContainer(pagingView->listContainerView());
        segmentedView->reloadData();
    }

    long tableHeaderViewHeight(const Ref<JXPagingView>&) override { return 182; }
    Ref<UIView> tableHeaderView(const Ref<JXPagingView>&) override { return header; }
    long heightForPinSectionHeader(const Ref<JXPagingView>&) override { return 50; }
    Ref<UIView> viewForPinSectionHeader(const Ref<JXPagingView>&) override { return segmentedView; }
    long numberOfLists(const Ref<JXPagingView>&) override { return static_cast<long>(titles->dataSource().size()); }
    Ref<JXPagingViewListViewDelegate> pagingViewInitListAtIndex(const Ref<JXPagingView>&, long) override {
        made.push_back(make<ListPage>());
        return made.back();
    }
};

class PagingViewTest : public AppFixture {
protected:
    PagingViewTest() {
        window = make<UIWindow>(UIScreen::mainScreen()->bounds());
        window->setRootViewController(screen);
        window->makeKeyAndVisible();
        driver.settle();
    }

    Ref<UITableView> mainTable() const { return screen->pagingView->mainTableView(); }
    CGFloat barTopInWindow() const { return screen->segmentedView->convertPointToView({0, 0}, window).y; }
    Ref<JXSegmentedTitleItemModel> title(long index) const {
        return cast<JXSegmentedTitleItemModel>(screen->titles->dataSource()[index]);
    }

    Ref<PagingScreen> screen = make<PagingScreen>();
    Ref<UIWindow> window;
    UIDriver driver;
};

TEST_F(PagingViewTest, TheHeaderScrollsAwayThenTheBarStaysAndTheListTakesOver) {
    ASSERT_EQ(screen->made.size(), 1u) << "only the first page's list is made";
    auto list = screen->made[0];
    EXPECT_EQ(mainTable()->contentSize().height, 667 + 182);
    EXPECT_EQ(barTopInWindow(), 182);
    EXPECT_EQ(list->view()->frame().size.height, 667 - 50);

    ASSERT_TRUE(driver.scroll(nullptr, 300)) << driver.lastError();
    EXPECT_EQ(mainTable()->contentOffset().y, 182) << "the table stops with the bar pinned";
    EXPECT_EQ(barTopInWindow(), 0);
    EXPECT_EQ(list->table->contentOffset().y, 118) << "the list takes the rest of the drag";

    ASSERT_TRUE(driver.scroll(nullptr, -200)) << driver.lastError();
    EXPECT_EQ(list->table->contentOffset().y, 0) << "the list goes back to its top first";
    EXPECT_EQ(mainTable()->contentOffset().y, 100);

    // A drag on the list itself moves the header away first too.
    ASSERT_TRUE(driver.scroll(list->table, 150)) << driver.lastError();
    EXPECT_EQ(mainTable()->contentOffset().y, 182);
    EXPECT_EQ(list->table->contentOffset().y, 68);

    ASSERT_TRUE(driver.pullUp()) << driver.lastError();
    EXPECT_EQ(list->loadsMore, 1) << "a pull past the end reaches the list's footer";
    EXPECT_EQ(mainTable()->contentOffset().y, 182);
}

TEST_F(PagingViewTest, TitlesAndPagesMoveTogether) {
    // Three titles spread evenly over the bar, the first selected under the plate.
    CGRect first = screen->segmentedView->itemFrameAt(0), second = screen->segmentedView->itemFrameAt(1),
           third = screen->segmentedView->itemFrameAt(2);
    EXPECT_NEAR(first.origin.x, 375 - CGRectGetMaxX(third), 0.01);
    EXPECT_NEAR(second.origin.x - CGRectGetMaxX(first), first.origin.x, 0.01);
    auto indicator = screen->segmentedView->indicators()[0];
    EXPECT_EQ(CGRectGetMidX(indicator->frame()), CGRectGetMidX(first));
    EXPECT_EQ(indicator->frame().size.height, JXSegmentedIndicatorBackgroundView::kDefaultHeight);
    EXPECT_EQ(indicator->frame().size.width, first.size.width + 20);
    EXPECT_EQ(title(0)->titleCurrentColor, UIColor::whiteColor());

    // Tapping the third title shows its page and makes its list.
    ASSERT_TRUE(driver.tap("休闲")) << driver.lastError();
    EXPECT_EQ(screen->segmentedView->selectedIndex(), 2);
    EXPECT_EQ(screen->pagingView->listContainerView()->currentIndex(), 2);
    EXPECT_EQ(screen->pagingView->listContainerView()->scrollView()->contentOffset().x, 750);
    EXPECT_EQ(title(2)->titleCurrentColor, UIColor::whiteColor());
    EXPECT_EQ(title(0)->titleCurrentColor, UIColor::blackColor());
    EXPECT_TRUE(screen->pagingView->validListDict().count(2));
    EXPECT_EQ(screen->made.back()->parentViewController(), screen) << "a list page can reach the screen's stack";

    // Half a swipe back blends the two titles and moves the plate halfway.
    auto pages = screen->pagingView->listContainerView()->scrollView();
    bool checked = false;
    struct Halfway : UIScrollViewObserver {
        std::function<void()> check;
        void scrollViewContentDidChange(const Ref<UIScrollView>&) override { check(); }
        void scrollViewWillEndDragging(const Ref<UIScrollView>&) override {}
    };
    auto halfway = std::make_shared<Halfway>();
    halfway->check = [&] {
        if (pages->contentOffset().x != 562.5) return;
        checked = true;
        EXPECT_NEAR(title(1)->titleCurrentColor.red(), 0.5, 0.01);
        EXPECT_NEAR(title(2)->titleCurrentColor.red(), 0.5, 0.01);
        EXPECT_NEAR(CGRectGetMidX(indicator->frame()),
                    (CGRectGetMidX(screen->segmentedView->itemFrameAt(1)) + CGRectGetMidX(screen->segmentedView->itemFrameAt(2))) / 2,
                    0.01);
    };
    pages->addObserver(halfway);
    ASSERT_TRUE(driver.scroll(nullptr, 0, -375)) << driver.lastError();
    EXPECT_TRUE(checked);
    EXPECT_EQ(screen->segmentedView->selectedIndex(), 1) << "the page at rest selects its title";
    EXPECT_EQ(title(1)->titleCurrentColor, UIColor::whiteColor());
    EXPECT_EQ(title(2)->titleCurrentColor, UIColor::blackColor());
    EXPECT_EQ(CGRectGetMidX(indicator->frame()), CGRectGetMidX(screen->segmentedView->itemFrameAt(1)));
}

TEST_F(PagingViewTest, ReloadingTheTitlesAsksForTheListsAgain) {
    screen->titles->titles = {"新游", "热门"};
    screen->segmentedView->reloadData();
    driver.settle();
    EXPECT_EQ(screen->pagingView->listContainerView()->collectionView()->numberOfItemsInSection(0), 2);
    ASSERT_EQ(screen->made.size(), 2u);
    EXPECT_EQ(screen->made[0]->parentViewController(), nullptr) << "the old list is let go";
    EXPECT_EQ(screen->pagingView->validListDict().at(0), screen->made[1]);

    screen->titles->titles = {};
    screen->segmentedView->reloadData();
    driver.settle();
    EXPECT_TRUE(screen->pagingView->validListDict().empty());
    EXPECT_TRUE(screen->segmentedView->indicators()[0]->isHidden()) << "no title, no plate";
}

TEST(CosmosViewTest, StarsFillByTheModeAndTheRowHasItsNaturalSize) {
    EXPECT_EQ(CosmosView::starFillLevel(3.4, 2, StarFillMode::Full), 1);
    EXPECT_EQ(CosmosView::starFillLevel(3.4, 3, StarFillMode::Full), 0);
    EXPECT_EQ(CosmosView::starFillLevel(3.6, 3, StarFillMode::Full), 1);
    EXPECT_EQ(CosmosView::starFillLevel(3.3, 3, StarFillMode::Half), 0.5);
    EXPECT_NEAR(CosmosView::starFillLevel(3.3, 3, StarFillMode::Precise), 0.3, 1e-9);
    EXPECT_EQ(CosmosView::starFillLevel(0, 0, StarFillMode::Precise), 0);
    EXPECT_EQ(CosmosView::starFillLevel(9, 4, StarFillMode::Full), 1);

    auto stars = make<CosmosView>();
    CosmosSettings settings;
    settings.starSize = 8;
    settings.starMargin = 0;
    stars->setSettings(settings);
    EXPECT_EQ(stars->intrinsicContentSize(), (CGSize{40, 8}));
    EXPECT_EQ(stars->ratingForTouchAt(19), 3) << "a touch in the third star rates 3 in whole stars";
}

}  // namespace
