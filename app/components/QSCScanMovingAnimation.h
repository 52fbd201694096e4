#pragma once

#include "uikit/UIImageView.h"

// A picture that sweeps down through the scan rectangle, again and again:
// each step starts it transparent just above the rectangle and moves it,
// fading in, until it rests on the rectangle's bottom edge; 0.3 s after a
// step ends the next one begins, until animating ends. A running sweep
// holds the animation only weakly, so one released stops stepping. The
// line and the grid animations differ only in how long a step takes.
class QSCScanMovingAnimation : public UIImageView {
public:
    explicit QSCScanMovingAnimation(double stepDuration) : stepDuration_(stepDuration) {}

    bool isAnimationing() const { return isAnimationing_; }
    CGRect animationRect() const { return animationRect_; }

    // Shows the picture in `parent` and starts stepping when there is one.
    void beginAnimating(CGRect rect, const Ref<UIView>& parent, const Ref<UIImage>& image);
    // Hides the picture; a step already scheduled runs and does nothing.
    void endAnimating();
    // One sweep; scheduled by name ("stepAnimation") after the previous one.
    virtual void stepAnimation();

    static constexpr double kPauseBetweenSteps = 0.3;

private:
    double stepDuration_;
    bool isAnimationing_ = false;
    CGRect animationRect_ = CGRectZero;
};
