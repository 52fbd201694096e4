#include "uikit/UIToolbar.h"

#include <algorithm>

namespace {

constexpr CGFloat kEdgeMargin = 8;

}  // namespace

void UIToolbar::setBarStyle(UIBarStyle style) {
    barStyle_ = style;
    setBackgroundColor(style == UIBarStyle::Default ? UIColor::colorWithWhite(0.97, 1)
                                                    : UIColor::colorWithWhite(0, style == UIBarStyle::Black ? 1 : 0.6));
    for (const auto& button : buttons_)
        if (button) button->setTitleColor(tint(), UIControlStateNormal);
}

UIColor UIToolbar::tint() const {
    return barStyle_ == UIBarStyle::Default ? UIColor::colorWithRed(0, 0.48, 1, 1) : UIColor::whiteColor();
}

void UIToolbar::setItems(std::vector<Ref<UIBarButtonItem>> items) {
    for (const auto& button : buttons_)
        if (button) button->removeFromSuperview();
    items_ = std::move(items);
    buttons_.assign(items_.size(), nullptr);
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (!items_[i]) continue;
        auto button = UIButton::buttonWithType(UIButtonType::System);
        button->setTitleColor(tint(), UIControlStateNormal);
        WeakRef<UIBarButtonItem> item = items_[i];
        button->addTarget(self<UIToolbar>(), [item](const Ref<UIControl>&) {
            if (auto target = item.lock()) target->sendAction();
        }, UIControlEventTouchUpInside);
        addSubview(button);
        buttons_[i] = button;
    }
    setNeedsLayout();
}

Ref<UIButton> UIToolbar::buttonForItem(const Ref<UIBarButtonItem>& item) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (item && items_[i] == item) return buttons_[i];
    return nullptr;
}

// Brings the buttons up to their items' titles and states, then places them;
// only what changed is set, so a layout pass starts no other.
void UIToolbar::layoutSubviews() {
    UIView::layoutSubviews();
    CGFloat fixed = 0;
    std::size_t spaces = 0;
    std::vector<CGFloat> widths(items_.size(), 0);
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (!items_[i]) {
            ++spaces;
            continue;
        }
        const auto& button = buttons_[i];
        if (button->titleForState(UIControlStateNormal) != std::optional(items_[i]->title()))
            button->setTitle(items_[i]->title(), UIControlStateNormal);
        if (button->isEnabled() != items_[i]->isEnabled()) button->setEnabled(items_[i]->isEnabled());
        widths[i] = items_[i]->width() > 0 ? items_[i]->width() : button->intrinsicContentSize().width;
        fixed += widths[i];
    }
    const CGFloat free = std::max<CGFloat>(0, bounds().size.width - 2 * kEdgeMargin - fixed);
    CGFloat x = kEdgeMargin;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (!items_[i]) {
            x += spaces ? free / spaces : 0;
            continue;
        }
        const CGRect frame = CGRectMake(x, 0, widths[i], bounds().size.height);
        if (!(buttons_[i]->frame() == frame)) buttons_[i]->setFrame(frame);
        x += widths[i];
    }
}
