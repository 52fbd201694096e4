#include "uikit/UIGestureRecognizer.h"

#include "uikit/UIView.h"
#include "uikit/UIWindow.h"

namespace {
constexpr std::uint32_t everyState = 1;
}  // namespace

void UIGestureRecognizer::addTarget(const Ref<NSObject>& target, Action action) {
    actions_.add(target, std::move(action), everyState);
}

void UIGestureRecognizer::removeTarget(const Ref<NSObject>& target) { actions_.remove(target, everyState); }

CGPoint UIGestureRecognizer::locationInView(const Ref<UIView>& view) const {
    return touch_ ? touch_->locationInView(view) : CGPointZero;
}

Ref<UITouch> UIGestureRecognizer::touchAt(CGPoint point) const {
    auto attached = view();
    auto window = attached ? attached->window() : nullptr;
    if (!window) return nullptr;
    // The view the window's hit test gives, as for the tap itself: a search
    // from the recognizer's view alone could settle a near miss otherwise.
    const CGPoint inWindow = attached->convertPointToView(point, window);
    Ref<UIView> landed = window->hitTest(inWindow);
    if (!landed || (landed != attached && !landed->isDescendantOfView(attached))) landed = attached;
    return make<UITouch>(landed, window, inWindow);
}

bool UIGestureRecognizer::receiveTouch(const Ref<UITouch>& touch) {
    if (!touch) return false;
    if (auto listener = delegate(); listener && !listener->gestureRecognizerShouldReceiveTouch(self<UIGestureRecognizer>(), touch))
        return false;
    touch_ = touch;
    return true;
}

bool UIGestureRecognizer::shouldBegin() {
    if (auto listener = delegate(); listener && !listener->gestureRecognizerShouldBegin(self<UIGestureRecognizer>())) {
        state_ = UIGestureRecognizerState::Failed;
        return false;
    }
    return true;
}

void UIGestureRecognizer::setState(UIGestureRecognizerState state) {
    state_ = state;
    if (state == UIGestureRecognizerState::Possible || state == UIGestureRecognizerState::Failed) return;
    actions_.send(self<UIGestureRecognizer>(), everyState);
}

bool UIGestureRecognizer::allowsSimultaneousRecognitionWith(const Ref<UIGestureRecognizer>& other) {
    Ref<UIGestureRecognizer> me = self<UIGestureRecognizer>();
    auto mine = delegate(), theirs = other->delegate();
    return (mine && mine->gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(me, other)) ||
           (theirs && theirs->gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(other, me));
}

UIGestureRecognizer::TapOutcome UIGestureRecognizer::offerTap(const std::vector<Ref<UIGestureRecognizer>>& recognizers,
                                                               CGPoint point) {
    TapOutcome outcome;
    Ref<UIGestureRecognizer> winner;
    // A copy: actions may add or remove recognizers.
    auto offered = recognizers;
    for (const auto& recognizer : offered) {
        if (!recognizer->isEnabled()) continue;
        if (winner && !winner->allowsSimultaneousRecognitionWith(recognizer)) continue;
        if (!recognizer->handleTapAt(point)) continue;
        if (!winner) winner = recognizer;
        outcome.recognized = true;
        outcome.cancelsTouches = outcome.cancelsTouches || recognizer->cancelsTouchesInView();
    }
    return outcome;
}
