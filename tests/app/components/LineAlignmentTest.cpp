#include <gtest/gtest.h>

#include <algorithm>

#include "app/components/RSCollectionViewFlowLayoutUtils_Swift.h"
#include "tests/app/components/RoundSectionFixtures.h"

namespace {

using Type = RSCollectionViewRoundFlowLayoutSwiftAlignmentType;

// One line of three cells, 50, 60 and 70 wide, in a 375-point collection
// with insets of 15 at the sides and 10 points between cells.
class LineAlignmentTest : public RoundSectionTest {
protected:
    LineAlignmentTest() {
        source->counts = {3};
        source->insets[0] = {0, 15, 0, 15};
        source->interitemSpacing[0] = 10;
        source->itemSize = [](const NSIndexPath& path) { return CGSizeMake(50 + 10 * path.item(), 30); };
    }

    // The cells' x in item order, as the rect query answers after aligning.
    std::vector<CGFloat> alignedX(Type type) {
        layout->setCollectionCellAlignmentType(type);
        layOut();
        std::vector<std::pair<long, CGFloat>> cells;
        for (const auto& attributes : layout->layoutAttributesForElementsInRect(CGRectMake(0, 0, 375, 600)))
            if (attributes->representedElementCategory() == UICollectionElementCategory::Cell)
                cells.emplace_back(attributes->indexPath().item(), CGRectGetMinX(attributes->frame()));
        std::sort(cells.begin(), cells.end());
        std::vector<CGFloat> xs;
        for (const auto& cell : cells) xs.push_back(cell.second);
        return xs;
    }

    // A handmade cell of the line group tests.
    static Ref<UICollectionViewLayoutAttributes> cellAt(long item, CGRect frame) {
        auto attributes = UICollectionViewLayoutAttributes::layoutAttributesForCellWithIndexPath(
            NSIndexPath::indexPathForItem(item, 0));
        attributes->setFrame(frame);
        return attributes;
    }
};

TEST_F(LineAlignmentTest, EachTypePlacesTheLineAsSpecifiedByItsNumbers) {
    EXPECT_EQ(alignedX(Type::left), (std::vector<CGFloat>{15, 75, 145}));
    EXPECT_EQ(alignedX(Type::right), (std::vector<CGFloat>{160, 220, 290}));
    EXPECT_EQ(alignedX(Type::rightToLeft), (std::vector<CGFloat>{310, 240, 160}));
    // (375 - 180 - 3 x 10) / 2 = 82.5: the spacing counts once per cell, so
    // the line sits half a spacing left of the middle.
    EXPECT_EQ(alignedX(Type::center), (std::vector<CGFloat>{82.5, 142.5, 212.5}));
    // The flow layout's own placement spreads the line over the whole width.
    EXPECT_EQ(alignedX(Type::system), (std::vector<CGFloat>{15, 147.5, 290}));
}

TEST_F(LineAlignmentTest, AligningWorksOnCopiesAndKeepsTheOrderOfEachLine) {
    source->counts = {6};
    layout->setCollectionCellAlignmentType(Type::right);
    layOut();
    auto found = layout->layoutAttributesForElementsInRect(CGRectMake(0, 0, 375, 600));
    // Two lines (50 + 60 + 70 + 80 fit, 90 and 100 go below), each kept in
    // item order, then the plate.
    ASSERT_EQ(found.size(), 7u);
    for (long item = 0; item < 6; ++item) EXPECT_EQ(found[static_cast<std::size_t>(item)]->indexPath().item(), item);
    EXPECT_EQ(CGRectGetMaxX(found[3]->frame()), 360);
    EXPECT_EQ(CGRectGetMaxX(found[5]->frame()), 360);
    EXPECT_EQ(CGRectGetMinX(found[4]->frame()), 360 - 100 - 10 - 90);
    // The layout's stored attributes keep the flow layout's placement.
    auto stored = layout->layoutAttributesForItemAtIndexPath(NSIndexPath::indexPathForItem(0, 0));
    EXPECT_NE(found[0], stored);
    EXPECT_EQ(CGRectGetMinX(stored->frame()), 15);
    // The shown cells take the aligned frames.
    auto cell = view->cellForItemAtIndexPath(NSIndexPath::indexPathForItem(5, 0));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->frame(), found[5]->frame());
}

TEST_F(LineAlignmentTest, WithoutAnAlignmentOrScrollingSidewaysTheFlowLayoutsOwnAttributesComeBack) {
    layOut();
    auto stored = layout->layoutAttributesForItemAtIndexPath(NSIndexPath::indexPathForItem(1, 0));
    auto found = layout->layoutAttributesForElementsInRect(CGRectMake(0, 0, 375, 600));
    EXPECT_EQ(found[1], stored);

    layout->setCollectionCellAlignmentType(Type::left);
    layout->setScrollDirection(UICollectionViewScrollDirection::Horizontal);
    layOut();
    stored = layout->layoutAttributesForItemAtIndexPath(NSIndexPath::indexPathForItem(1, 0));
    found = layout->layoutAttributesForElementsInRect(CGRectMake(0, 0, 2000, 600));
    EXPECT_EQ(found[1], stored);
}

TEST_F(LineAlignmentTest, HeadersKeepTheirFramesUnderEveryRule) {
    source->headerSizes[0] = {0, 40};
    for (Type type : {Type::left, Type::center, Type::right, Type::rightToLeft}) {
        layout->setCollectionCellAlignmentType(type);
        layOut();
        auto found = layout->layoutAttributesForElementsInRect(CGRectMake(0, 0, 375, 600));
        ASSERT_FALSE(found.empty());
        EXPECT_EQ(found[0]->representedElementKind(), UICollectionElementKindSectionHeader);
        EXPECT_EQ(found[0]->frame(), CGRectMake(0, 0, 375, 40)) << static_cast<long>(type);
    }
}

TEST_F(LineAlignmentTest, LinesAreKeyedByTheExactCentre) {
    layOut();
    std::vector<Ref<UICollectionViewLayoutAttributes>> attrs{
        cellAt(0, CGRectMake(0, 0, 50, 30)), cellAt(1, CGRectMake(60, 0, 50, 31)), cellAt(2, CGRectMake(120, 0, 50, 30)),
        cellAt(3, CGRectMake(0, 40, 50, 30))};
    auto lines = layout->groupLayoutAttributesForElementsByYLineWithLayoutAttributesAttrs(attrs);
    // A cell half a point taller stands on a line of its own.
    ASSERT_EQ(lines.size(), 3u);
    ASSERT_EQ(lines[0].size(), 2u);
    EXPECT_EQ(lines[0][1]->indexPath().item(), 2);
    EXPECT_NE(lines[0][0], attrs[0]);
    EXPECT_EQ(lines[0][0]->frame(), attrs[0]->frame());
    EXPECT_EQ(lines[1][0]->indexPath().item(), 1);

    // Keyed by the left edge: items 0 and 3 share x 0.
    auto columns = layout->groupLayoutAttributesForElementsByXLineWithLayoutAttributesAttrs(attrs);
    ASSERT_EQ(columns.size(), 3u);
    ASSERT_EQ(columns[0].size(), 2u);
    EXPECT_EQ(columns[0][1]->indexPath().item(), 3);

    std::vector<Ref<UICollectionViewLayoutAttributes>> result{attrs[0]};
    layout->alignLinesForAlignmentType(lines, result, Type::left);
    ASSERT_EQ(result.size(), 4u);
    EXPECT_EQ(CGRectGetMinX(result[0]->frame()), 15);
    EXPECT_EQ(CGRectGetMinX(result[1]->frame()), 15 + 50 + 10);
    EXPECT_EQ(CGRectGetMinX(result[2]->frame()), 15);
}

TEST_F(LineAlignmentTest, SidewaysRulesMoveCellsDownTheLineOrLeaveThem) {
    layOut();
    layout->setScrollDirection(UICollectionViewScrollDirection::Horizontal);
    std::vector<Ref<UICollectionViewLayoutAttributes>> column{cellAt(0, CGRectMake(0, 100, 50, 30)),
                                                              cellAt(1, CGRectMake(0, 200, 50, 40))};
    source->insets[0] = {5, 15, 0, 15};
    RSCollectionViewRoundFlowLayout_Swift::evaluatedCellSettingFrameByLeftWithWithRSCollectionLayout(*layout, column);
    EXPECT_EQ(column[0]->frame(), CGRectMake(0, 5, 50, 30));
    EXPECT_EQ(column[1]->frame(), CGRectMake(0, 45, 50, 40));

    column[1]->setFrame(CGRectMake(0, 300, 50, 40));
    RSCollectionViewRoundFlowLayout_Swift::evaluatedCellSettingFrameByCenterWithWithRSCollectionLayout(*layout, column);
    EXPECT_EQ(CGRectGetMinY(column[1]->frame()), 45);

    RSCollectionViewRoundFlowLayout_Swift::evaluatedCellSettingFrameByRightWithWithRSCollectionLayout(*layout, column);
    EXPECT_EQ(CGRectGetMinY(column[1]->frame()), 45);
}

TEST_F(LineAlignmentTest, EdgeMeasuresFindTheOuterItemsOfASection) {
    source->itemSize = [](const NSIndexPath& path) { return CGSizeMake(100, path.item() == 1 ? 80 : 40); };
    layOut();
    using Utils = RSCollectionViewFlowLayoutUtils_Swift;
    CGRect first = itemFrame(0);
    EXPECT_EQ(Utils::firstItemMinEdge(*layout, 0, 3, first), CGRectMake(first.origin.x, 0, 100, 40));
    // The tallest item reaches furthest; its whole frame comes back.
    EXPECT_EQ(Utils::lastItemMaxEdge(*layout, 0, 3, itemFrame(2)), itemFrame(1));
    // None beyond the given frame: the last item's.
    EXPECT_EQ(Utils::lastItemMaxEdge(*layout, 0, 3, CGRectMake(0, 0, 10, 500)), itemFrame(2));
    EXPECT_EQ(Utils::minimumInteritemSpacingForSection(*layout, 0), 10);
    EXPECT_EQ(Utils::minimumInteritemSpacingForSection(*layout, 7), layout->minimumInteritemSpacing());
}

TEST(AlignmentTypeTest, RawValuesOutsideTheCasesGiveNothing) {
    EXPECT_EQ(RSCollectionViewRoundFlowLayoutSwiftAlignmentTypeFromRawValue(3), Type::right);
    EXPECT_EQ(RSCollectionViewRoundFlowLayoutSwiftAlignmentTypeFromRawValue(0), Type::system);
    EXPECT_EQ(RSCollectionViewRoundFlowLayoutSwiftAlignmentTypeFromRawValue(5), std::nullopt);
    EXPECT_EQ(RSCollectionViewRoundFlowLayoutSwiftAlignmentTypeFromRawValue(-1), std::nullopt);
}

}  // namespace
