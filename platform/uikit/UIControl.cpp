#include "uikit/UIControl.h"

#include "uikit/UIGestureRecognizer.h"

// --- State ---

void UIControl::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    stateDidChange();
}

void UIControl::setSelected(bool selected) {
    if (selected == selected_) return;
    selected_ = selected;
    stateDidChange();
}

void UIControl::setHighlighted(bool highlighted) {
    if (highlighted == highlighted_) return;
    highlighted_ = highlighted;
    stateDidChange();
}

UIControlState UIControl::state() const {
    std::uint32_t flags = UIControlStateNormal;
    if (highlighted_) flags |= UIControlStateHighlighted;
    if (!enabled_) flags |= UIControlStateDisabled;
    if (selected_) flags |= UIControlStateSelected;
    return static_cast<UIControlState>(flags);
}

void UIControl::setContentHorizontalAlignment(UIControlContentHorizontalAlignment alignment) {
    horizontalAlignment_ = alignment;
    setNeedsLayout();
}

void UIControl::setContentVerticalAlignment(UIControlContentVerticalAlignment alignment) {
    verticalAlignment_ = alignment;
    setNeedsLayout();
}

// --- Target-action ---

void UIControl::addTarget(const Ref<NSObject>& target, Action action, UIControlEvents events) {
    actions_.add(target, std::move(action), events);
}

void UIControl::removeTarget(const Ref<NSObject>& target, UIControlEvents events) { actions_.remove(target, events); }

std::vector<Ref<NSObject>> UIControl::allTargets() const { return actions_.targets(); }

UIControlEvents UIControl::allControlEvents() const { return static_cast<UIControlEvents>(actions_.events()); }

void UIControl::sendActionsForControlEvents(UIControlEvents events) { actions_.send(self<UIControl>(), events); }

// --- Touches ---

bool UIControl::handleTapAt(CGPoint point) {
    auto outcome = UIGestureRecognizer::offerTap(gestureRecognizers(), point);
    if (outcome.recognized && outcome.cancelsTouches) return true;
    if (!enabled_) return outcome.recognized;
    trackTapAt(point);
    return true;
}

void UIControl::trackTapAt(CGPoint) {
    Ref<UIControl> keepAlive = self<UIControl>();
    setHighlighted(true);
    sendActionsForControlEvents(UIControlEventTouchDown);
    setHighlighted(false);
    sendActionsForControlEvents(UIControlEventTouchUpInside);
}
