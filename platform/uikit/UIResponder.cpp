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
    // The responder that resigns, and those told, may let this one go.
    Ref<UIResponder> keepAlive = self<UIResponder>();
    if (auto current = currentFirstResponder(); current && !current->resignFirstResponder()) return false;
    firstResponder() = keepAlive;
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
    if (!isFirstResponder()) return true;
    // Those told of the end of editing may let the responder go.
    Ref<UIResponder> keepAlive = self<UIResponder>();
    resigningByForce_ = true;
    bool resigned = resignFirstResponder();
    resigningByForce_ = false;
    return resigned;
}
