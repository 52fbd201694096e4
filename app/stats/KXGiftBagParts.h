#pragma once

#include <string>

#include "app/stats/KXGameGiftBagModel.h"
#include "frameworks/progressbar/YLProgressBar.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"

// What the gift-bag row and the gift-bag pop-up share.
namespace KXGiftBagParts {

// The two-colour bar ("#FFB60A" to "#F66A05" on "#EEEEEE"), square, no
// stripes, no gloss, stretched, no inset, showing `progress`.
Ref<YLProgressBar> makeProgressBar(CGFloat progress);
// The share of the codes handed out, (cate − shengyu) / cate, unclamped
// (the bar keeps it between empty and full and empties on a zero cate).
double handedOutRatio(const Ref<KXGameGiftBagModel>& model);
// "剩余 " followed by `bfb` ("剩余 " alone without a model).
std::string surplusText(const Ref<KXGameGiftBagModel>& model);
// Loads `bgimg` into the image view; an address that is no URL clears it.
void loadImage(const Ref<UIImageView>& imageView, const Ref<KXGameGiftBagModel>& model);
// The "复制推广" button: "#5879FF", rounded 12, bold 14 white title.
Ref<UIButton> makeCopyButton();
// Puts the bag's promotion link on the general pasteboard.
void copyLink(const Ref<KXGameGiftBagModel>& model);

}  // namespace KXGiftBagParts
