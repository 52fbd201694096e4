#include <gtest/gtest.h>

#include "app/components/RSCollectionViewRoundFlowLayout_Swift.h"
#include "app/shell/UIColorHex.h"
#include "app/tabs/mine/KXMineProtocol.h"
#include "tests/support/AppFixture.h"

// The Mine list's sections as the answer's menu groups change them (on the
// standard screen, where the layout scale is 1).
class MineSections : public AppFixture {
protected:
    std::optional<CGSize> itemSize(long section) {
        return list->collectionViewLayoutSizeForItemAtIndexPath(view, layout, NSIndexPath::indexPathForItem(0, section));
    }

    Ref<KXMineProtocol> list = make<KXMineProtocol>();
    Ref<UICollectionViewLayout> layout = make<RSCollectionViewRoundFlowLayout_Swift>();
    Ref<UICollectionView> view = make<UICollectionView>(CGRectZero, layout);
};

TEST_F(MineSections, WithoutGroupsTheSignOutRowIsTheThirdSection) {
    EXPECT_EQ(list->numberOfSectionsInCollectionView(view), 3);
    list->model = make<KXMineModel>();
    EXPECT_EQ(list->numberOfSectionsInCollectionView(view), 3);
    EXPECT_EQ(list->collectionViewNumberOfItemsInSection(view, 2), 1);
    EXPECT_EQ(itemSize(2), CGSizeMake(335, 44));
    EXPECT_EQ(list->collectionViewLayoutInsetForSectionAtIndex(view, layout, 2), UIEdgeInsetsMake(5, 0, 10, 0));
    EXPECT_EQ(list->collectionViewLayoutBorderEdgeInsertsForSectionAtIndex(view, layout, 2),
              UIEdgeInsetsMake(5, 20, 10, 20));
    EXPECT_EQ(list->collectionViewLayoutReferenceSizeForHeaderInSection(view, layout, 2), CGSizeZero);
    // A tap on the sign-out row signs out; on the card nothing happens.
    int signOuts = 0;
    list->logOut = [&] { ++signOuts; };
    list->collectionViewDidSelectItemAtIndexPath(view, NSIndexPath::indexPathForItem(0, 0));
    list->collectionViewDidSelectItemAtIndexPath(view, NSIndexPath::indexPathForItem(0, 2));
    EXPECT_EQ(signOuts, 1);
}

TEST_F(MineSections, AnEmptyGroupKeepsItsHeaderAndFourEntriesFillARow) {
    list->model = make<KXMineModel>();
    list->model->nav = {make<KXMineNavModel>(), make<KXMineNavModel>()};
    list->model->nav[1]->data = {make<KXMineDataModel>(), make<KXMineDataModel>()};
    list->model->nav[1]->data[1]->type = 131;
    EXPECT_EQ(list->numberOfSectionsInCollectionView(view), 5);
    EXPECT_EQ(list->collectionViewNumberOfItemsInSection(view, 2), 0);
    EXPECT_EQ(list->collectionViewLayoutReferenceSizeForHeaderInSection(view, layout, 2), CGSizeMake(335, 40));
    EXPECT_EQ(list->collectionViewNumberOfItemsInSection(view, 3), 2);
    EXPECT_EQ(itemSize(3), CGSizeMake(335.0 / 4, 50));
    EXPECT_EQ(itemSize(4), CGSizeMake(335, 44));
    // Only the ticker's plate is tinted.
    for (long section = 0; section < 5; ++section) {
        auto plate = list->collectionViewLayoutConfigModelForSectionAtIndex(view, layout, section);
        EXPECT_EQ(plate->backgroundColor(), section == 1 ? hex("#DEE4FF") : UIColor::whiteColor()) << section;
        EXPECT_EQ(plate->cornerRadius(), 12);
    }
    std::int64_t tapped = 0;
    list->didClickItem = [&](const Ref<KXMineDataModel>& item) { tapped = item->type; };
    list->collectionViewDidSelectItemAtIndexPath(view, NSIndexPath::indexPathForItem(1, 3));
    EXPECT_EQ(tapped, 131);
}
