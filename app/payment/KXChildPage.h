#pragma once

#include "foundation/NSObject.h"

class UIViewController;

// How the money flows show a result page over their own screen: the page
// becomes the screen's child, its view gets the main screen's bounds
// (origin 0, 0) and goes on top of the screen's view. The navigation bar
// keeps the screen's title and items.
class KXChildPage {
public:
    KXChildPage() = delete;

    static void layOver(const Ref<UIViewController>& screen, const Ref<UIViewController>& page);
};
