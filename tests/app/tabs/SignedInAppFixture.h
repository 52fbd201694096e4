#pragma once

#include "app/shell/AppDelegate.h"
#include "app/shell/KXTabBarController1.h"
#include "foundation/NSUserDefaults.h"
#include "tests/app/DemoPromoterFixture.h"
#include "uikit/UIApplication.h"

// The whole app launched through its delegate against the local back end,
// the demo promoter signed in, so the main tab bar is the root.
class SignedInAppFixture : public DemoPromoterFixture {
protected:
    void SetUp() override {
        DemoPromoterFixture::SetUp();
        launch();
    }
    void launch() {
        UIApplication::launchForTesting(make<AppDelegate>());
        window = UIApplication::sharedApplication()->keyWindow();
        driver.settle();
    }
    // A new process on the same sandbox.
    void relaunch() {
        NSUserDefaults::resetStandardUserDefaults();
        UIApplication::resetForTesting();
        launch();
    }
    Ref<UIViewController> root() const {
        auto key = UIApplication::sharedApplication()->keyWindow();
        return key ? key->rootViewController() : nullptr;
    }
    Ref<KXTabBarController1> tabBar() const { return cast<KXTabBarController1>(root()); }
    // Shows the tab and answers its navigation stack.
    Ref<UINavigationController> openTab(std::size_t index) {
        EXPECT_TRUE(driver.selectTab(index)) << driver.lastError();
        return cast<UINavigationController>(tabBar()->selectedViewController());
    }
};
