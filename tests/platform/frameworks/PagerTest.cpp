#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frameworks/pager/FSPagerView.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIDriver.h"
#include "uikit/UILabel.h"
#include "uikit/UIWindow.h"

namespace {

class TitlePage : public FSPagerViewCell {
public:
    using FSPagerViewCell::FSPagerViewCell;
    Ref<UILabel> label;

protected:
    void didCreate() override {
        FSPagerViewCell::didCreate();
        label = make<UILabel>(bounds());
        label->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
        contentView()->addSubview(label);
    }
};

// A ticker's owner: titles as pages, taps recorded, and every index it was
// asked for.
class Titles : public NSObject, public FSPagerViewDataSource, public FSPagerViewDelegate {
public:
    std::vector<std::string> titles;
    std::vector<long> tapped;
    long largestAsked = -1;

    long numberOfItemsInPagerView(const Ref<FSPagerView>&) override { return static_cast<long>(titles.size()); }
    Ref<FSPagerViewCell> pagerViewCellForItemAtIndex(const Ref<FSPagerView>& pager, long index) override {
        largestAsked = std::max(largestAsked, index);
        auto page = cast<TitlePage>(pager->dequeueReusableCell("title", index));
        page->label->setText(titles.at(static_cast<std::size_t>(index)));
        return page;
    }
    void pagerViewDidSelectItemAtIndex(const Ref<FSPagerView>&, long index) override { tapped.push_back(index); }
};

}  // namespace

// A vertical notice ticker, 300 x 26, sliding every 3 seconds in a window.
class Pager : public AppFixture {
protected:
    void SetUp() override {
        window = make<UIWindow>();
        window->makeKeyAndVisible();
        titles->titles = {"one", "two", "three"};
        pager = make<FSPagerView>(CGRectMake(10, 100, 300, 26));
        pager->setDataSource(titles);
        pager->setDelegate(titles);
        pager->setIsInfinite(true);
        pager->registerClass<TitlePage>("title");
        pager->setAutomaticSlidingInterval(3.0);
        pager->setRemovesInfiniteLoopForSingleItem(true);
        pager->setScrollDirection(FSPagerViewScrollDirection::vertical);
        window->addSubview(pager);
        driver.settle();
    }
    // The title of the page that fills the pager.
    std::string shownTitle() {
        auto page = pager->cellForItemAt(pager->currentIndex());
        return page ? cast<TitlePage>(page)->label->text() : std::string();
    }
    void wait(double seconds) {
        clock.advance(seconds);
        driver.settle();
    }

    Ref<Titles> titles = make<Titles>();
    Ref<UIWindow> window;
    Ref<FSPagerView> pager;
    UIDriver driver;
};

TEST_F(Pager, SlidesUpEveryIntervalAndComesBackToTheFirst) {
    EXPECT_EQ(shownTitle(), "one");
    const CGFloat startY = pager->collectionView()->contentOffset().y;
    wait(2.9);
    EXPECT_EQ(shownTitle(), "one");
    wait(0.2);
    EXPECT_EQ(shownTitle(), "two");
    EXPECT_DOUBLE_EQ(pager->collectionView()->contentOffset().y, startY + 26);
    wait(3);
    EXPECT_EQ(shownTitle(), "three");
    wait(3);
    EXPECT_EQ(shownTitle(), "one");
    EXPECT_DOUBLE_EQ(pager->collectionView()->contentOffset().y, startY + 3 * 26);
    // Hours later it still moves on.
    for (int step = 0; step < 500; ++step) wait(3);
    EXPECT_EQ(pager->currentIndex(), (3 + 500) % 3);
}

TEST_F(Pager, ATapReportsTheIndexOfTheDataSource) {
    wait(3);
    ASSERT_TRUE(driver.tapAt({100, 113})) << driver.lastError();
    EXPECT_EQ(titles->tapped, std::vector<long>{1});
}

TEST_F(Pager, ASingleTitleStandsStillWithoutRepeats) {
    titles->titles = {"alone"};
    pager->reloadData();
    driver.settle();
    EXPECT_EQ(pager->collectionView()->numberOfSections(), 1);
    wait(9);
    EXPECT_EQ(shownTitle(), "alone");
    EXPECT_DOUBLE_EQ(pager->collectionView()->contentOffset().y, 0);
    pager->setRemovesInfiniteLoopForSingleItem(false);
    EXPECT_EQ(pager->collectionView()->numberOfSections(), FSPagerView::kInfiniteRepeats);
}

TEST_F(Pager, AShorterListIsNeverAskedForAnOlderIndex) {
    wait(6);
    titles->titles = {"a", "b"};
    titles->largestAsked = -1;
    pager->reloadData();
    driver.settle();
    wait(3);
    EXPECT_LE(titles->largestAsked, 1);
    titles->titles.clear();
    pager->reloadData();
    wait(6);
    EXPECT_EQ(pager->collectionView()->visibleCells().size(), 0u);
}

TEST_F(Pager, WithoutRepeatsTheLastPageSlidesBackToTheFirst) {
    pager->setIsInfinite(false);
    driver.settle();
    EXPECT_EQ(pager->collectionView()->numberOfSections(), 1);
    wait(6);
    EXPECT_EQ(shownTitle(), "three");
    wait(3);
    EXPECT_EQ(shownTitle(), "one");
}

TEST_F(Pager, OutOfTheWindowItStops) {
    pager->removeFromSuperview();
    wait(9);
    EXPECT_EQ(pager->currentIndex(), 0);
}
