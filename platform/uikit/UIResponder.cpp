#include "uikit/UIResponder.h"

namespace {
WeakRef<UIResponder>& firstResponder() {
    static WeakRef<UIResponder> responder;
    return responder;
}
}  // namespace

Ref<UIResponder> UIResponder::currentFirstResponder() { return firstResponder().lock(); }

bool UIResponder::isFirstResponder() const { return currentFirstResponder().get() == this; }

bool UIResponder::becomeFirstResponder() {
    if (isFirstResponder()) return true;
    if (!canBecomeFirstResponder() || !canTakeFocusNow()) return false;
    if (auto current = currentFirstResponder(); current && !current->resignFirstResponder()) return false;
    firstResponder() = self<UIResponder>();
    firstResponderDidChange(true);
    return true;
}

bool UIResponder::resignFirstResponder() {
    if (!isFirstResponder()) return true;
    if (!resigningByForce_ && !canResignFirstResponder()) return false;
    firstResponder().reset();
    firstResponderDidChange(false);
    return true;
}

bool UIResponder::forceResignFirstResponder() {
    resigningByForce_ = true;
    bool resigned = resignFirstResponder();
    resigningByForce_ = false;
    return resigned;
}
