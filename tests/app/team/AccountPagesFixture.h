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
#include "frameworks/webimage/SDImageCache.h"
#include "tests/app/payment/PaymentTestSupport.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIDriver.h"
#include "uikit/UILabel.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

// The account pages on a tab's stack in a key window, signed in as the demo
// promoter (uid 1) against the real local back end.
class AccountPagesFixture : public AppFixture {
protected:
    void SetUp() override {
        NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR);
        SDImageCache::sharedImageCache()->clearMemory();
        backend = backend::LocalBackend::start({});
        ASSERT_TRUE(backend);
        KXServiceAddress::setBaseURL(backend->baseURL());
        KXLocallyStoredData::setUserID(Value("1"));
    }
    void TearDown() override {
        KXServiceAddress::setBaseURL("");
        NSBundle::setMainBundlePath("");
        SDImageCache::sharedImageCache()->clearMemory();
    }

    // Pushes a new screen above a plain root, as the account menu does.
    template <class Screen> Ref<Screen> push() {
        stack = make<KXNavigationController>(make<UIViewController>());
        window = make<UIWindow>(UIScreen::mainScreen()->bounds());
        window->setRootViewController(stack);
        window->makeKeyAndVisible();
        auto screen = make<Screen>();
        stack->pushViewController(screen, true);
        finishTransition();
        return screen;
    }
    void finishTransition() {
        clock.advance(UIViewController::kTransitionDuration);
        driver.settle();
    }
    // Runs the main loop until the condition holds (answers arrive on it).
    bool waitFor(const std::function<bool()>& condition) {
        bool met = runUntil(condition);
        driver.settle();
        return met;
    }
    // The label of the key window's topmost HUD ("" when none shows).
    std::string hud() const {
        auto shown = MBProgressHUD::HUDForView(window);
        return shown ? shown->label()->text() : std::string();
    }
    // Lets a shown message HUD time out (it blocks touches while it shows).
    void dismissHUD() {
        clock.advance(2);
        driver.settle();
    }
    // Waits until the HUD shows the text.
    bool hudShows(const std::string& text) { return waitFor([&] { return hud() == text; }); }
    void shot(const std::string& name) { EXPECT_TRUE(driver.shot(paymentShotPath(name))) << driver.lastError(); }

    std::unique_ptr<backend::LocalBackend> backend;
    Ref<KXNavigationController> stack;
    Ref<UIWindow> window;
    UIDriver driver;
};
