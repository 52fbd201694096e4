#pragma once

#include <filesystem>
#include <string>

#include "app/shell/KXBaseViewController.h"
#include "app/shell/KXNavigationController.h"
#include "app/shell/KXNavigationViewController.h"
#include "foundation/NSString.h"
#include "tests/app/DemoPromoterFixture.h"
#include "uikit/UINavigationBar.h"
#include "tests/support/TestShots.h"
#include "tests/support/TextFitCheck.h"

// The game screens on a navigation stack in a key window (the tabs' stack,
// which the Mine and Home menus push them on, unless a test takes the older
// family's), against the real local back end or a scripted server a test
// points the service address at.
class GameScreenFixture : public DemoPromoterFixture {
protected:
    void SetUp() override {
        DemoPromoterFixture::SetUp();
        if (HasFatalFailure()) return;
        // Bars as at program start: an earlier test in this process may have
        // loaded the tabs' stack, which makes every bar opaque.
        UINavigationBar::resetAppearance();
        KXNavigationViewController::load();
    }
    // Pushes the screen above a plain root and lets the push finish (an
    // animated push moves the clock on).
    template <class Screen> Ref<Screen> open(Ref<Screen> screen = make<Screen>(), bool animated = true) {
        if (!stack) {
            stack = olderFamily ? Ref<UINavigationController>(make<KXNavigationViewController>(make<UIViewController>()))
                                : make<KXNavigationController>(make<KXBaseViewController>());
            showInWindow(stack);
        }
        stack->pushViewController(screen, animated);
        if (animated) finishTransition();
        driver.settle();
        return screen;
    }
    // The HUD's label once the main loop has gone idle.
    std::string hudText() {
        driver.settle();
        return DemoPromoterFixture::hudText();
    }
    // HUD views on the key window (shown or still hiding), with `text` when given.
    std::size_t windowHUDCount(const std::string& text = "") const {
        std::size_t count = 0;
        for (const auto& view : window->subviews()) {
            auto hud = std::dynamic_pointer_cast<MBProgressHUD>(view);
            if (hud && (text.empty() || hud->label()->text() == text)) ++count;
        }
        return count;
    }
    void shoot(const std::string& name) {
        driver.settle();
        EXPECT_TRUE(checkedShot(driver, testShotPath(name))) << driver.lastError();
    }

    // A field of a recorded query ("" when absent).
    static std::string queryField(const std::string& query, const std::string& name) {
        for (const auto& item : NSString::componentsSeparatedByString(query, "&")) {
            auto pair = NSString::componentsSeparatedByString(item, "=");
            if (pair.size() == 2 && pair[0] == name) return NSString::stringByRemovingPercentEncoding(pair[1]).value_or("");
        }
        return {};
    }

    bool olderFamily = false;
    Ref<UINavigationController> stack;
};
