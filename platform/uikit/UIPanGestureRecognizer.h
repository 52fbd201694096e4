#pragma once

#include <vector>

#include "uikit/UIGestureRecognizer.h"

// Recognizes a finger moving across the view. The driver simulates a pan as
// a touch moving through a sequence of points at a steady pace: once the
// delegate has let the recognizer receive the touch and agreed to begin,
// the first movement makes the state `Began`, each further one `Changed`,
// and lifting the finger `Ended`, the actions running at each.
//
// The translation is the distance moved since the start (or since the last
// setTranslation), the velocity that of the last movement, both in points
// (per second) of the view asked about.
class UIPanGestureRecognizer : public UIGestureRecognizer {
public:
    using UIGestureRecognizer::UIGestureRecognizer;

    CGPoint translationInView(const Ref<UIView>& view) const;
    void setTranslation(CGPoint translation, const Ref<UIView>& view);
    CGPoint velocityInView(const Ref<UIView>& view) const;

    // Follows a touch through `pointsInWindow` (the first is where it comes
    // down), `stepSeconds` apart. False when the recognizer is disabled, not
    // in a window, refuses the touch or does not begin.
    bool trackPan(const std::vector<CGPoint>& pointsInWindow, double stepSeconds);

private:
    // A vector in the window's space as seen in a view's space.
    CGPoint vectorInView(CGPoint vector, const Ref<UIView>& view) const;
    CGPoint vectorFromView(CGPoint vector, const Ref<UIView>& view) const;

    CGPoint start_{};
    CGPoint current_{};
    CGPoint velocity_{};
};
