#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "foundation/StoredBlock.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"
#include "uikit/UITabBarItem.h"
#include "uikit/UIView.h"

class UIImageView;

// The bar of tabs at the bottom of a tab bar controller: one button per
// item, side by side in equal widths, each with the item's image (the
// selected image on the selected tab) over its title. The selected title is
// drawn in the tint colour, the others in the unselected item tint colour
// (grey by default). The background is the background colour, else the bar
// tint colour, else near-white (translucent) or white; a background image
// is drawn over it; a hairline runs along the top unless a shadow image
// replaces it (an image without pixels removes it).
//
// `appearance()` is a bar whose settings every tab bar takes when it first
// enters a window, unless the bar set the property itself, as UIKit does.
class UITabBar : public UIView {
    struct ProxyTag {};

public:
    // The bar's height above the bottom safe-area inset.
    static constexpr CGFloat kHeight = 49;

    UITabBar() = default;
    explicit UITabBar(CGRect frame) : UIView(frame) {}

    // The appearance proxies are made with this (a bar that draws nothing).
    explicit UITabBar(ProxyTag) : proxy_(true) {}
    static Ref<UITabBar> appearance();
    // Forgets the proxy's settings (for tests).
    static void resetAppearance();

    // --- Items ---
    const std::vector<Ref<UITabBarItem>>& items() const { return items_; }
    void setItems(std::vector<Ref<UITabBarItem>> items);
    Ref<UITabBarItem> selectedItem() const;
    void setSelectedItem(const Ref<UITabBarItem>& item);
    // What a tap on the item at an index does (the tab bar controller selects).
    void setItemTapHandler(StoredBlock<void(std::size_t)> handler) { itemTapHandler_ = std::move(handler); }
    // The button drawn for the item at an index (null past the end).
    Ref<UIView> buttonForItemAtIndex(std::size_t index) const;

    // --- Look ---
    // These hide UIView's, so that the proxy records them too.
    std::optional<UIColor> backgroundColor() const;
    void setBackgroundColor(std::optional<UIColor> color);
    void setTintColor(std::optional<UIColor> color);
    std::optional<UIColor> barTintColor() const;
    void setBarTintColor(std::optional<UIColor> color);
    std::optional<UIColor> unselectedItemTintColor() const;
    void setUnselectedItemTintColor(std::optional<UIColor> color);
    bool isTranslucent() const;
    void setTranslucent(bool translucent);
    Ref<UIImage> backgroundImage() const;
    void setBackgroundImage(const Ref<UIImage>& image);
    Ref<UIImage> shadowImage() const;
    void setShadowImage(const Ref<UIImage>& image);

    void layoutSubviews() override;
    void didMoveToWindow() override;
    std::string className() const override { return "UITabBar"; }

protected:
    void didCreate() override;

private:
    struct Look {
        std::optional<UIColor> backgroundColor;
        std::optional<UIColor> tintColor;
        std::optional<UIColor> barTintColor;
        std::optional<UIColor> unselectedItemTintColor;
        std::optional<bool> translucent;
        std::optional<Ref<UIImage>> backgroundImage;
        std::optional<Ref<UIImage>> shadowImage;
    };

    template <class T> std::optional<T> resolved(std::optional<T> Look::*field) const {
        if (own_.*field) return own_.*field;
        return fromProxy_.*field;
    }
    void lookDidChange();
    void rebuildButtons();

    bool proxy_ = false;
    bool appearanceApplied_ = false;
    Look own_;
    Look fromProxy_;
    std::vector<Ref<UITabBarItem>> items_;
    Ref<UITabBarItem> selectedItem_;
    StoredBlock<void(std::size_t)> itemTapHandler_;
    Ref<UIImageView> background_;
    Ref<UIImageView> hairline_;
    std::vector<Ref<UIView>> buttons_;
};
