#include "app/tabs/home/KXHomeFunctionCell.h"

#include "app/shell/KXLabel.h"
#include "app/shell/KXUniversal.h"
#include "foundation/NSURL.h"
#include "frameworks/constraints/ConstraintViewDSL.h"
#include "frameworks/webimage/UIImageViewWebCache.h"

void KXHomeFunctionCell::didCreate() {
    UICollectionViewCell::didCreate();
    const CGFloat s = layoutScale();
    imageView_ = make<UIImageView>();
    imageView_->setAccessibilityIdentifier("imageView");
    imageView_->setBackgroundColor(UIColor::clearColor());
    contentView()->addSubview(imageView_);
    snp(imageView_).makeConstraints([&](ConstraintMaker& make) {
        make.centerX.equalToSuperview();
        make.top.equalToSuperview().offset(17 * s);
        make.width.height.equalTo(24 * s);
    });

    titleLabel_ = KXLabel::systemLabel("", "#333333", 12 * s);
    titleLabel_->setAccessibilityIdentifier("titleLabel");
    titleLabel_->setTextAlignment(NSTextAlignment::Center);
    contentView()->addSubview(titleLabel_);
    snp(titleLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.left.right.equalToSuperview();
        make.top.equalTo(snp(imageView_).bottom).offset(10 * s);
    });
}

void KXHomeFunctionCell::setModel(Ref<KXHomeNavModel> model) {
    model_ = std::move(model);
    UIImageViewWebCache::sd_setImageWithURL(imageView_, model_ ? NSURL::URLWithString(model_->icon) : nullptr);
    titleLabel_->setText(model_ ? model_->name : std::string());
}
