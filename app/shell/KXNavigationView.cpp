#include "app/shell/KXNavigationView.h"

#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"

namespace {

constexpr CGFloat kTitleBottomGap = 10;
constexpr CGFloat kBackButtonLeft = 15;

}  // namespace

void KXNavigationView::didCreate() {
    UIView::didCreate();
    setBackgroundColor(UIColor::whiteColor());
    auto shadow = layer();
    shadow->setShadowColor(UIColorHex::colorWithHexString("#E7E7E7", 0.28));
    shadow->setShadowRadius(4 * layoutScale());
    shadow->setShadowOpacity(1.0);
    shadow->setShadowOffset({0, 2 * layoutScale()});

    titleLabel_ = KXLabel::boldLabel("-", "#333333", 18);
    titleLabel_->setAccessibilityIdentifier("titleLabel");
    addSubview(titleLabel_);

    backButton_ = UIButton::buttonWithType(UIButtonType::Custom);
    backButton_->setImage(UIImage::imageNamed("fanghui_QC"), UIControlStateNormal);
    backButton_->addTarget(self<KXNavigationView>(), &KXNavigationView::backButtonClicked, UIControlEventTouchUpInside);
    backButton_->setAccessibilityIdentifier("backButton");
    addSubview(backButton_);

    rightButton_ = UIButton::buttonWithType(UIButtonType::Custom);
    rightButton_->setAccessibilityIdentifier("rightButton");
    addSubview(rightButton_);
}

void KXNavigationView::backButtonClicked(const Ref<UIControl>&) {
    if (backButtonClick) backButtonClick();
}

CGFloat KXNavigationView::titleTop() { return titleTopForScreenHeight(screenHeight()); }

CGSize KXNavigationView::sizeThatFits(CGSize size) {
    return {size.width, titleTop() + titleLabel_->intrinsicContentSize().height + kTitleBottomGap};
}

// The title centred across the bar between its top offset and 10 points
// above the bottom; the back button at the left, level with the title.
void KXNavigationView::layoutSubviews() {
    const CGRect bar = bounds();
    const CGFloat titleWidth = std::min(titleLabel_->intrinsicContentSize().width, bar.size.width);
    const CGFloat titleHeight = std::max<CGFloat>(0, bar.size.height - titleTop() - kTitleBottomGap);
    titleLabel_->setFrame(CGRectMake((bar.size.width - titleWidth) / 2, titleTop(), titleWidth, titleHeight));
    const CGSize backSize = backButton_->intrinsicContentSize();
    backButton_->setFrame(CGRectMake(kBackButtonLeft, CGRectGetMidY(titleLabel_->frame()) - backSize.height / 2,
                                     backSize.width, backSize.height));
}
