#pragma once

#include "uikit/HeldChanges.h"
#include "uikit/UIView.h"

class UIScreen;
class UIViewController;
class UIWindowScene;

using UIWindowLevel = CGFloat;
inline constexpr UIWindowLevel UIWindowLevelNormal = 0;
inline constexpr UIWindowLevel UIWindowLevelStatusBar = 1000;
inline constexpr UIWindowLevel UIWindowLevelAlert = 2000;

// The root of a view tree on screen. A window starts hidden and the size of
// the main screen; showing it (makeKeyAndVisible, or setHidden(false))
// makes the application keep it among its windows, ordered by level. The key
// window is the one the driver taps, types into and shoots.
//
// The root view controller's view fills the window; it is put in when the
// window is (or becomes) visible, between the controller's viewWillAppear and
// viewDidAppear, and taken out between the disappear callbacks when the root
// is replaced or the window hidden.
// A new root, or a change of the window's visibility, asked inside those
// callbacks, or while the window is visible inside any container's
// transition or presentation callbacks, is made once they have returned
// (rootViewController() shows it then).
//
// Layout: setNeedsLayout on any view in the window posts one layout pass to
// the main queue (as UIKit lays out at the end of a run-loop turn), which
// runs layoutIfNeeded from the window down.
class UIWindow : public UIView {
public:
    // The main screen's bounds.
    UIWindow();
    explicit UIWindow(CGRect frame) : UIView(frame) {}
    // A window of the scene, the size of its screen.
    explicit UIWindow(const Ref<UIWindowScene>& scene);

    Ref<UIViewController> rootViewController() const { return rootViewController_; }
    void setRootViewController(const Ref<UIViewController>& controller);

    void makeKeyAndVisible();
    void makeKeyWindow();
    bool isKeyWindow() const;
    // Hooks as the window gains and loses key status.
    virtual void becomeKeyWindow() {}
    virtual void resignKeyWindow() {}

    UIWindowLevel windowLevel() const { return windowLevel_; }
    void setWindowLevel(UIWindowLevel level) { windowLevel_ = level; }
    Ref<UIWindowScene> windowScene() const { return windowScene_.lock(); }
    void setWindowScene(const Ref<UIWindowScene>& scene) { windowScene_ = scene; }
    Ref<UIScreen> screen() const;

    void setHidden(bool hidden) override;
    Ref<UIWindow> window() const override;
    // The screen's safe-area insets where the window covers them.
    UIEdgeInsets safeAreaInsets() const override;
    // The application.
    Ref<UIResponder> nextResponder() const override;

    // Posts a layout pass unless one is pending.
    void scheduleLayoutPass();

protected:
    void didCreate() override;

private:
    void changeVisibility(bool hidden);
    void showRootView();
    void hideRootView();

    Ref<UIViewController> rootViewController_;
    bool rootViewShown_ = false;
    // The root's appearance callbacks hold the changes of the root and of
    // the window's visibility they ask.
    HeldChanges changes_;
    UIWindowLevel windowLevel_ = UIWindowLevelNormal;
    WeakRef<UIWindowScene> windowScene_;
    bool layoutPassPosted_ = false;
};
