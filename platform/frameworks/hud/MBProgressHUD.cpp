#include "frameworks/hud/MBProgressHUD.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "foundation/DispatchQueue.h"

namespace {

constexpr CGFloat kItemSpacing = 4;

Ref<UILabel> makeContentLabel(CGFloat fontSize, long lines) {
    auto label = make<UILabel>();
    label->setFont(UIFont::boldSystemFontOfSize(fontSize));
    label->setTextColor(UIColor::whiteColor());
    label->setTextAlignment(NSTextAlignment::Center);
    label->setNumberOfLines(lines);
    return label;
}

// The natural size of a content view within `maxWidth`.
CGSize contentSize(const Ref<UIView>& view, CGFloat maxWidth) {
    if (auto label = cast<UILabel>(view)) {
        if (label->text().empty()) return CGSizeZero;
        CGSize size = label->sizeThatFits({maxWidth, std::numeric_limits<CGFloat>::max()});
        return {std::min(size.width, maxWidth), size.height};
    }
    CGSize size = view->intrinsicContentSize();
    if (size.width < 0 || size.height < 0) size = view->frame().size;
    return size;
}

}  // namespace

MBProgressHUD::MBProgressHUD(const Ref<UIView>& view) : UIView(view ? view->bounds() : CGRectZero) {}

void MBProgressHUD::didCreate() {
    UIView::didCreate();
    setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    setBackgroundColor(UIColor::clearColor());
    setOpaque(false);
    setAlpha(0);

    bezelView_ = make<UIView>();
    bezelView_->setBackgroundColor(UIColor::colorWithWhite(0, 0.8));
    bezelView_->layer()->setCornerRadius(5);
    bezelView_->setUserInteractionEnabled(false);
    addSubview(bezelView_);

    label_ = makeContentLabel(16, 1);
    detailsLabel_ = makeContentLabel(12, 0);
    addSubview(label_);
    addSubview(detailsLabel_);
    updateModeViews();
}

Ref<MBProgressHUD> MBProgressHUD::showHUDAddedTo(const Ref<UIView>& view, bool animated) {
    if (!view) return nullptr;
    auto hud = make<MBProgressHUD>(view);
    hud->setRemoveFromSuperViewOnHide(true);
    view->addSubview(hud);
    hud->showAnimated(animated);
    return hud;
}

Ref<MBProgressHUD> MBProgressHUD::HUDForView(const Ref<UIView>& view) {
    if (!view) return nullptr;
    const auto& subviews = view->subviews();
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        auto hud = cast<MBProgressHUD>(*it);
        if (hud && !hud->hasFinished()) return hud;
    }
    return nullptr;
}

bool MBProgressHUD::hideHUDForView(const Ref<UIView>& view, bool animated) {
    auto hud = HUDForView(view);
    if (!hud) return false;
    hud->setRemoveFromSuperViewOnHide(true);
    hud->hideAnimated(animated);
    return true;
}

void MBProgressHUD::showAnimated(bool animated) {
    finished_ = false;
    ++delayedHideGeneration_;
    setNeedsLayout();
    if (animated) {
        UIView::animateWithDuration(kAnimationDuration, [this] { setAlpha(1); });
    } else {
        setAlpha(1);
    }
}

void MBProgressHUD::hideAnimated(bool animated) {
    if (finished_) return;
    finished_ = true;
    ++delayedHideGeneration_;
    if (!animated) {
        setAlpha(0);
        finishHiding();
        return;
    }
    WeakRef<MBProgressHUD> weak = self<MBProgressHUD>();
    UIView::animateWithDuration(kAnimationDuration, [this] { setAlpha(0); }, [weak](bool) {
        if (auto hud = weak.lock()) hud->finishHiding();
    });
}

void MBProgressHUD::hideAnimated(bool animated, double delay) {
    std::uint64_t generation = ++delayedHideGeneration_;
    WeakRef<MBProgressHUD> weak = self<MBProgressHUD>();
    DispatchQueue::main()->after(delay, [weak, generation, animated] {
        auto hud = weak.lock();
        if (hud && hud->delayedHideGeneration_ == generation) hud->hideAnimated(animated);
    });
}

void MBProgressHUD::finishHiding() {
    // A show since the hide began keeps the HUD.
    if (!finished_) return;
    if (removeFromSuperViewOnHide_) removeFromSuperview();
}

bool MBProgressHUD::handleTapAt(CGPoint) { return !finished_; }

void MBProgressHUD::setMode(MBProgressHUDMode mode) {
    mode_ = mode;
    updateModeViews();
}

void MBProgressHUD::setCustomView(const Ref<UIView>& view) {
    if (customView_) customView_->removeFromSuperview();
    customView_ = view;
    updateModeViews();
}

void MBProgressHUD::setMargin(CGFloat margin) {
    margin_ = margin;
    setNeedsLayout();
}

void MBProgressHUD::setOffset(CGPoint offset) {
    offset_ = offset;
    setNeedsLayout();
}

Ref<UIView> MBProgressHUD::modeView() const {
    switch (mode_) {
        case MBProgressHUDMode::Indeterminate: return indicator_;
        case MBProgressHUDMode::CustomView: return customView_;
        case MBProgressHUDMode::Text: break;
    }
    return nullptr;
}

void MBProgressHUD::updateModeViews() {
    if (mode_ == MBProgressHUDMode::Indeterminate && !indicator_) {
        indicator_ = make<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::WhiteLarge);
        indicator_->startAnimating();
    }
    if (mode_ != MBProgressHUDMode::Indeterminate && indicator_) {
        indicator_->removeFromSuperview();
        indicator_ = nullptr;
    }
    if (customView_) {
        if (mode_ == MBProgressHUDMode::CustomView) insertSubviewAboveSubview(customView_, bezelView_);
        else customView_->removeFromSuperview();
    }
    if (indicator_) insertSubviewAboveSubview(indicator_, bezelView_);
    setNeedsLayout();
}

void MBProgressHUD::layoutSubviews() {
    CGRect area = bounds();
    CGFloat maxWidth = std::max<CGFloat>(0, area.size.width - 4 * margin_);

    struct Item {
        Ref<UIView> view;
        CGSize size;
    };
    std::vector<Item> items;
    for (const Ref<UIView>& view : {modeView(), Ref<UIView>(label_), Ref<UIView>(detailsLabel_)}) {
        if (!view) continue;
        CGSize size = contentSize(view, maxWidth);
        bool shown = size.width > 0 && size.height > 0;
        if (isKind<UILabel>(view)) view->setHidden(!shown);
        if (shown) items.push_back({view, size});
    }

    CGSize content{};
    for (const Item& item : items) {
        content.width = std::max(content.width, item.size.width);
        content.height += item.size.height;
    }
    if (items.size() > 1) content.height += kItemSpacing * static_cast<CGFloat>(items.size() - 1);

    CGSize box{std::ceil(content.width + 2 * margin_), std::ceil(content.height + 2 * margin_)};
    CGPoint centre{CGRectGetMidX(area) + offset_.x, CGRectGetMidY(area) + offset_.y};
    CGRect bezel{{std::round(centre.x - box.width / 2), std::round(centre.y - box.height / 2)}, box};
    bezelView_->setFrame(bezel);

    CGFloat y = bezel.origin.y + margin_;
    for (const Item& item : items) {
        CGFloat x = std::round(CGRectGetMidX(bezel) - item.size.width / 2);
        item.view->setFrame({{x, y}, item.size});
        y += item.size.height + kItemSpacing;
    }
}
