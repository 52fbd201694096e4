#pragma once

#include <functional>
#include <string>

#include "app/shell/KXNavigationController.h"
#include "frameworks/webimage/SDImageCache.h"
#include "tests/app/DemoPromoterFixture.h"
#include "tests/app/payment/PaymentTestSupport.h"
#include "uikit/UILabel.h"
#include "tests/support/TextFitCheck.h"

// The account pages on a tab's stack in a key window, with an empty image
// cache.
class AccountPagesFixture : public DemoPromoterFixture {
protected:
    void SetUp() override {
        SDImageCache::sharedImageCache()->clearMemory();
        DemoPromoterFixture::SetUp();
    }
    void TearDown() override {
        DemoPromoterFixture::TearDown();
        SDImageCache::sharedImageCache()->clearMemory();
    }

    // Pushes a new screen above a plain root, as the account menu does.
    template <class Screen> Ref<Screen> push(Ref<Screen> screen = make<Screen>()) {
        stack = make<KXNavigationController>(make<UIViewController>());
        showInWindow(stack);
        stack->pushViewController(screen, true);
        finishTransition();
        return screen;
    }
    // Runs the main loop until the condition holds (answers arrive on it).
    bool waitFor(const std::function<bool()>& condition) {
        bool met = runUntil(condition);
        driver.settle();
        return met;
    }
    // Waits until the HUD shows the text.
    bool hudShows(const std::string& text) { return waitFor([&] { return hudText() == text; }); }
    void shot(const std::string& name) { EXPECT_TRUE(checkedShot(driver, paymentShotPath(name))) << driver.lastError(); }

    Ref<KXNavigationController> stack;
};
