#include <gtest/gtest.h>

#include "app/components/RSCollectionReusableView_Swift.h"
#include "app/components/RSCollectionViewRoundLayoutAttributes_Swift.h"
#include "tests/app/components/RoundSectionFixtures.h"

namespace {

using RoundSectionLayoutTest = RoundSectionTest;

const UIEdgeInsets kInset{10, 15, 20, 15};

TEST_F(RoundSectionLayoutTest, ACountedHeaderStartsThePlateAndTheInsetBottomEndsIt) {
    // Content 355 wide (insets of 10 at the sides), so the plate's x and width
    // come from the header and items, not from the collection view's frame.
    view->setContentInset({0, 10, 0, 10});
    layout->setIsCalculateHeader(true);
    source->counts = {2};
    source->insets[0] = kInset;
    source->headerSizes[0] = {0, 30};
    source->itemSize = [](const NSIndexPath&) { return CGSizeMake(325, 40); };
    layOut();

    EXPECT_EQ(headerFrame(0), CGRectMake(0, 0, 355, 30));
    EXPECT_EQ(itemFrame(1), CGRectMake(15, 80, 325, 40));
    ASSERT_EQ(layout->decorationViewAttrs().size(), 1u);
    EXPECT_EQ(plateFrame(0), CGRectMake(0, 0, 355, 140));
}

TEST_F(RoundSectionLayoutTest, WithoutHeadersOrFootersThePlateSpansTheViewAndTheSectionInsets) {
    view->setContentInset({0, 10, 0, 10});
    source->counts = {4, 1};
    source->insets[0] = kInset;
    source->insets[1] = {5, 0, 5, 0};
    source->itemSize = [](const NSIndexPath&) { return CGSizeMake(100, 40); };
    layOut();

    // Three items on the first line, one on the second.
    EXPECT_EQ(CGRectGetMinY(itemFrame(0)), 10);
    EXPECT_EQ(CGRectGetMinY(itemFrame(3)), 50);
    ASSERT_EQ(layout->decorationViewAttrs().size(), 2u);
    EXPECT_EQ(plateFrame(0), CGRectMake(0, 0, 375, 110));
    EXPECT_EQ(plateFrame(1), CGRectMake(0, 110, 375, 50));
}

TEST_F(RoundSectionLayoutTest, EmptySectionsGetAPlateOnlyWhenAllowedAndSizedByAHeader) {
    layout->setIsCalculateHeader(true);
    source->counts = {0, 0, 0, 1};
    source->countsHeader[1] = false;
    source->countsWhenEmpty[1] = true;
    source->countsWhenEmpty[2] = true;
    source->headerSizes[0] = {0, 30};
    source->headerSizes[2] = {0, 30};
    source->insets[2] = kInset;
    source->itemSize = [](const NSIndexPath&) { return CGSizeMake(375, 40); };
    layOut();

    // Section 0 is empty and not allowed; section 1 is allowed but has no
    // counted header; section 2 has one; section 3 has an item.
    ASSERT_EQ(layout->decorationViewAttrs().size(), 2u);
    EXPECT_EQ(layout->decorationViewAttrs()[0]->indexPath(), NSIndexPath::indexPathForItem(0, 2));
    EXPECT_EQ(plateFrame(0), CGRectMake(0, 30, 375, 30 + 20));
    EXPECT_EQ(layout->decorationViewAttrs()[1]->indexPath(), NSIndexPath::indexPathForItem(0, 3));

    // The layout's own flag allows section 0 too; it still has a header.
    layout->setIsCanCalculateWhenRowEmpty(true);
    layOut();
    ASSERT_EQ(layout->decorationViewAttrs().size(), 3u);
    EXPECT_EQ(plateFrame(0), CGRectMake(0, 0, 375, 30));
}

TEST_F(RoundSectionLayoutTest, AHeaderCountedButMissingFallsBackToTheDefaultFrame) {
    // As the Mine tab lays out: headers counted, footers not; sections without
    // a header still get a plate around their items and insets.
    layout->setIsCalculateHeader(true);
    source->counts = {1, 2};
    source->insets[0] = kInset;
    source->insets[1] = kInset;
    source->headerSizes[1] = {0, 40};
    source->footerSizes[1] = {0, 25};
    source->itemSize = [](const NSIndexPath&) { return CGSizeMake(335, 44); };
    layOut();

    ASSERT_EQ(layout->decorationViewAttrs().size(), 2u);
    EXPECT_EQ(plateFrame(0), CGRectMake(0, 0, 375, 10 + 44 + 20));
    // The footer is not counted: the plate ends at the items plus the inset bottom.
    EXPECT_EQ(plateFrame(1), CGRectMake(0, 74, 375, 40 + 10 + 88 + 20));
}

TEST_F(RoundSectionLayoutTest, CountedFootersEndThePlate) {
    layout->setIsCalculateFooter(true);
    source->counts = {1, 1, 1};
    for (long section : {0, 1, 2}) source->insets[section] = kInset;
    source->footerSizes[0] = {0, 30};
    source->headerSizes[1] = {0, 20};
    source->footerSizes[1] = {0, 30};
    source->countsHeader[1] = true;
    source->countsHeader[2] = true;
    source->itemSize = [](const NSIndexPath&) { return CGSizeMake(345, 40); };
    layOut();

    ASSERT_EQ(layout->decorationViewAttrs().size(), 3u);
    // Footer only: from the first item less the inset top down to the footer's end.
    EXPECT_EQ(plateFrame(0), CGRectMake(0, 0, 375, 100));
    // Header and footer both there: exactly from one to the other.
    EXPECT_EQ(plateFrame(1), CGRectMake(0, 100, 375, 20 + 10 + 40 + 20 + 30));
    // Both counted but neither there: the default frame.
    EXPECT_EQ(plateFrame(2), CGRectMake(0, 220, 375, 70));
}

TEST_F(RoundSectionLayoutTest, BorderInsetsShrinkThePlateAndTravelWithTheModel) {
    source->counts = {1, 1};
    source->itemSize = [](const NSIndexPath&) { return CGSizeMake(375, 100); };
    source->borderInsets[1] = {12, 12, 12, 12};
    layOut();

    ASSERT_EQ(layout->decorationViewAttrs().size(), 2u);
    EXPECT_EQ(plateFrame(0), CGRectMake(0, 0, 375, 100));
    EXPECT_EQ(plateFrame(1), CGRectMake(12, 112, 351, 76));
    auto plate = cast<RSCollectionViewRoundLayoutAttributes_Swift>(layout->decorationViewAttrs()[1]);
    ASSERT_TRUE(plate);
    EXPECT_EQ(plate->borderEdgeInsets(), (UIEdgeInsets{12, 12, 12, 12}));
    EXPECT_EQ(plate->representedElementKind(), RSCollectionViewRoundFlowLayout_Swift::RSCollectionViewRoundSectionSwift());
    EXPECT_EQ(plate->representedElementKind(), "com.RSCollectionViewRoundSectionSwift");
    EXPECT_EQ(plate->zIndex(), -1);
    // The delegate's own model object, asked once per plate and pass.
    EXPECT_EQ(plate->myConfigModel(), source->models[1]);
    EXPECT_EQ(source->modelRequests, 2);
}

TEST_F(RoundSectionLayoutTest, UnevenCellsStretchThePlateToTheirOuterEdgesWhenAsked) {
    source->counts = {3};
    source->insets[0] = kInset;
    source->itemSize = [](const NSIndexPath& path) { return CGSizeMake(100, path.item() == 1 ? 80 : 40); };
    layOut();
    // The middle item is the tallest; the first and last sit centred beside it.
    EXPECT_EQ(CGRectGetMinY(itemFrame(0)), 30);
    EXPECT_EQ(CGRectGetMinY(itemFrame(1)), 10);
    EXPECT_EQ(plateFrame(0), CGRectMake(0, 20, 375, 40 + 10 + 20));

    layout->setIsCalculateTypeOpenIrregularitiesCell(true);
    layOut();
    EXPECT_EQ(plateFrame(0), CGRectMake(0, 0, 375, 80 + 10 + 20));
}

TEST_F(RoundSectionLayoutTest, TheRectQueryAddsEveryPlateBehindTheElements) {
    source->counts = {2, 2, 2};
    source->itemSize = [](const NSIndexPath&) { return CGSizeMake(375, 400); };
    layOut();

    auto found = layout->layoutAttributesForElementsInRect(CGRectMake(0, 0, 375, 100));
    // One item in the rect, then all three plates, however far away.
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0]->representedElementCategory(), UICollectionElementCategory::Cell);
    for (std::size_t index = 1; index < 4; ++index) {
        EXPECT_EQ(found[index], layout->decorationViewAttrs()[index - 1]);
        EXPECT_EQ(found[index]->zIndex(), -1);
    }
    EXPECT_EQ(CGRectGetMinY(found[3]->frame()), 1600);

    // The plate on screen lies behind the cells.
    auto plates = driver.findAllOfClass("RSCollectionReusableView_Swift");
    ASSERT_EQ(plates.size(), 1u);
    EXPECT_EQ(view->subviews().front(), plates.front());
}

TEST_F(RoundSectionLayoutTest, APassWithoutARoundDelegateOrSwitchedOffKeepsThePlatesItHad) {
    source->counts = {1};
    layOut();
    ASSERT_EQ(layout->decorationViewAttrs().size(), 1u);

    layout->setIsRoundEnabled(false);
    source->counts = {1, 1};
    layOut();
    EXPECT_EQ(layout->decorationViewAttrs().size(), 1u);

    // A delegate that answers only the flow layout's questions.
    class PlainDelegate : public NSObject, public UICollectionViewDelegateFlowLayout {};
    auto plain = make<PlainDelegate>();
    layout->setIsRoundEnabled(true);
    view->setDelegate(plain);
    layOut();
    EXPECT_EQ(layout->decorationViewAttrs().size(), 1u);
    EXPECT_EQ(view->numberOfSections(), 2);

    view->setDelegate(source);
    layOut();
    EXPECT_EQ(layout->decorationViewAttrs().size(), 2u);
}

TEST_F(RoundSectionLayoutTest, TheDefaultFrameGrowsAlongTheScrollDirectionAndSpansAcross) {
    source->counts = {1};
    layOut();
    EXPECT_EQ(layout->calculateDefaultFrameWithSectionFrame(CGRectMake(20, 100, 50, 60), kInset),
              CGRectMake(0, 90, 375, 90));

    view->setContentInset({30, 0, 0, 0});
    layout->setScrollDirection(UICollectionViewScrollDirection::Horizontal);
    EXPECT_EQ(layout->calculateDefaultFrameWithSectionFrame(CGRectMake(20, 100, 50, 60), kInset),
              CGRectMake(5, 90, 80, 600 - 30));
}

}  // namespace
