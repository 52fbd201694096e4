#pragma once

#include <vector>

#include "uikit/UIBarButtonItem.h"
#include "uikit/UIButton.h"

enum class UIBarStyle { Default = 0, Black = 1, BlackTranslucent = 2 };

// A bar of button items along the bottom of a screen. Each item shows as a
// button with its title (system items with their standard titles) that
// sends the item's action; a null item is a flexible space sharing what the
// items leave free. Items keep their width when they have one (else their
// title's). An item's changed title or enabled state shows at the toolbar's
// next layout (setNeedsLayout).
class UIToolbar : public UIView {
public:
    using UIView::UIView;

    UIBarStyle barStyle() const { return barStyle_; }
    void setBarStyle(UIBarStyle style);
    const std::vector<Ref<UIBarButtonItem>>& items() const { return items_; }
    void setItems(std::vector<Ref<UIBarButtonItem>> items);
    // The button showing an item (after a layout).
    Ref<UIButton> buttonForItem(const Ref<UIBarButtonItem>& item) const;

    void layoutSubviews() override;
    std::string className() const override { return "UIToolbar"; }

private:
    UIColor tint() const;

    UIBarStyle barStyle_ = UIBarStyle::Default;
    std::vector<Ref<UIBarButtonItem>> items_;
    std::vector<Ref<UIButton>> buttons_;
};
