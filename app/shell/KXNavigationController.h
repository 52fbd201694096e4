#pragma once

#include <string>

#include "graphics/UIImage.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIControl.h"
#include "uikit/UIGestureRecognizerDelegate.h"
#include "uikit/UINavigationController.h"

// The navigation controller of every tab. Its first load styles every
// navigation bar (through the appearance proxy) and keeps the edge-swipe
// pop on. Every push is animated, whatever the caller asks; each push onto
// a non-empty stack hides the tab bar while the screen is on top and gives
// the screen a back item ("fanghui_QC") that pops without animation.
class KXNavigationController : public UINavigationController, public UIGestureRecognizerDelegate {
public:
    using UINavigationController::UINavigationController;

    void viewDidLoad() override;
    void pushViewController(const Ref<UIViewController>& controller, bool animated) override;
    // The back item's action: pops the top screen without animation.
    void back();

    // A bar item whose custom view is a button with the title and the two
    // images, sized to fit with its content 5 points to the left, sending
    // `action` to `target` on touch-up-inside.
    static Ref<UIBarButtonItem> makeBarButtonItem(const Ref<UIImage>& image, const Ref<UIImage>& highlightedImage,
                                                  const Ref<NSObject>& target, UIControl::Action action,
                                                  std::string title);

    std::string className() const override { return "KXNavigationController"; }
};
