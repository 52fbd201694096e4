#pragma once

#include <array>
#include <utility>

#include "foundation/Value.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

// A function tile of the earlier dashboards: a white square view holding a
// 24-point icon over a centred 12-point caption in "#444444". The tile's
// tag names its slot and a tap on it is handed to `onTap`.
class KXDashboardTile {
public:
    static constexpr CGFloat kIconSide = 24;
    static constexpr CGFloat kCaptionTop = 30;
    static constexpr CGFloat kCaptionHeight = 17;

    // The caption and bundle image a tile shows, slot by slot, until the
    // answer gives its own.
    static constexpr std::array<std::pair<const char*, const char*>, 8> kLocalLooks = {{
        {"推广盒子", "hezi_ico"},
        {"推广游戏", "tuiguan_ico"},
        {"申请游戏", "shengqingyouxi"},
        {"折扣代充", "zhekou"},
        {"分成结算", "fencheng_ico"},
        {"分成明细", "mingxi_ico"},
        {"我要提现", "tixian_ico"},
        {"提现明细", "tixianmingxi_ico"},
    }};

    // `frame` in the parent's space; the icon sits at (iconX, 0).
    KXDashboardTile(CGRect frame, CGFloat iconX, long tag, UIGestureRecognizer::Action onTap,
                    const Ref<NSObject>& tapTarget);

    const Ref<UIView>& view() const { return view_; }
    const Ref<UIImageView>& imageView() const { return imageView_; }
    const Ref<UILabel>& label() const { return label_; }

    // The icon from an address (a text), drawn when it arrives; nothing is
    // loaded for another value or an address that is not a URL.
    static void loadImage(const Ref<UIImageView>& imageView, const Value& address);

private:
    Ref<UIView> view_;
    Ref<UIImageView> imageView_;
    Ref<UILabel> label_;
};
