#include "app/promotion/KXDashboardTile.h"

#include "app/promotion/KXAnswerText.h"
#include "app/shell/UIColorHex.h"
#include "foundation/NSURL.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "uikit/UITapGestureRecognizer.h"

KXDashboardTile::KXDashboardTile(CGRect frame, CGFloat iconX, long tag, UIGestureRecognizer::Action onTap,
                                 const Ref<NSObject>& tapTarget) {
    view_ = make<UIView>(frame);
    view_->setBackgroundColor(UIColor::whiteColor());
    view_->setTag(tag);
    view_->addGestureRecognizer(make<UITapGestureRecognizer>(tapTarget, std::move(onTap)));

    imageView_ = make<UIImageView>(CGRect{iconX, 0, kIconSide, kIconSide});
    imageView_->setUserInteractionEnabled(true);
    imageView_->setTag(tag);
    view_->addSubview(imageView_);

    label_ = make<UILabel>(CGRect{0, kCaptionTop, frame.size.width, kCaptionHeight});
    label_->setTextAlignment(NSTextAlignment::Center);
    label_->setFont(UIFont::systemFontOfSize(12));
    label_->setTextColor(UIColorHex::colorWithHexStringWithHexString("#444444"));
    view_->addSubview(label_);
}

void KXDashboardTile::loadImage(const Ref<UIImageView>& imageView, const Value& address) {
    UIImageViewWebCache::sd_setImageWithURL(imageView, KXAnswerText::imageURL(address));
}
