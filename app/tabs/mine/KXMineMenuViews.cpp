#include "app/tabs/mine/KXMineMenuViews.h"

#include "app/shell/KXLabel.h"
#include "app/shell/KXUniversal.h"
#include "app/tabs/KXTabViews.h"
#include "frameworks/constraints/ConstraintViewDSL.h"

void KXMineHeaderView::didCreate() {
    UICollectionReusableView::didCreate();
    const CGFloat s = layoutScale();
    setBackgroundColor(UIColor::clearColor());
    imageView_ = make<UIImageView>();
    imageView_->setBackgroundColor(UIColor::clearColor());
    titleLabel_ = KXLabel::boldLabel("", "#333333", 16 * s);
    addSubview(imageView_);
    addSubview(titleLabel_);
    auto icon = imageView_;
    snp(imageView_).makeConstraints([s](ConstraintMaker& make) {
        make.left.equalTo(40 * s);
        make.bottom.equalToSuperview();
        make.width.height.equalTo(20 * s);
    });
    snp(titleLabel_).makeConstraints([s, icon](ConstraintMaker& make) {
        make.left.equalTo(snp(icon).right).offset(6 * s);
        make.bottom.equalToSuperview();
    });
}

void KXMineHeaderView::setModel(const Ref<KXMineNavModel>& model) {
    model_ = model;
    KXTabViews::loadImage(imageView_, model ? model->icon : std::string());
    titleLabel_->setText(model ? model->title : std::string());
}

void KXMineLogOutCell::didCreate() {
    UICollectionViewCell::didCreate();
    titleLabel_ = KXLabel::boldLabel("退出登录", "#444444", 14 * layoutScale());
    contentView()->addSubview(titleLabel_);
    snp(titleLabel_).makeConstraints([](ConstraintMaker& make) { make.center.equalToSuperview(); });
}

void KXMineFuncCell::didCreate() {
    UICollectionViewCell::didCreate();
    const CGFloat s = layoutScale();
    imageView_ = make<UIImageView>();
    imageView_->setBackgroundColor(UIColor::clearColor());
    titleLabel_ = KXLabel::systemLabel("", "#444444", 12 * s);
    titleLabel_->setTextAlignment(NSTextAlignment::Center);
    contentView()->addSubview(imageView_);
    contentView()->addSubview(titleLabel_);
    auto icon = imageView_;
    snp(imageView_).makeConstraints([s](ConstraintMaker& make) {
        make.centerX.equalToSuperview();
        make.width.height.equalTo(24 * s);
        make.top.equalToSuperview();
    });
    snp(titleLabel_).makeConstraints([s, icon](ConstraintMaker& make) {
        make.left.right.equalToSuperview();
        make.top.equalTo(snp(icon).bottom).offset(6 * s);
    });
}

void KXMineFuncCell::setModel(const Ref<KXMineDataModel>& model) {
    model_ = model;
    KXTabViews::loadImage(imageView_, model ? model->icon : std::string());
    titleLabel_->setText(model ? model->name : std::string());
}
