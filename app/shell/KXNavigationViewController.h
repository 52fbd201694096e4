#pragma once

#include <string>

#include "uikit/UIGestureRecognizerDelegate.h"
#include "uikit/UINavigationController.h"

// The navigation controller of the older screen family. Navigation bars
// inside it take a regular 18-point title in dark grey on white (set on the
// appearance proxy when the program starts). A pan anywhere on a pushed
// screen drives the interactive pop, as the edge swipe would; pushed screens
// hide the tab bar and get a back item that pops with animation.
class KXNavigationViewController : public UINavigationController, public UIGestureRecognizerDelegate {
public:
    using UINavigationController::UINavigationController;

    // The class's load-time styling of the bars it contains; runs once at
    // program start, and may run again.
    static bool load();

    void viewDidLoad() override;
    bool gestureRecognizerShouldReceiveTouch(const Ref<UIGestureRecognizer>& recognizer,
                                             const Ref<UITouch>& touch) override;
    void pushViewController(const Ref<UIViewController>& controller, bool animated) override;
    // The back item's action: pops the top screen, animated.
    void back();

    std::string className() const override { return "KXNavigationViewController"; }
};
