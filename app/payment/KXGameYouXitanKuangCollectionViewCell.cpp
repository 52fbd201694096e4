#include "app/payment/KXGameYouXitanKuangCollectionViewCell.h"

#include "app/team/KXTeamColors.h"
#include "foundation/NSString.h"
#include "foundation/NSURL.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "uikit/UIScreen.h"

void KXGameYouXitanKuangCollectionViewCell::didCreate() {
    UICollectionViewCell::didCreate();
    setupUI();
}

void KXGameYouXitanKuangCollectionViewCell::setupUI() {
    const CGFloat side = 44 * UIScreen::mainScreen()->bounds().size.width / 375;
    icoIamgeView_ = make<UIImageView>(CGRectMake(0, 0, side, side));
    icoIamgeView_->setAccessibilityIdentifier("icoIamgeView");
    icoIamgeView_->setBackgroundColor(UIColor::whiteColor());
    icoIamgeView_->layer()->setCornerRadius(8);
    icoIamgeView_->setClipsToBounds(true);
    contentView()->addSubview(icoIamgeView_);

    // The name spans the cell under the icon (5 further each side on the
    // phone would run past the cell): a name wider than the icon takes a
    // smaller font to stay within it.
    youxilabel_ = make<UILabel>(CGRectMake(0, side + 6, side, 17));
    youxilabel_->setAccessibilityIdentifier("youxilabel");
    youxilabel_->setFont(UIFont::systemFontOfSize(10));
    youxilabel_->setAdjustsFontSizeToFitWidth(true);
    youxilabel_->setMinimumScaleFactor(0.7);
    youxilabel_->setTextColor(KXTeamColors::bodyText());
    youxilabel_->setTextAlignment(NSTextAlignment::Center);
    youxilabel_->setText("游戏图标");
    addSubview(youxilabel_);
}

void KXGameYouXitanKuangCollectionViewCell::setDataModel(const Ref<KXdaichongzheKouModel>& model) {
    dataModel_ = model;
    if (!model) return;
    UIImageViewWebCache::sd_setImageWithURL(icoIamgeView_, NSURL::URLWithString(model->icon.value_or("")));
    youxilabel_->setText(model->name ? *model->name : "(null)");
}
