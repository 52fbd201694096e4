#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"
#include "graphics/UIEdgeInsets.h"

// The display. Its size, scale and shape are settings a test or the runner
// picks: the standard screen is 375 x 667 points at 2x (a phone with a home
// button), the notched one 375 x 812 at 3x. The main screen's scale is also
// what image contexts opened with scale 0 use.
//
// Safe area: a notched screen keeps 44 points at the top (sensor housing and
// status bar) and 34 at the bottom (home indicator); a screen without a notch
// keeps the 20-point status bar at the top, and nothing when the status bar
// is hidden.
class UIScreen : public NSObject {
public:
    static Ref<UIScreen> mainScreen();

    CGRect bounds() const { return {CGPointZero, size_}; }
    CGFloat scale() const { return scale_; }
    CGFloat nativeScale() const { return scale_; }
    bool hasNotch() const { return notched_; }
    // The insets a full-screen window keeps clear.
    UIEdgeInsets safeAreaInsets(bool statusBarHidden) const;

    // Settings for tests and the runner: they change the main screen in place.
    static void configureMainScreen(CGSize size, CGFloat scale, bool notched);
    // 375 x 667 at 2x, no notch: the screen at start and after a reset.
    static void useStandardScreen();
    // 375 x 812 at 3x, notched.
    static void useNotchedScreen();

private:
    CGSize size_{375, 667};
    CGFloat scale_ = 2;
    bool notched_ = false;
};
