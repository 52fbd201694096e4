#pragma once

#include "foundation/NSObject.h"

class UIViewController;

// Finding the screen the user sees.
class KXViewUtils : public NSObject {
public:
    // The controller on top: from the key window's root, through the top of
    // navigation stacks and the selected tab, then through whatever the
    // result presents, repeatedly. Null without a key window or root.
    static Ref<UIViewController> getCurrentVC();

private:
    // The top of a navigation controller's top screen, of a tab bar
    // controller's selected screen, else the controller itself.
    static Ref<UIViewController> _topViewController(const Ref<UIViewController>& controller);
};
