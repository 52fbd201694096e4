#include <gtest/gtest.h>

#include "app/stats/KXRankListController.h"
#include "app/tabs/home/KXHomeHeader.h"
#include "app/tabs/home/KXHomeOtherRankCell.h"
#include "app/tabs/home/KXHomeTopThreeRankCell.h"
#include "tests/app/stats/StatsScreenFixture.h"

namespace {

class RankingScreenTest : public StatsScreenFixture {
protected:
    void openRanking(KXMineNavType type) {
        screen = make<KXRankListController>();
        screen->setType(type);
        open(screen, [&] { return screen->entryCount() > 0; });
    }
    template <class Cell> Ref<Cell> item(long index, long section) {
        const auto path = NSIndexPath::indexPathForItem(index, section);
        if (!driver.scrollToItem(screen->collectionView(), path)) return nullptr;
        return cast<Cell>(screen->collectionView()->cellForItemAtIndexPath(path));
    }
    Ref<KXHomeHeader> header() {
        driver.scrollToItem(screen->collectionView(), NSIndexPath::indexPathForItem(0, 0));
        auto found = driver.findAllOfClass("KXHomeHeader");
        return found.empty() ? nullptr : cast<KXHomeHeader>(found.front());
    }
    std::vector<std::string> columns(long row) {
        auto cell = item<KXHomeOtherRankCell>(row, 1);
        if (!cell) return {};
        return {cell->rankLabel()->text(), cell->userLabel()->text(), cell->lowUserLabel()->text()};
    }
    bool loadMore() { return StatsScreenFixture::loadMore(screen->collectionView()); }

    Ref<KXRankListController> screen;
};

TEST_F(RankingScreenTest, PopularityRankingPagesUnderItsTitles) {
    openRanking(KXMineNavType::popularityRank);
    EXPECT_EQ(screen->navigationView()->titleLabel()->text(), "人气榜");
    const auto entries = *screen->collectionProtocol()->rankListModels;
    ASSERT_EQ(entries.size(), 10u);
    auto list = screen->collectionView();
    EXPECT_EQ(list->numberOfItemsInSection(0), 3);
    EXPECT_EQ(list->numberOfItemsInSection(1), 8);
    auto top = header();
    ASSERT_TRUE(top);
    EXPECT_EQ(top->titleLabel()->text(), "游戏排行榜");
    auto gold = item<KXHomeTopThreeRankCell>(0, 0);
    ASSERT_TRUE(gold);
    EXPECT_EQ(gold->nameLabel()->text(), entries[0]->gname);
    shot("stats", "popularity-ranking");
    EXPECT_EQ(columns(0), (std::vector<std::string>{"排名", "游戏名", "活跃人数"}));
    EXPECT_EQ(columns(1), (std::vector<std::string>{entries[3]->note, entries[3]->gname, entries[3]->count}));

    ASSERT_TRUE(loadMore());
    ASSERT_TRUE(runUntil([&] { return screen->entryCount() > 10; })) << "a second page is appended";
    driver.settle();
    EXPECT_EQ(list->numberOfItemsInSection(1), screen->entryCount() - 2);
}

TEST_F(RankingScreenTest, ConsumptionRankingShowsItsOwnTitles) {
    openRanking(KXMineNavType::consumeRank);
    EXPECT_EQ(screen->navigationView()->titleLabel()->text(), "消费榜单");
    const auto entries = *screen->collectionProtocol()->consumeRankModels;
    ASSERT_GE(entries.size(), 4u);
    auto top = header();
    ASSERT_TRUE(top);
    EXPECT_EQ(top->titleLabel()->text(), "充值排行榜");
    EXPECT_EQ(columns(0), (std::vector<std::string>{"排名", "游戏名", "充值"}));
    EXPECT_EQ(columns(1)[2], entries[3]->money);
    shot("stats", "consumption-ranking");
}

TEST_F(RankingScreenTest, AFailedFirstPageToastsAndKeepsTheEntries) {
    openRanking(KXMineNavType::consumeRank);
    signInAsStranger();
    ASSERT_TRUE(driver.pullDown(screen->collectionView()));
    ASSERT_TRUE(runUntil([&] { return toastOn(screen->view()) == kStrangerMessage; }));
    EXPECT_EQ(screen->entryCount(), 10);
}

TEST_F(RankingScreenTest, SectionsFollowTheNumberOfEntries) {
    KXRankListProtocol source;
    source.type = KXMineNavType::consumeRank;
    const auto counts = [&](std::size_t entries) {
        source.consumeRankModels = std::vector<Ref<KXConsumeRankModel>>(entries, make<KXConsumeRankModel>());
        return std::pair{source.collectionViewNumberOfItemsInSection(nullptr, 0),
                         source.collectionViewNumberOfItemsInSection(nullptr, 1)};
    };
    EXPECT_EQ(counts(0), (std::pair{0L, 0L}));
    EXPECT_EQ(counts(2), (std::pair{2L, 0L}));
    EXPECT_EQ(counts(3), (std::pair{3L, 1L})) << "three entries bring the title row alone";
    EXPECT_EQ(counts(5), (std::pair{3L, 3L}));
    // The medal cards are 170 high, three to a line between 22-point insets.
    EXPECT_EQ(source.collectionViewLayoutSizeForItemAtIndexPath(nullptr, nullptr, NSIndexPath::indexPathForItem(0, 0)),
              (CGSize{331.0 / 3, 170}));
    source.type = KXMineNavType::registType;
    EXPECT_EQ(counts(5), (std::pair{0L, 0L}));
}

TEST_F(RankingScreenTest, AnotherTypeShowsTheDefaultTitleAndAsksNothing) {
    signInAsStranger();
    screen = make<KXRankListController>();
    screen->setType(KXMineNavType::registType);
    open(screen, [] { return true; });
    EXPECT_FALSE(runUntil([&] { return !toastOn(screen->view()).empty(); }, 1)) << "no request is sent";
    EXPECT_EQ(screen->navigationView()->titleLabel()->text(), "排行榜");
    EXPECT_EQ(screen->collectionView()->numberOfItemsInSection(0), 0);
}

}  // namespace
