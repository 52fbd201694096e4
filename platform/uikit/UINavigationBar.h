#pragma once

#include <functional>
#include <optional>
#include <typeindex>
#include <vector>

#include "foundation/StoredBlock.h"
#include "graphics/NSStringAttributes.h"
#include "graphics/UIImage.h"
#include "uikit/UINavigationBarAppearance.h"
#include "uikit/UIViewController.h"
#include "uikit/UIView.h"

class UIBarButtonItem;
class UIImageView;
class UILabel;
class UINavigationItem;

enum class UIBarMetrics { Default = 0, Compact = 1 };

// The bar at the top of a navigation controller: it draws its background
// (extended up under the status bar), the hairline below it, and the top
// item: the title in the middle, the left item or else a back button ("<"
// and the previous item's title, or "Back") at the left, the right item at
// the right. Item buttons and the back button take taps.
//
// Its look comes from the standard appearance when one is set, else from
// the older properties: bar tint colour (background), background image,
// shadow image (an image without pixels removes the hairline), translucency
// (a translucent bar without a tint is near-white) and title text
// attributes (bold 17-point black by default). The tint colour colours the
// item titles.
//
// Appearance proxies: `appearance()` and `appearanceWhenContainedInInstancesOfClass<C>()`
// are bars whose settings every bar takes when it first enters a window (the
// contained ones when the bar is inside a controller of class C), unless the
// bar set the property itself, as UIKit does.
class UINavigationBar : public UIView {
    struct ProxyTag {};

public:
    static constexpr CGFloat kHeight = 44;

    // Screen-wide and 44 points high.
    UINavigationBar();
    explicit UINavigationBar(CGRect frame) : UIView(frame) {}

    // The appearance proxies are made with this (a bar that draws nothing).
    explicit UINavigationBar(ProxyTag) : proxy_(true) {}
    static Ref<UINavigationBar> appearance();
    template <class Container> static Ref<UINavigationBar> appearanceWhenContainedInInstancesOfClass() {
        return containedAppearance(typeid(Container), [](const UIViewController& controller) {
            return dynamic_cast<const Container*>(&controller) != nullptr;
        });
    }
    // Forgets every proxy's settings (for tests).
    static void resetAppearance();

    // --- Look ---
    std::optional<UIColor> barTintColor() const;
    void setBarTintColor(std::optional<UIColor> color);
    bool isTranslucent() const;
    void setTranslucent(bool translucent);
    NSStringAttributes titleTextAttributes() const;
    void setTitleTextAttributes(const NSStringAttributes& attributes);
    // Only the default metrics are drawn.
    Ref<UIImage> backgroundImageForBarMetrics(UIBarMetrics metrics) const;
    void setBackgroundImage(const Ref<UIImage>& image, UIBarMetrics metrics);
    Ref<UIImage> shadowImage() const;
    void setShadowImage(const Ref<UIImage>& image);
    // Kept; the back button draws "<" whatever they are.
    Ref<UIImage> backIndicatorImage() const;
    void setBackIndicatorImage(const Ref<UIImage>& image);
    Ref<UIImage> backIndicatorTransitionMaskImage() const;
    void setBackIndicatorTransitionMaskImage(const Ref<UIImage>& image);
    Ref<UINavigationBarAppearance> standardAppearance() const;
    void setStandardAppearance(const Ref<UINavigationBarAppearance>& appearance);
    // Kept; the bar draws with the standard appearance (nothing tracks
    // whether content is scrolled to the edge).
    Ref<UINavigationBarAppearance> scrollEdgeAppearance() const;
    void setScrollEdgeAppearance(const Ref<UINavigationBarAppearance>& appearance);
    // Hides UIView's setter so that proxies record the tint too.
    void setTintColor(std::optional<UIColor> color);

    // --- Items ---
    const std::vector<Ref<UINavigationItem>>& items() const { return items_; }
    void setItems(std::vector<Ref<UINavigationItem>> items);
    Ref<UINavigationItem> topItem() const;
    // The item below the top one.
    Ref<UINavigationItem> backItem() const;
    // What the back button does (the navigation controller pops).
    void setBackAction(StoredBlock<void()> action) { backAction_ = std::move(action); }
    // The view at the left: the left item's, or the back button, or null.
    Ref<UIView> leftView() const { return leftView_; }
    Ref<UIView> rightView() const { return rightView_; }
    bool showsBackButton() const { return leftView_ && leftView_ == backButton_; }

    void layoutSubviews() override;
    // The width asked for, 44 high.
    CGSize sizeThatFits(CGSize size) override;
    void didMoveToWindow() override;
    std::string className() const override { return "UINavigationBar"; }

protected:
    void didCreate() override;

private:
    struct Look {
        std::optional<UIColor> barTintColor;
        std::optional<bool> translucent;
        std::optional<NSStringAttributes> titleTextAttributes;
        std::optional<UIColor> tintColor;
        std::optional<Ref<UIImage>> backgroundImage;
        std::optional<Ref<UIImage>> shadowImage;
        std::optional<Ref<UIImage>> backIndicatorImage;
        std::optional<Ref<UIImage>> backIndicatorTransitionMaskImage;
        std::optional<Ref<UINavigationBarAppearance>> standardAppearance;
        std::optional<Ref<UINavigationBarAppearance>> scrollEdgeAppearance;
        // Takes every setting `other` made.
        void overlay(const Look& other);
    };

    static Ref<UINavigationBar> containedAppearance(std::type_index container,
                                                    std::function<bool(const UIViewController&)> matches);
    // This bar's setting, else the proxies', else nothing.
    template <class T> std::optional<T> resolved(std::optional<T> Look::*field) const {
        if (own_.*field) return own_.*field;
        return fromProxies_.*field;
    }
    void applyAppearanceProxies();
    void lookDidChange();
    void rebuildItemViews();
    Ref<UIView> makeButton(const Ref<UIBarButtonItem>& item);
    Ref<UIView> makeBackButton(const std::string& title);

    bool proxy_ = false;
    bool appearanceApplied_ = false;
    Look own_;
    Look fromProxies_;
    std::vector<Ref<UINavigationItem>> items_;
    StoredBlock<void()> backAction_;
    Ref<UIImageView> background_;
    Ref<UIImageView> hairline_;
    Ref<UILabel> titleLabel_;
    Ref<UIView> leftView_;
    Ref<UIView> rightView_;
    Ref<UIView> backButton_;
};
