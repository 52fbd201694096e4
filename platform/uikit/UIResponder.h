#pragma once

#include "foundation/NSObject.h"

// An object in the responder chain: views, controllers, windows, the
// application. The chain runs from a view to its controller (when it is a
// controller's root view) or superview, up to the window and the application.
//
// At most one responder is first responder at a time: the one keyboard input
// goes to. `becomeFirstResponder` succeeds only for responders that answer
// `canBecomeFirstResponder` and are in a window; the previous first
// responder resigns first (and may refuse through `canResignFirstResponder`).
class UIResponder : public NSObject {
public:
    virtual Ref<UIResponder> nextResponder() const { return nullptr; }

    virtual bool canBecomeFirstResponder() const { return false; }
    virtual bool canResignFirstResponder() const { return true; }
    virtual bool becomeFirstResponder();
    virtual bool resignFirstResponder();
    bool isFirstResponder() const;
    // Resigns without asking whether the responder may (canResignFirstResponder
    // and editing delegates are not consulted).
    bool forceResignFirstResponder();

    // The current first responder, if any.
    static Ref<UIResponder> currentFirstResponder();

protected:
    // True inside forceResignFirstResponder, for overrides of resignFirstResponder.
    bool isResigningByForce() const { return resigningByForce_; }
    // Whether the responder may take focus now (views: when in a window).
    virtual bool canTakeFocusNow() const { return true; }
    // Called after the responder gained or lost first-responder status.
    virtual void firstResponderDidChange(bool /*isFirst*/) {}

private:
    bool resigningByForce_ = false;
};
