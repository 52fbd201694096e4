#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

class UIView;
class UIWindow;

// One finger on the screen, as the driver simulates it: the view it landed
// on (the hit-tested view), its window, and where it is now.
class UITouch : public NSObject {
public:
    UITouch(const Ref<UIView>& view, const Ref<UIWindow>& window, CGPoint locationInWindow)
        : view_(view), window_(window), location_(locationInWindow) {}

    Ref<UIView> view() const { return view_.lock(); }
    Ref<UIWindow> window() const { return window_.lock(); }
    // The location in the view's bounds space (null: the window's space).
    CGPoint locationInView(const Ref<UIView>& view) const;
    void moveTo(CGPoint locationInWindow) { location_ = locationInWindow; }

private:
    WeakRef<UIView> view_;
    WeakRef<UIWindow> window_;
    CGPoint location_;
};
