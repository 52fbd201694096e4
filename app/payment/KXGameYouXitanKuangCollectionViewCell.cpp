#include "app/payment/KXGameYouXitanKuangCollectionViewCell.h"

#include "app/promotion/KXAnswerText.h"
#include "app/team/KXTeamColors.h"
#include "foundation/NSString.h"
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

    // The name under the icon, 5 wider than the cell on each side.
    youxilabel_ = make<UILabel>(CGRectMake(-5, side + 6, side + 10, 17));
    youxilabel_->setAccessibilityIdentifier("youxilabel");
    youxilabel_->setFont(UIFont::systemFontOfSize(10));
    youxilabel_->setTextColor(KXTeamColors::bodyText());
    youxilabel_->setTextAlignment(NSTextAlignment::Center);
    youxilabel_->setText("游戏图标");
    addSubview(youxilabel_);
}

void KXGameYouXitanKuangCollectionViewCell::setDataModel(const Ref<KXdaichongzheKouModel>& model) {
    dataModel_ = model;
    if (!model) return;
    UIImageViewWebCache::sd_setImageWithURL(icoIamgeView_, KXAnswerText::imageURL(model->icon));
    youxilabel_->setText(KXAnswerText::text(model->name));
}
