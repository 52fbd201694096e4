#include <gtest/gtest.h>

#include <cmath>

#include "graphics/UIGraphics.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

namespace {

class ContentViewTest : public AppFixture {};

TEST_F(ContentViewTest, LabelSizesFollowTheTextMetrics) {
    auto label = make<UILabel>();
    EXPECT_EQ(label->intrinsicContentSize(), CGSizeZero);
    label->setText("Hi");
    CGSize shortSize = label->intrinsicContentSize();
    label->setText("Hi there, a longer line");
    CGSize longSize = label->intrinsicContentSize();
    EXPECT_GT(longSize.width, shortSize.width * 3);
    EXPECT_EQ(longSize.height, shortSize.height);
    EXPECT_EQ(longSize.width, std::ceil(longSize.width)) << "sizes round up to whole points";
    EXPECT_NEAR(longSize.height, UIFont::systemFontOfSize(17).lineHeight(), 2);

    label->setFont(UIFont::systemFontOfSize(34));
    EXPECT_GT(label->intrinsicContentSize().height, longSize.height * 1.8);

    // A one-line label stays one line; a multi-line one wraps at the width
    // and stops at its line limit.
    label->setFont(UIFont::systemFontOfSize(17));
    label->setText("one two three four five six seven eight nine ten eleven twelve");
    CGSize oneLine = label->sizeThatFits({100, 1000});
    EXPECT_GT(oneLine.width, 100);
    label->setNumberOfLines(0);
    CGSize wrapped = label->sizeThatFits({100, 1000});
    EXPECT_LE(wrapped.width, 100);
    EXPECT_GT(wrapped.height, oneLine.height * 3);
    label->setNumberOfLines(2);
    EXPECT_NEAR(label->sizeThatFits({100, 1000}).height, 2 * oneLine.height, 2);

    label->setFrame(CGRectMake(0, 0, 100, 10));
    label->setNumberOfLines(0);
    EXPECT_EQ(label->intrinsicContentSize().height, wrapped.height) << "wraps at its own width";
    label->setPreferredMaxLayoutWidth(50);
    EXPECT_GT(label->intrinsicContentSize().height, wrapped.height);
}

TEST_F(ContentViewTest, LabelTextAttributedTextAndAccessibility) {
    auto label = make<UILabel>();
    EXPECT_FALSE(label->isUserInteractionEnabled());
    label->setText("plain");
    label->setTextColor(UIColor::redColor());
    auto shown = label->attributedText();
    EXPECT_EQ(shown.string(), "plain");
    EXPECT_EQ(shown.attributesAtIndex(0).foregroundColor, UIColor::redColor());
    EXPECT_EQ(shown.attributesAtIndex(0).font, UIFont::systemFontOfSize(17));

    // Runs without a font or colour take the label's.
    NSStringAttributes blue;
    blue.foregroundColor = UIColor::blueColor();
    label->setAttributedText(NSAttributedString("rich", blue));
    EXPECT_EQ(label->text(), "rich");
    EXPECT_EQ(label->attributedText().attributesAtIndex(1).foregroundColor, UIColor::blueColor());
    EXPECT_EQ(label->attributedText().attributesAtIndex(1).font, UIFont::systemFontOfSize(17));
    label->setText("again");
    EXPECT_EQ(label->attributedText().attributesAtIndex(0).foregroundColor, UIColor::redColor());

    EXPECT_EQ(label->accessibilityLabel(), "again");
    label->setAccessibilityLabel("Balance");
    EXPECT_EQ(label->accessibilityLabel(), "Balance");
}

TEST_F(ContentViewTest, ImageViewSizesToItsImageAndPlacesItByContentMode) {
    UIGraphicsBeginImageContextWithOptions({30, 20}, false, 2);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    ASSERT_TRUE(image);

    auto view = make<UIImageView>(image);
    EXPECT_EQ(view->frame(), CGRectMake(0, 0, 30, 20));
    EXPECT_EQ(view->intrinsicContentSize(), CGSizeMake(30, 20));
    EXPECT_FALSE(view->isUserInteractionEnabled());
    view->setImage(nullptr);
    EXPECT_EQ(view->intrinsicContentSize(), CGSizeMake(UIViewNoIntrinsicMetric, UIViewNoIntrinsicMetric));

    CGRect box = CGRectMake(0, 0, 60, 60);
    CGSize size{30, 20};
    EXPECT_EQ(UIImageView::placeImage(size, box, UIViewContentMode::ScaleToFill), box);
    EXPECT_EQ(UIImageView::placeImage(size, box, UIViewContentMode::ScaleAspectFit), CGRectMake(0, 10, 60, 40));
    EXPECT_EQ(UIImageView::placeImage(size, box, UIViewContentMode::ScaleAspectFill), CGRectMake(-15, 0, 90, 60));
    EXPECT_EQ(UIImageView::placeImage(size, box, UIViewContentMode::Center), CGRectMake(15, 20, 30, 20));
    EXPECT_EQ(UIImageView::placeImage(size, box, UIViewContentMode::BottomRight), CGRectMake(30, 40, 30, 20));
    EXPECT_EQ(UIImageView::placeImage(size, box, UIViewContentMode::Top), CGRectMake(15, 0, 30, 20));
    EXPECT_EQ(UIImageView::placeImage({0, 0}, box, UIViewContentMode::ScaleAspectFit), box);
}

}  // namespace
