#include <gtest/gtest.h>

#include <cstdlib>

#include "app/components/RSCollectionReusableView_Swift.h"
#include "foundation/DataFile.h"
#include "tests/app/components/RoundSectionFixtures.h"
#include "tests/support/TestShots.h"
#include "uikit/ViewSnapshot.h"

namespace {

using RoundSectionPlateTest = RoundSectionTest;

Ref<RSCollectionViewRoundLayoutAttributes_Swift> plateAttributes(long section,
                                                                Ref<RSCollectionViewRoundConfigModel_Swift> model) {
    auto attributes = UICollectionViewLayoutAttributes::layoutAttributesForDecorationViewOfKind<
        RSCollectionViewRoundLayoutAttributes_Swift>(RSCollectionViewRoundFlowLayout_Swift::RSCollectionViewRoundSectionSwift(),
                                                     NSIndexPath::indexPathForItem(0, section));
    attributes->setMyConfigModel(std::move(model));
    return attributes;
}

TEST_F(RoundSectionPlateTest, AModelOfColourAndRadiusClearsBorderAndShadow) {
    auto plate = make<RSCollectionReusableView_Swift>(CGRectMake(0, 0, 100, 50));
    EXPECT_EQ(plate->myCacheAttr()->myConfigModel(), nullptr);
    Ref<CALayer> layer = plate->layer();
    layer->setBorderWidth(3);
    layer->setBorderColor(UIColor::redColor());
    layer->setShadowOpacity(1);
    layer->setShadowOffset({4, 4});
    layer->setShadowRadius(6);

    auto model = make<RSCollectionViewRoundConfigModel_Swift>();
    model->setBackgroundColor(UIColor::whiteColor());
    model->setCornerRadius(12);
    plate->applyLayoutAttributes(plateAttributes(0, model));

    EXPECT_EQ(layer->backgroundColor(), UIColor::whiteColor());
    EXPECT_EQ(layer->cornerRadius(), 12);
    EXPECT_EQ(layer->borderWidth(), 0);
    EXPECT_EQ(layer->borderColor(), UIColor::clearColor());
    EXPECT_EQ(layer->shadowOpacity(), 0);
    EXPECT_EQ(layer->shadowColor(), UIColor::clearColor());
    EXPECT_EQ(layer->shadowOffset(), CGSizeZero);
    EXPECT_EQ(layer->shadowRadius(), 0);
    EXPECT_FALSE(layer->masksToBounds());
}

TEST_F(RoundSectionPlateTest, AttributesWithoutAModelOrOfAnotherKindLeaveTheLayer) {
    auto plate = make<RSCollectionReusableView_Swift>(CGRectMake(0, 0, 100, 50));
    auto model = make<RSCollectionViewRoundConfigModel_Swift>();
    model->setBorderWidth(2);
    model->setBorderColor(UIColor::blueColor());
    model->setShadowColor(UIColor::blackColor());
    model->setShadowOffset(CGSizeMake(0, 3));
    model->setShadowOpacity(0.25f);
    auto first = plateAttributes(1, model);
    plate->applyLayoutAttributes(first);

    plate->applyLayoutAttributes(plateAttributes(2, nullptr));
    EXPECT_EQ(plate->layer()->borderWidth(), 2);
    EXPECT_EQ(plate->layer()->borderColor(), UIColor::blueColor());
    EXPECT_EQ(plate->layer()->shadowOffset(), CGSizeMake(0, 3));
    EXPECT_FLOAT_EQ(plate->layer()->shadowOpacity(), 0.25f);
    EXPECT_EQ(plate->myCacheAttr()->indexPath().section(), 2);

    // Plain attributes are not a plate's: the cached ones stay.
    plate->applyLayoutAttributes(UICollectionViewLayoutAttributes::layoutAttributesForDecorationViewOfKind(
        "other", NSIndexPath::indexPathForItem(0, 5)));
    EXPECT_EQ(plate->myCacheAttr()->indexPath().section(), 2);
}

TEST_F(RoundSectionPlateTest, ATapOnAPlateReportsItsSectionToTheDelegate) {
    source->counts = {2, 2, 2};
    source->insets[2] = {10, 20, 10, 20};
    source->itemSize = [](const NSIndexPath&) { return CGSizeMake(335, 40); };
    layOut();

    // Section 2's plate runs from y 160 to 260; beside the cells only the plate is there.
    ASSERT_TRUE(driver.tapAt(view->convertPointToView(CGPointMake(8, 200), nullptr)));
    ASSERT_EQ(source->tappedPlates.size(), 1u);
    EXPECT_EQ(source->tappedPlates[0], NSIndexPath::indexPathForItem(0, 2));
    // A tap on a cell selects it and touches no plate.
    ASSERT_TRUE(driver.tapAt(view->convertPointToView(CGPointMake(187, 230), nullptr)));
    EXPECT_EQ(source->tappedPlates.size(), 1u);
    EXPECT_EQ(view->indexPathsForSelectedItems(), (std::vector<NSIndexPath>{NSIndexPath::indexPathForItem(1, 2)}));

    // Outside a collection view a plate takes the tap and tells nobody.
    auto loose = make<RSCollectionReusableView_Swift>(CGRectMake(0, 0, 10, 10));
    window->rootViewController()->view()->addSubview(loose);
    EXPECT_TRUE(loose->handleTapAt({5, 5}));
    EXPECT_EQ(source->tappedPlates.size(), 1u);
}

TEST_F(RoundSectionPlateTest, PlatesRenderRoundedAndShadowedBehindTheCells) {
    // The Mine tab's look: white plates with a corner radius of 12, the
    // notice section light blue, on a grey screen, each plate inset by 12.
    view->setBackgroundColor(UIColor::colorWithRed(0.96, 0.96, 0.97, 1));
    layout->setIsCalculateHeader(true);
    source->counts = {1, 1, 3};
    for (long section : {0, 1, 2}) {
        source->insets[section] = {12, 20, 12, 20};
        source->borderInsets[section] = {0, 8, 0, 8};
        auto model = make<RSCollectionViewRoundConfigModel_Swift>();
        model->setBackgroundColor(section == 1 ? UIColor::colorWithRed(0xDE / 255.0, 0xE4 / 255.0, 1, 1)
                                               : UIColor::whiteColor());
        model->setCornerRadius(12);
        model->setShadowColor(UIColor::blackColor());
        model->setShadowOpacity(0.2f);
        model->setShadowOffset(CGSizeMake(0, 2));
        model->setShadowRadius(6);
        source->models[section] = model;
    }
    source->headerSizes[2] = {0, 40};
    source->itemSize = [](const NSIndexPath& path) {
        if (path.section() == 2) return CGSizeMake(150, 60);
        return path.section() == 1 ? CGSizeMake(335, 26) : CGSizeMake(335, 60);
    };
    layOut();

    auto image = snapshotView(view, true, 2);
    ASSERT_TRUE(image);
    auto png = UIImagePNGRepresentation(image);
    ASSERT_TRUE(png);
    ASSERT_EQ(DataFile::writeToFile(*png, testShotPath("round_sections.png"), true), 0);

    auto pixel = [&](CGFloat x, CGFloat y) {
        return image->CGImage()->pixelAt(static_cast<std::size_t>(x * 2), static_cast<std::size_t>(y * 2));
    };
    // Section 0's plate spans x 8...367, y 0...84: white inside beside the
    // cell, grey outside it and in its rounded corner.
    EXPECT_EQ(pixel(12, 40).red, 255);
    EXPECT_LT(pixel(4, 40).red, 250);
    EXPECT_LT(pixel(9, 1).red, 250);
    // The notice plate below (y 84...134) is light blue.
    auto notice = pixel(12, 110);
    EXPECT_EQ(notice.red, 0xDE);
    EXPECT_EQ(notice.blue, 0xFF);
    // The shadow darkens the grey just under a plate's bottom edge.
    EXPECT_LT(pixel(187, 135).red, pixel(187, 590).red);
}

}  // namespace
