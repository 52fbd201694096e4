#include "uikit/UIToolbar.h"

#include <algorithm>

namespace {

constexpr CGFloat kEdgeMargin = 8;

}  // namespace

void UIToolbar::setBarStyle(UIBarStyle style) {
    barStyle_ = style;
    setBackgroundColor(style == UIBarStyle::Default ? UIColor::colorWithWhite(0.97, 1)
                                                    : UIColor::colorWithWhite(0, style == UIBarStyle::Black ? 1 : 0.6));
}

void UIToolbar::setItems(std::vector<Ref<UIBarButtonItem>> items) {
    items_ = std::move(items);
    setNeedsLayout();
}

Ref<UIButton> UIToolbar::buttonForItem(const Ref<UIBarButtonItem>& item) const {
    for (std::size_t i = 0; i < items_.size() && i < buttons_.size(); ++i)
        if (item && items_[i] == item) return buttons_[i];
    return nullptr;
}

void UIToolbar::layoutSubviews() {
    UIView::layoutSubviews();
    for (const auto& button : buttons_)
        if (button) button->removeFromSuperview();
    buttons_.assign(items_.size(), nullptr);
    const UIColor tint = barStyle_ == UIBarStyle::Default ? UIColor::colorWithRed(0, 0.48, 1, 1) : UIColor::whiteColor();
    CGFloat fixed = 0;
    std::size_t spaces = 0;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (!items_[i]) {
            ++spaces;
            continue;
        }
        auto button = UIButton::buttonWithType(UIButtonType::System);
        button->setTitle(items_[i]->title(), UIControlStateNormal);
        button->setTitleColor(tint, UIControlStateNormal);
        button->setEnabled(items_[i]->isEnabled());
        WeakRef<UIBarButtonItem> item = items_[i];
        button->addTarget(self<UIToolbar>(), [item](const Ref<UIControl>&) {
            if (auto target = item.lock()) target->sendAction();
        }, UIControlEventTouchUpInside);
        const CGFloat width = items_[i]->width() > 0 ? items_[i]->width() : button->intrinsicContentSize().width;
        button->setFrame(CGRectMake(0, 0, width, bounds().size.height));
        fixed += width;
        buttons_[i] = button;
    }
    const CGFloat free = std::max<CGFloat>(0, bounds().size.width - 2 * kEdgeMargin - fixed);
    CGFloat x = kEdgeMargin;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (!buttons_[i]) {
            x += spaces ? free / spaces : 0;
            continue;
        }
        CGRect frame = buttons_[i]->frame();
        frame.origin.x = x;
        buttons_[i]->setFrame(frame);
        addSubview(buttons_[i]);
        x += frame.size.width;
    }
}
