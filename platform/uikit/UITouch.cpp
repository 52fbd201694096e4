#include "uikit/UITouch.h"

#include "uikit/UIWindow.h"

CGPoint UITouch::locationInView(const Ref<UIView>& view) const {
    auto window = window_.lock();
    if (!view || !window) return location_;
    return view->convertPointFromView(location_, window);
}
