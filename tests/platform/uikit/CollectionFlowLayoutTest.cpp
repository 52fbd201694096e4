#include <gtest/gtest.h>

#include "tests/platform/uikit/CollectionViewFixtures.h"
#include "tests/support/AppFixture.h"

namespace {

class CollectionFlowLayoutTest : public AppFixture {};

TEST_F(CollectionFlowLayoutTest, VerticalLinesAreJustifiedAndASingleItemIsCentred) {
    CollectionSetup setup(CGRectMake(0, 0, 320, 480));
    setup.layout->setItemSize({100, 50});
    setup.layout->setMinimumInteritemSpacing(10);
    setup.layout->setMinimumLineSpacing(20);
    setup.layout->setSectionInset({5, 10, 15, 10});
    setup.source->counts = {5};
    setup.view->layoutIfNeeded();

    // 300 points of line: two items fit (210), a third would not (320).
    EXPECT_EQ(setup.itemFrame(0), CGRectMake(10, 5, 100, 50));
    EXPECT_EQ(setup.itemFrame(1), CGRectMake(210, 5, 100, 50));
    EXPECT_EQ(setup.itemFrame(2), CGRectMake(10, 75, 100, 50));
    EXPECT_EQ(setup.itemFrame(3), CGRectMake(210, 75, 100, 50));
    EXPECT_EQ(setup.itemFrame(4), CGRectMake(110, 145, 100, 50));
    EXPECT_EQ(setup.layout->collectionViewContentSize(), CGSizeMake(320, 210));
    EXPECT_EQ(setup.view->contentSize(), CGSizeMake(320, 210));
    EXPECT_EQ(setup.itemFrame(5), CGRectNull);
    EXPECT_EQ(setup.itemFrame(0, 1), CGRectNull);
}

TEST_F(CollectionFlowLayoutTest, ItemsOfALineAreCentredOnItsTallestItem) {
    CollectionSetup setup(CGRectMake(0, 0, 300, 480));
    setup.layout->setMinimumInteritemSpacing(0);
    setup.layout->setMinimumLineSpacing(0);
    setup.source->counts = {4};
    setup.source->itemSize = [](const NSIndexPath& path) -> std::optional<CGSize> {
        return CGSizeMake(100, path.item() == 1 ? 80 : 40);
    };
    setup.view->layoutIfNeeded();

    EXPECT_EQ(setup.itemFrame(0), CGRectMake(0, 20, 100, 40));
    EXPECT_EQ(setup.itemFrame(1), CGRectMake(100, 0, 100, 80));
    EXPECT_EQ(setup.itemFrame(2), CGRectMake(200, 20, 100, 40));
    EXPECT_EQ(setup.itemFrame(3), CGRectMake(100, 80, 100, 40));
}

TEST_F(CollectionFlowLayoutTest, WidthsThatAddUpToTheLineShareItDespiteRounding) {
    // Four items a row on a 390-point screen scaled by 1.04: (390 - 41.6) / 4
    // each, whose sum overshoots 348.4 in floating point.
    const CGFloat s = 390.0 / 375.0;
    CollectionSetup setup(CGRectMake(0, 0, 390, 600));
    setup.layout->setMinimumInteritemSpacing(0);
    setup.layout->setMinimumLineSpacing(0);
    setup.layout->setSectionInset({20 * s, 20 * s, 20 * s, 20 * s});
    setup.layout->setItemSize({(390 - 40 * s) / 4, 50 * s});
    setup.source->counts = {8};
    setup.view->layoutIfNeeded();

    for (long item = 0; item < 8; ++item) {
        CGRect frame = setup.itemFrame(item);
        EXPECT_NEAR(frame.origin.x, 20 * s + (item % 4) * (390 - 40 * s) / 4, 1e-9) << item;
        EXPECT_NEAR(frame.origin.y, 20 * s + (item / 4) * 50 * s, 1e-9) << item;
    }
}

TEST_F(CollectionFlowLayoutTest, HorizontalLinesRunDownAndStackToTheRight) {
    CollectionSetup setup(CGRectMake(0, 0, 400, 200));
    setup.layout->setScrollDirection(UICollectionViewScrollDirection::Horizontal);
    setup.layout->setItemSize({50, 40});
    setup.layout->setMinimumInteritemSpacing(10);
    setup.layout->setMinimumLineSpacing(20);
    setup.layout->setSectionInset({10, 5, 10, 5});
    setup.source->counts = {5};
    setup.view->layoutIfNeeded();

    // 180 points down: three items fit, spread 30 apart; the last column's two 100 apart.
    EXPECT_EQ(setup.itemFrame(0), CGRectMake(5, 10, 50, 40));
    EXPECT_EQ(setup.itemFrame(1), CGRectMake(5, 80, 50, 40));
    EXPECT_EQ(setup.itemFrame(2), CGRectMake(5, 150, 50, 40));
    EXPECT_EQ(setup.itemFrame(3), CGRectMake(75, 10, 50, 40));
    EXPECT_EQ(setup.itemFrame(4), CGRectMake(75, 150, 50, 40));
    EXPECT_EQ(setup.layout->collectionViewContentSize(), CGSizeMake(130, 200));
}

TEST_F(CollectionFlowLayoutTest, HeadersAndFootersFrameEachSectionAlongTheScrollDirection) {
    CollectionSetup setup(CGRectMake(0, 0, 320, 480));
    setup.layout->setItemSize({320, 40});
    setup.layout->setMinimumLineSpacing(0);
    setup.layout->setSectionInset({10, 0, 20, 0});
    setup.layout->setHeaderReferenceSize({100, 30});
    setup.source->footerSizes[1] = {0, 25};
    setup.source->headerSizes[1] = {0, 0};
    setup.source->counts = {2, 1, 0};
    setup.view->layoutIfNeeded();

    // Section 0: header spanning the width, then the inset, two rows, the inset.
    EXPECT_EQ(setup.supplementaryFrame(UICollectionElementKindSectionHeader, 0), CGRectMake(0, 0, 320, 30));
    EXPECT_EQ(setup.itemFrame(0, 0), CGRectMake(0, 40, 320, 40));
    EXPECT_EQ(setup.itemFrame(1, 0), CGRectMake(0, 80, 320, 40));
    EXPECT_EQ(setup.supplementaryFrame(UICollectionElementKindSectionFooter, 0), CGRectNull);
    // Section 1 starts at 140: no header (the delegate says 0), a footer after the inset.
    EXPECT_EQ(setup.supplementaryFrame(UICollectionElementKindSectionHeader, 1), CGRectNull);
    EXPECT_EQ(setup.itemFrame(0, 1), CGRectMake(0, 150, 320, 40));
    EXPECT_EQ(setup.supplementaryFrame(UICollectionElementKindSectionFooter, 1), CGRectMake(0, 210, 320, 25));
    // An empty section keeps its header and insets.
    EXPECT_EQ(setup.supplementaryFrame(UICollectionElementKindSectionHeader, 2), CGRectMake(0, 235, 320, 30));
    EXPECT_EQ(setup.layout->collectionViewContentSize().height, 295);
    EXPECT_EQ(setup.supplementaryFrame("other kind", 0), CGRectNull);

    auto header = setup.layout->layoutAttributesForSupplementaryViewOfKind(UICollectionElementKindSectionHeader,
                                                                          NSIndexPath::indexPathForItem(0, 2));
    EXPECT_EQ(header->representedElementCategory(), UICollectionElementCategory::SupplementaryView);
    EXPECT_EQ(header->representedElementKind(), UICollectionElementKindSectionHeader);
    EXPECT_EQ(header->indexPath(), NSIndexPath::indexPathForItem(0, 2));

    // Horizontally, the header is as wide as its reference width and as tall as the view.
    setup.layout->setScrollDirection(UICollectionViewScrollDirection::Horizontal);
    setup.layout->setItemSize({40, 40});
    setup.layout->invalidateLayout();
    setup.view->layoutIfNeeded();
    EXPECT_EQ(setup.supplementaryFrame(UICollectionElementKindSectionHeader, 0), CGRectMake(0, 0, 100, 480));
    EXPECT_EQ(setup.itemFrame(0, 0).origin.x, 100);
}

TEST_F(CollectionFlowLayoutTest, DelegateAnswersWinPerSectionAndPropertiesFillTheRest) {
    CollectionSetup setup(CGRectMake(0, 0, 300, 480));
    setup.layout->setItemSize({90, 30});
    setup.layout->setMinimumInteritemSpacing(10);
    setup.layout->setMinimumLineSpacing(5);
    setup.source->counts = {4, 4};
    // Section 1 answers everything; section 0 only its item sizes for item 0.
    setup.source->itemSize = [](const NSIndexPath& path) -> std::optional<CGSize> {
        if (path.section() == 1) return CGSizeMake(140, 20);
        if (path.item() == 0) return CGSizeMake(200, 30);
        return std::nullopt;
    };
    setup.source->insets[1] = {1, 10, 2, 10};
    setup.source->lineSpacing[1] = 7;
    setup.source->interitemSpacing[1] = 0;
    setup.view->layoutIfNeeded();

    // Section 0: 200 + 10 + 90 = 300 fits; then three 90s: 290 fits.
    EXPECT_EQ(setup.itemFrame(0, 0), CGRectMake(0, 0, 200, 30));
    EXPECT_EQ(setup.itemFrame(1, 0), CGRectMake(210, 0, 90, 30));
    EXPECT_EQ(setup.itemFrame(2, 0), CGRectMake(0, 35, 90, 30));
    EXPECT_EQ(setup.itemFrame(3, 0), CGRectMake(210, 35, 90, 30));
    // Section 1 from y 65: inset 1, two 140s per 280-point line, lines 7 apart.
    EXPECT_EQ(setup.itemFrame(0, 1), CGRectMake(10, 66, 140, 20));
    EXPECT_EQ(setup.itemFrame(1, 1), CGRectMake(150, 66, 140, 20));
    EXPECT_EQ(setup.itemFrame(2, 1), CGRectMake(10, 93, 140, 20));
    EXPECT_EQ(setup.layout->collectionViewContentSize().height, 115);

    // A delegate that is not a flow-layout delegate answers nothing.
    class PlainDelegate : public NSObject, public UICollectionViewDelegate {};
    auto plain = make<PlainDelegate>();
    setup.view->setDelegate(plain);
    setup.view->layoutIfNeeded();
    EXPECT_EQ(setup.itemFrame(0, 1), CGRectMake(0, 65, 90, 30));
}

TEST_F(CollectionFlowLayoutTest, RectQueriesReturnOnlyElementsSharingArea) {
    CollectionSetup setup(CGRectMake(0, 0, 100, 100));
    setup.layout->setItemSize({100, 50});
    setup.layout->setMinimumLineSpacing(0);
    setup.layout->setHeaderReferenceSize({0, 20});
    setup.source->counts = {10, 10};
    setup.view->layoutIfNeeded();

    // Section 0 spans 0-520; section 1's header sits at 520-540, its items from 540.
    auto found = setup.layout->layoutAttributesForElementsInRect(CGRectMake(0, 500, 100, 60));
    std::vector<std::string> names;
    for (const auto& attributes : found)
        names.push_back(attributes->representedElementKind().value_or("cell") + " " +
                        attributes->indexPath().description());
    EXPECT_EQ(names, (std::vector<std::string>{"cell {0, 9}", UICollectionElementKindSectionHeader + " {1, 0}",
                                               "cell {1, 0}"}));
    EXPECT_TRUE(setup.layout->layoutAttributesForElementsInRect(CGRectMake(0, 2000, 100, 100)).empty());
}

TEST_F(CollectionFlowLayoutTest, BoundsChangesInvalidateOnlyWhenTheSizeChanges) {
    CollectionSetup setup(CGRectMake(0, 0, 320, 200));
    setup.layout->setItemSize({100, 100});
    setup.source->counts = {6};
    setup.view->layoutIfNeeded();
    EXPECT_FALSE(setup.layout->shouldInvalidateLayoutForBoundsChange(CGRectMake(0, 50, 320, 200)));
    EXPECT_TRUE(setup.layout->shouldInvalidateLayoutForBoundsChange(CGRectMake(0, 0, 220, 200)));

    // Narrower: two items a line instead of three, without an explicit invalidation.
    setup.view->setFrame(CGRectMake(0, 0, 220, 200));
    setup.view->layoutIfNeeded();
    EXPECT_EQ(setup.itemFrame(2), CGRectMake(0, 110, 100, 100));
    EXPECT_EQ(setup.view->contentSize(), CGSizeMake(220, 320));
}

TEST_F(CollectionFlowLayoutTest, AttributesCopyAsTheirOwnClassAndCompareByValue) {
    struct Tinted : UICollectionViewLayoutAttributes {
        int tint = 0;
    };
    auto path = NSIndexPath::indexPathForItem(0, 3);
    auto original = UICollectionViewLayoutAttributes::layoutAttributesForDecorationViewOfKind<Tinted>("plate", path);
    original->setFrame(CGRectMake(10, 20, 100, 40));
    original->setZIndex(-1);
    original->setAlpha(0.5);
    original->tint = 7;

    auto copied = original->copy();
    ASSERT_TRUE(isKind<Tinted>(copied));
    EXPECT_NE(copied, original);
    EXPECT_EQ(cast<Tinted>(copied)->tint, 0) << "a subclass's own fields are not copied";
    EXPECT_TRUE(copied->isEqual(*original));
    EXPECT_EQ(copied->representedElementCategory(), UICollectionElementCategory::DecorationView);
    EXPECT_EQ(copied->representedElementKind(), "plate");
    EXPECT_EQ(copied->zIndex(), -1);

    copied->setCenter({0, 0});
    EXPECT_EQ(copied->frame(), CGRectMake(-50, -20, 100, 40));
    copied->setSize({20, 20});
    EXPECT_EQ(copied->frame(), CGRectMake(-10, -10, 20, 20));
    EXPECT_EQ(copied->bounds(), CGRectMake(0, 0, 20, 20));
    EXPECT_FALSE(copied->isEqual(*original));

    auto cell = UICollectionViewLayoutAttributes::layoutAttributesForCellWithIndexPath(path);
    EXPECT_EQ(cell->representedElementKind(), std::nullopt);
    cell->setFrame(original->frame());
    EXPECT_FALSE(cell->isEqual(*original)) << "different element and class";
}

}  // namespace
