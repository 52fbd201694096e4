#pragma once

#include "uikit/UIResponder.h"
#include "uikit/UIView.h"

// A controller of a screen: owns a root view, loaded on first use.
//
// This base gives what windows and the view layer need: the lazily loaded
// view (loadView then viewDidLoad), and the four appearance callbacks, which
// a window calls as its root controller's view appears and disappears. The
// controllers work owns this class and extends it: the life-cycle machinery
// in UIKit's order, child controllers, presentation and dismissal,
// navigation and tab bar items.
class UIViewController : public UIResponder {
public:
    // The root view, loading it first when needed.
    Ref<UIView> view();
    void setView(const Ref<UIView>& view);
    bool isViewLoaded() const { return view_ != nullptr; }
    Ref<UIView> viewIfLoaded() const { return view_; }
    void loadViewIfNeeded() { view(); }

    // Makes the root view; the default is a plain view the size of the main screen.
    virtual void loadView();
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool /*animated*/) {}
    virtual void viewDidAppear(bool /*animated*/) {}
    virtual void viewWillDisappear(bool /*animated*/) {}
    virtual void viewDidDisappear(bool /*animated*/) {}

    // The root view's superview.
    Ref<UIResponder> nextResponder() const override;

private:
    Ref<UIView> view_;
};
