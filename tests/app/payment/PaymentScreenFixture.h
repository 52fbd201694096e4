#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXNavigationController.h"
#include "app/shell/KXServiceAddress.h"
#include "backend/LocalBackend.h"
#include "foundation/NSBundle.h"
#include "frameworks/hud/MBProgressHUD.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIDriver.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

// The money screens against the real local back end, signed in as the demo
// promoter (uid 1), on a tab's stack in a key window whose root is a plain
// screen (the opener).
class PaymentScreenFixture : public AppFixture {
protected:
    void SetUp() override {
        backend = backend::LocalBackend::start({});
        ASSERT_TRUE(backend);
        KXServiceAddress::setBaseURL(backend->baseURL());
        NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR);
        KXLocallyStoredData::setUserID("1");
        opener = make<UIViewController>();
        stack = make<KXNavigationController>(opener);
        window = make<UIWindow>(UIScreen::mainScreen()->bounds());
        window->setRootViewController(stack);
        window->makeKeyAndVisible();
        driver.settle();
    }
    void TearDown() override {
        KXServiceAddress::setBaseURL("");
        NSBundle::setMainBundlePath("");
    }

    void push(const Ref<UIViewController>& screen) {
        stack->pushViewController(screen, true);
        finishTransition();
    }
    void back() {
        ASSERT_TRUE(driver.back());
        finishTransition();
    }
    void finishTransition() {
        clock.advance(UIViewController::kTransitionDuration);
        driver.settle();
    }
    // The label of the key window's topmost HUD ("" when none shows).
    std::string hudText() {
        driver.settle();
        auto hud = MBProgressHUD::HUDForView(window);
        return hud ? hud->label()->text() : std::string();
    }
    // Lets every HUD shown so far time out.
    void clearHUDs() {
        clock.advance(3);
        driver.settle();
    }

    std::unique_ptr<backend::LocalBackend> backend;
    Ref<UIViewController> opener;
    Ref<KXNavigationController> stack;
    Ref<UIWindow> window;
    UIDriver driver;
};
