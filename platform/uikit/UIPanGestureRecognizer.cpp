#include "uikit/UIPanGestureRecognizer.h"

#include "uikit/UIView.h"
#include "uikit/UIWindow.h"

CGPoint UIPanGestureRecognizer::vectorInView(CGPoint vector, const Ref<UIView>& view) const {
    auto window = touch() ? touch()->window() : nullptr;
    if (!view || !window) return vector;
    CGPoint origin = view->convertPointFromView(CGPointZero, window);
    CGPoint end = view->convertPointFromView(vector, window);
    return {end.x - origin.x, end.y - origin.y};
}

CGPoint UIPanGestureRecognizer::vectorFromView(CGPoint vector, const Ref<UIView>& view) const {
    auto window = touch() ? touch()->window() : nullptr;
    if (!view || !window) return vector;
    CGPoint origin = view->convertPointToView(CGPointZero, window);
    CGPoint end = view->convertPointToView(vector, window);
    return {end.x - origin.x, end.y - origin.y};
}

CGPoint UIPanGestureRecognizer::translationInView(const Ref<UIView>& view) const {
    return vectorInView({current_.x - start_.x, current_.y - start_.y}, view);
}

void UIPanGestureRecognizer::setTranslation(CGPoint translation, const Ref<UIView>& view) {
    CGPoint inWindow = vectorFromView(translation, view);
    start_ = {current_.x - inWindow.x, current_.y - inWindow.y};
}

CGPoint UIPanGestureRecognizer::velocityInView(const Ref<UIView>& view) const { return vectorInView(velocity_, view); }

bool UIPanGestureRecognizer::trackPan(const std::vector<CGPoint>& pointsInWindow, double stepSeconds) {
    auto attached = view();
    auto window = attached ? attached->window() : nullptr;
    if (!isEnabled() || !window || pointsInWindow.size() < 2) return false;
    CGPoint down = attached->convertPointFromView(pointsInWindow.front(), window);
    Ref<UIGestureRecognizer> keepAlive = self<UIGestureRecognizer>();
    if (!receiveTouch(touchAt(down))) return false;
    start_ = current_ = pointsInWindow.front();
    velocity_ = CGPointZero;
    if (!shouldBegin()) {
        reset();
        return false;
    }
    for (std::size_t step = 1; step < pointsInWindow.size(); ++step) {
        CGPoint next = pointsInWindow[step];
        if (stepSeconds > 0) velocity_ = {(next.x - current_.x) / stepSeconds, (next.y - current_.y) / stepSeconds};
        current_ = next;
        touch()->moveTo(next);
        setState(step == 1 ? UIGestureRecognizerState::Began : UIGestureRecognizerState::Changed);
        if (!isEnabled()) {
            setState(UIGestureRecognizerState::Cancelled);
            reset();
            return true;
        }
    }
    setState(UIGestureRecognizerState::Ended);
    reset();
    return true;
}
