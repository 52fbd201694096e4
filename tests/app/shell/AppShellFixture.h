#pragma once

#include <gtest/gtest.h>

#include "app/shell/AppDelegate.h"
#include "app/shell/KXServiceAddress.h"
#include "foundation/NSBundle.h"
#include "frameworks/hud/MBProgressHUD.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIApplication.h"
#include "uikit/UIDriver.h"
#include "uikit/UIWindow.h"

// The app launched through its delegate on a fresh sandbox, with the app
// bundle and a service address the test sets.
class AppShellFixture : public AppFixture {
protected:
    AppShellFixture() { NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR); }
    ~AppShellFixture() override {
        NSBundle::setMainBundlePath("");
        KXServiceAddress::setBaseURL("");
    }

    // Launches the app and lets its start-up requests (the Pal kit's
    // policy) be answered, so that their lines are logged before a test
    // reads the log.
    Ref<AppDelegate> launch() {
        delegate = make<AppDelegate>();
        application = UIApplication::launchForTesting(delegate);
        EXPECT_TRUE(letRequestsEnd([&] { driver.settle(); }));
        return delegate;
    }
    Ref<UIViewController> root() const {
        auto window = UIApplication::sharedApplication()->keyWindow();
        return window ? window->rootViewController() : nullptr;
    }
    // The label of the key window's topmost HUD ("" when none shows).
    std::string hudText() {
        driver.settle();
        return shownHUDText();
    }
    // The same without running the main loop.
    static std::string shownHUDText() {
        auto hud = MBProgressHUD::HUDForView(UIApplication::sharedApplication()->keyWindow());
        return hud ? hud->label()->text() : std::string();
    }

    Ref<AppDelegate> delegate;
    Ref<UIApplication> application;
    UIDriver driver;
};
