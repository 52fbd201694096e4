#include "app/payment/KXjieSuanTableViewCell.h"

#include "app/payment/KXRecordListLook.h"
#include "app/promotion/KXAnswerText.h"
#include "app/team/KXTeamColors.h"
#include "foundation/NSURL.h"
#include "frameworks/webimage/UIImageViewWebCache.h"

void KXjieSuanTableViewCell::didCreate() {
    KXRecordCell::didCreate();
    auto icon = make<UIImageView>();
    icon->setAccessibilityIdentifier("icoIamgeView");
    icon->layer()->setCornerRadius(18);
    icon->setClipsToBounds(true);
    auto state = KXRecordListLook::label({}, 15, KXTeamColors::bodyText(), NSTextAlignment::Left, "shengehLabel");
    auto date = KXRecordListLook::label({}, 12, KXRecordListLook::secondaryText(), NSTextAlignment::Left, "riqiLabel");
    auto amount = KXRecordListLook::label({}, 16, KXTeamColors::bodyText(), NSTextAlignment::Right, "jingerLabel");
    contentView()->addSubview(icon);
    for (const auto& label : {state, date, amount}) contentView()->addSubview(label);
    icoIamgeView_ = icon;
    shengehLabel_ = state;
    riqiLabel_ = date;
    jingerLabel_ = amount;
}

void KXjieSuanTableViewCell::placeContent(CGFloat width, CGFloat) {
    const CGFloat right = width * 0.6;
    if (auto icon = icoIamgeView()) icon->setFrame({15, 14, 36, 36});
    if (auto label = shengehLabel()) label->setFrame({61, 12, right - 61, 20});
    if (auto label = riqiLabel()) label->setFrame({61, 35, right - 61, 17});
    if (auto label = jingerLabel()) label->setFrame({right, 0, width - right - 15, 64});
}

void KXjieSuanTableViewCell::setModel(const Ref<KXBillingDetailsModel>& model) {
    model_ = model;
    if (!model) return;
    // An absent or empty address leaves the image view without an image.
    UIImageViewWebCache::sd_setImageWithURL(icoIamgeView(), NSURL::URLWithString(KXAnswerText::text(model->icon)));
    shengehLabel()->setText(KXAnswerText::text(model->status));
    riqiLabel()->setText(KXAnswerText::text(model->time));
    jingerLabel()->setText(KXAnswerText::text(model->money));
}
