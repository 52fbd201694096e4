#include "app/stats/KXGiftBagParts.h"

#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "foundation/NSURL.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "uikit/UIButton.h"
#include "uikit/UIPasteboard.h"

namespace KXGiftBagParts {

Ref<YLProgressBar> makeProgressBar(CGFloat progress) {
    auto bar = make<YLProgressBar>();
    bar->setIndicatorTextDisplayMode(YLProgressBarIndicatorTextDisplayMode::None);
    bar->setProgressTintColors({hex("#FFB60A"), hex("#F66A05")});
    bar->setTrackTintColor(hex("#EEEEEE"));
    bar->setCornerRadius(0);
    bar->setHideStripes(true);
    bar->setProgress(progress);
    bar->setHideGloss(true);
    bar->setProgressStretch(true);
    bar->setProgressBarInset(0);
    return bar;
}

double handedOutRatio(const Ref<KXGameGiftBagModel>& model) {
    const double cate = model ? model->cate : 0;
    const double shengyu = model ? model->shengyu : 0;
    return (cate - shengyu) / cate;
}

std::string surplusText(const Ref<KXGameGiftBagModel>& model) { return "剩余 " + (model ? model->bfb : std::string()); }

void loadImage(const Ref<UIImageView>& imageView, const Ref<KXGameGiftBagModel>& model) {
    UIImageViewWebCache::sd_setImageWithURL(imageView, model ? NSURL::URLWithString(model->bgimg) : nullptr);
}

Ref<UIButton> makeCopyButton() {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setTitle("复制推广", UIControlStateNormal);
    button->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    button->titleLabel()->setFont(UIFont::boldSystemFontOfSize(14 * layoutScale()));
    button->setBackgroundColor(hex("#5879FF"));
    button->layer()->setCornerRadius(12 * layoutScale());
    return button;
}

void copyLink(const Ref<KXGameGiftBagModel>& model) {
    UIPasteboard::generalPasteboard()->setString(model ? model->url : std::string());
}

}  // namespace KXGiftBagParts
