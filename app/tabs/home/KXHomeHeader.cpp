#include "app/tabs/home/KXHomeHeader.h"

#include "app/shell/KXLabel.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "frameworks/constraints/ConstraintViewDSL.h"

void KXHomeHeader::didCreate() {
    UICollectionReusableView::didCreate();
    setUpViews();
    setUpConstraints();
}

void KXHomeHeader::setUpViews() {
    const CGFloat s = layoutScale();
    setBackgroundColor(UIColor::clearColor());

    imageView_ = make<UIImageView>();
    imageView_->setAccessibilityIdentifier("imageView");
    addSubview(imageView_);

    titleLabel_ = KXLabel::boldLabel("数据播报", "#333333", 16 * s);
    titleLabel_->setAccessibilityIdentifier("titleLabel");
    addSubview(titleLabel_);

    rightBgView_ = make<UIView>();
    rightBgView_->setAccessibilityIdentifier("rightBgView");
    rightBgView_->setBackgroundColor(UIColor::whiteColor());
    rightBgView_->layer()->setCornerRadius(14 * s);
    rightBgView_->layer()->setBorderWidth(1);
    rightBgView_->layer()->setBorderColor(hex("#EEEEEE"));
    rightBgView_->setHidden(true);
    addSubview(rightBgView_);

    rightTitleLabel_ = KXLabel::systemLabel("今日数据", "#333333", 14 * s);
    rightTitleLabel_->setAccessibilityIdentifier("rightTitleLabel");
    rightBgView_->addSubview(rightTitleLabel_);

    rightArrowImage_ = make<UIImageView>(UIImage::imageNamed("downArrow"));
    rightArrowImage_->setAccessibilityIdentifier("rightArrowImage");
    rightBgView_->addSubview(rightArrowImage_);
}

void KXHomeHeader::setUpConstraints() {
    const CGFloat s = layoutScale();
    snp(imageView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(20 * s);
        make.centerY.equalToSuperview();
        make.width.height.equalTo(20 * s);
    });
    snp(titleLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(imageView_).right).offset(6 * s);
        make.centerY.equalToSuperview();
    });
    snp(rightBgView_).makeConstraints([&](ConstraintMaker& make) {
        make.right.equalToSuperview().offset(-20 * s);
        make.height.equalTo(28 * s);
        make.centerY.equalTo(imageView_);
    });
    snp(rightTitleLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(10 * s);
        make.centerY.equalToSuperview();
    });
    snp(rightArrowImage_).makeConstraints([&](ConstraintMaker& make) {
        make.centerY.equalToSuperview();
        make.left.equalTo(snp(rightTitleLabel_).right).offset(10 * s);
        make.right.equalToSuperview().offset(-10 * s);
        make.width.height.equalTo(16 * s);
    });
}
