#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXServiceAddress.h"
#include "backend/LocalBackend.h"
#include "foundation/DispatchThreadPool.h"
#include "foundation/NSBundle.h"
#include "foundation/NSRunLoop.h"
#include "foundation/URLLoadingEngine.h"
#include "frameworks/hud/MBProgressHUD.h"
#include "tests/support/AppFixture.h"
#include "tests/support/Eventually.h"
#include "uikit/UIDriver.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"
#include "tests/support/TextFitCheck.h"

// Ends the screens' requests still under way, so that their answers (a
// failure shown on whatever window is key) go with the main loop's pending
// work, not into the next test.
inline void endRequestsUnderWay() {
    URLLoadingEngine::closeAllConnections();
    EXPECT_TRUE(DispatchThreadPool::shared().waitUntilIdle(kGiveUpAfterSeconds))
        << "the screens' work is still under way";
    NSRunLoop::mainRunLoop()->discardPendingWork();
}

// The app's screens against the real local back end, with the app bundle's
// images, signed in as the demo promoter (uid 1). Fixtures of the screen
// folders derive from it and add how they put their screens on a stack.
class DemoPromoterFixture : public AppFixture {
protected:
    void SetUp() override {
        NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR);
        backend = backend::LocalBackend::start({});
        ASSERT_TRUE(backend);
        KXServiceAddress::setBaseURL(backend->baseURL());
        KXLocallyStoredData::setUserID("1");
    }
    void TearDown() override {
        endRequestsUnderWay();
        KXServiceAddress::setBaseURL("");
        NSBundle::setMainBundlePath("");
    }

    // Shows the navigation stack as the root of a new key window.
    void showInWindow(const Ref<UINavigationController>& stack) {
        window = make<UIWindow>(UIScreen::mainScreen()->bounds());
        window->setRootViewController(stack);
        window->makeKeyAndVisible();
    }
    // Lets an animated push or pop finish.
    void finishTransition() {
        clock.advance(UIViewController::kTransitionDuration);
        driver.settle();
    }
    // The label of the key window's topmost HUD ("" when none shows), as it
    // stands (a fixture whose tests want it once the loop is idle settles first).
    std::string hudText() const {
        auto hud = MBProgressHUD::HUDForView(window);
        return hud ? hud->label()->text() : std::string();
    }
    // Lets every HUD shown so far hide itself (a message stays 2 s, then
    // fades out).
    void letHUDsHide() {
        clock.advance(3);
        driver.settle();
    }
    // Writes what the key window shows to <build>/shots/<folder>/<name>.png,
    // once its text is checked (expectTextFits, with `widerLabel`).
    void shot(const std::string& folder, const std::string& name, const std::string& widerLabel = "") {
        const auto path =
            std::filesystem::path(VELMARO_APP_BUNDLE_DIR).parent_path().parent_path() / "shots" / folder;
        std::filesystem::create_directories(path);
        driver.settle();
        EXPECT_TRUE(checkedShot(driver, (path / (name + ".png")).string(), widerLabel)) << driver.lastError();
    }

    std::unique_ptr<backend::LocalBackend> backend;
    Ref<UIWindow> window;
    UIDriver driver;
};
