#include "app/payment/KXHeaderView.h"

void KXHeaderView::didCreate() {
    UIImageView::didCreate();
    setUserInteractionEnabled(true);
    setImage(UIImage::imageNamed("headerBackgroud.png"));
    setupViews();
}

void KXHeaderView::setupViews() {
    leftButton_ = getLeftButton();
    addSubview(leftButton_);
    title_ = getTitle();
    title_->setTextColor(UIColor::whiteColor());
    title_->setTextAlignment(NSTextAlignment::Center);
    addSubview(title_);
}

Ref<UIButton> KXHeaderView::getLeftButton() {
    if (!leftButton_) {
        leftButton_ = make<UIButton>();
        leftButton_->setAccessibilityIdentifier("leftButton");
        leftButton_->setImage(UIImage::imageNamed("返回"), UIControlStateNormal);
        leftButton_->addTarget(self<KXHeaderView>(), &KXHeaderView::clickLeftButton, UIControlEventTouchUpInside);
    }
    return leftButton_;
}

Ref<UILabel> KXHeaderView::getTitle() {
    if (!title_) {
        title_ = make<UILabel>();
        title_->setAccessibilityIdentifier("title");
    }
    return title_;
}

void KXHeaderView::clickLeftButton(const Ref<UIButton>&) {
    if (leftClick_) leftClick_();
}

void KXHeaderView::layoutSubviews() {
    UIImageView::layoutSubviews();
    const CGSize size = bounds().size;
    if (leftButton_) {
        const CGFloat side = size.height / 2.5;
        leftButton_->setFrame(CGRectMake(14, size.height - 10 - side, side, side));
    }
    if (title_) {
        const CGFloat height = leftButton_ ? leftButton_->frame().size.height : 0;
        const CGFloat centreY = leftButton_ ? CGRectGetMidY(leftButton_->frame()) : size.height / 2;
        title_->setFrame(CGRectMake(0, centreY - height / 2, size.width, height));
    }
}
