#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

class UIView;

// The base of gesture recognizers. The view keeps its recognizers and offers
// simulated taps to them (UIView::handleTapAt); the concrete recognizers
// (tap, pan), their target-actions, states and delegate queries extend this
// class where the controls are built.
class UIGestureRecognizer : public NSObject {
public:
    // The view the recognizer is attached to.
    Ref<UIView> view() const { return view_.lock(); }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }

    // A simulated tap at a point of the view's bounds; true when the
    // recognizer recognized it (and sent its actions). The base recognizes nothing.
    virtual bool handleTapAt(CGPoint /*point*/) { return false; }

private:
    friend class UIView;
    WeakRef<UIView> view_;
    bool enabled_ = true;
};
