#pragma once

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
