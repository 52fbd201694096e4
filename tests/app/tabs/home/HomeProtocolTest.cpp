#include <gtest/gtest.h>

#include "app/tabs/home/KXHomeDataCell.h"
#include "app/tabs/home/KXHomeFunctionCell.h"
#include "app/tabs/home/KXHomeHeader.h"
#include "app/tabs/home/KXHomeOtherRankCell.h"
#include "app/tabs/home/KXHomeProtocol.h"
#include "app/tabs/home/KXHomeTopThreeRankCell.h"
#include "tests/app/components/WidgetFixture.h"
#include "uikit/UICollectionViewFlowLayout.h"
#include "uikit/UICollectionViewLayoutAttributes.h"

namespace {

// The Home collection view as the screen sets it up, on the standard
// screen (375 points wide, layout scale 1), fed by a KXHomeProtocol.
class HomeProtocolTest : public WidgetFixture {
protected:
    HomeProtocolTest() {
        auto layout = make<UICollectionViewFlowLayout>();
        layout->setMinimumLineSpacing(0);
        layout->setMinimumInteritemSpacing(0);
        collection = place(make<UICollectionView>(CGRectZero, layout), {0, 0, 375, 667});
        collection->registerClass<KXHomeFunctionCell>("KXHomeFunctionCell");
        collection->registerClass<KXHomeDataCell>("KXHomeDataCell");
        collection->registerClass<KXHomeTopThreeRankCell>("KXHomeTopThreeRankCell");
        collection->registerClass<KXHomeOtherRankCell>("KXHomeOtherRankCell");
        collection->registerClass<KXHomeHeader>(UICollectionElementKindSectionHeader, "KXHomeHeader");
        collection->setDataSource(protocol);
        collection->setDelegate(protocol);
    }

    static Ref<KXHomeModel> answer(std::size_t tiles, std::size_t ranked) {
        auto model = make<KXHomeModel>();
        for (std::size_t i = 0; i < tiles; ++i) {
            auto tile = make<KXHomeNavModel>();
            tile->name = "功能" + std::to_string(i + 1);
            tile->type = 101 + static_cast<std::int64_t>(i);
            model->nav.push_back(tile);
        }
        for (std::size_t i = 0; i < ranked; ++i) {
            auto entry = make<KXHomeRankListModel>();
            entry->name = "推广员" + std::to_string(i + 1);
            entry->note = std::to_string(i + 1);
            entry->num = std::to_string(100 - i);
            model->paihangbang.push_back(entry);
        }
        return model;
    }
    void show(const Ref<KXHomeModel>& model) {
        protocol->setModel(model);
        collection->reloadData();
        collection->layoutIfNeeded();
    }
    std::vector<long> counts() {
        std::vector<long> items;
        for (long section = 0; section < collection->numberOfSections(); ++section)
            items.push_back(collection->numberOfItemsInSection(section));
        return items;
    }
    CGSize headerSize(long section) {
        auto attributes = collection->layoutAttributesForSupplementaryElementOfKind(
            UICollectionElementKindSectionHeader, NSIndexPath::indexPathForItem(0, section));
        return attributes ? attributes->frame().size : CGSize{0, 0};
    }
    template <class Cell> Ref<Cell> cell(long item, long section) {
        return std::dynamic_pointer_cast<Cell>(
            collection->cellForItemAtIndexPath(NSIndexPath::indexPathForItem(item, section)));
    }
    CGRect itemFrame(long item, long section) {
        return collection->layoutAttributesForItemAtIndexPath(NSIndexPath::indexPathForItem(item, section))->frame();
    }

    Ref<KXHomeProtocol> protocol = make<KXHomeProtocol>();
    Ref<UICollectionView> collection;
};

TEST_F(HomeProtocolTest, BeforeAnyAnswerOnlyTheCardAndItsHeaderShow) {
    show(nullptr);
    EXPECT_EQ(counts(), (std::vector<long>{0, 1, 0, 0}));
    EXPECT_EQ(headerSize(1), (CGSize{375, 44}));
    EXPECT_EQ(headerSize(2), (CGSize{0, 0}));
    auto card = cell<KXHomeDataCell>(0, 1);
    ASSERT_TRUE(card);
    EXPECT_EQ(card->newUserLabel()->text(), "");
    EXPECT_EQ(itemFrame(0, 1), (CGRect{0, 44, 375, 490}));
}

TEST_F(HomeProtocolTest, RankingSplitsIntoCardsAndTableRows) {
    show(answer(5, 0));
    EXPECT_EQ(counts(), (std::vector<long>{5, 1, 0, 0}));
    EXPECT_EQ(headerSize(2), (CGSize{0, 0}));
    // Four tiles a row, a quarter of the screen each; the fifth starts a row.
    EXPECT_EQ(itemFrame(3, 0), (CGRect{281.25, 0, 93.75, 70}));
    EXPECT_EQ(itemFrame(4, 0).origin.y, 70);

    show(answer(0, 3));
    EXPECT_EQ(counts(), (std::vector<long>{0, 1, 3, 0}));
    EXPECT_EQ(headerSize(2), (CGSize{375, 44}));
    // Three cards between 22-point insets, 170 high.
    EXPECT_EQ(itemFrame(0, 2), (CGRect{22, 578, 331.0 / 3, 170}));

    show(answer(0, 4));
    EXPECT_EQ(counts(), (std::vector<long>{0, 1, 3, 2}));

    show(answer(0, 10));
    EXPECT_EQ(counts(), (std::vector<long>{0, 1, 3, 8}));
    EXPECT_EQ(itemFrame(0, 3).size, (CGSize{335, 46}));
    ASSERT_TRUE(driver.scrollToItem(collection, NSIndexPath::indexPathForItem(1, 3))) << driver.lastError();
    EXPECT_TRUE(driver.find("推广排行榜"));
    auto titles = cell<KXHomeOtherRankCell>(0, 3);
    auto fourth = cell<KXHomeOtherRankCell>(1, 3);
    ASSERT_TRUE(titles && fourth);
    EXPECT_EQ(titles->userLabel()->text(), "推广员");
    EXPECT_EQ(fourth->userLabel()->text(), "推广员4");
    EXPECT_EQ(fourth->rankLabel()->text(), "4");
    auto third = cell<KXHomeTopThreeRankCell>(2, 2);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->nameLabel()->text(), "推广员3");
}

TEST_F(HomeProtocolTest, TheTitleRowShowsItsTitlesAfterItsCellWasReused) {
    show(answer(0, 30));
    const auto last = NSIndexPath::indexPathForItem(collection->numberOfItemsInSection(3) - 1, 3);
    const auto titleRow = NSIndexPath::indexPathForItem(0, 3);
    auto titlesShown = [&] {
        auto titles = cell<KXHomeOtherRankCell>(0, 3);
        return titles && titles->rankLabel()->text() == "排名" && titles->userLabel()->text() == "推广员" &&
               titles->lowUserLabel()->text() == "下级用户";
    };
    // Down to the end and back: the title row's cell is one that showed entries.
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(driver.scrollToItem(collection, last)) << driver.lastError();
        ASSERT_TRUE(driver.scrollToItem(collection, titleRow)) << driver.lastError();
        EXPECT_TRUE(titlesShown()) << "round " << round;
    }
    // A reload (as after a pull) hands the cells out again.
    show(answer(0, 30));
    EXPECT_TRUE(titlesShown());
}

TEST_F(HomeProtocolTest, OnlyGridTilesReportTaps) {
    std::vector<std::int64_t> tapped;
    protocol->didClickNav = [&](const Ref<KXHomeNavModel>& tile) { tapped.push_back(tile->type); };
    show(answer(6, 3));
    ASSERT_TRUE(driver.selectItem(collection, NSIndexPath::indexPathForItem(2, 0))) << driver.lastError();
    ASSERT_TRUE(driver.selectItem(collection, NSIndexPath::indexPathForItem(0, 1))) << driver.lastError();
    ASSERT_TRUE(driver.selectItem(collection, NSIndexPath::indexPathForItem(1, 2))) << driver.lastError();
    EXPECT_EQ(tapped, (std::vector<std::int64_t>{103}));

    // Without a model a tap hands over a blank tile.
    protocol->setModel(nullptr);
    protocol->collectionViewDidSelectItemAtIndexPath(collection, NSIndexPath::indexPathForItem(0, 0));
    EXPECT_EQ(tapped, (std::vector<std::int64_t>{103, 0}));
}

}  // namespace
