#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXNavigationViewController.h"
#include "app/shell/KXServiceAddress.h"
#include "backend/LocalBackend.h"
#include "tests/app/DemoPromoterFixture.h"
#include "foundation/NSBundle.h"
#include "frameworks/hud/MBProgressHUD.h"
#include "tests/support/AppFixture.h"
#include "uikit/DeviceStorage.h"
#include "uikit/UIDriver.h"
#include "uikit/UIPasteboard.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

// The promotion screens in a key window with the app bundle's images, the
// demo promoter (uid 1) signed in and, for the screens that load, the real
// local back end.
class PromotionFixture : public AppFixture {
protected:
    PromotionFixture() { NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR); }
    ~PromotionFixture() override {
        endRequestsUnderWay();
        NSBundle::setMainBundlePath("");
        KXServiceAddress::setBaseURL("");
        DeviceStorage::setFolder("");
    }

    void startBackend() {
        backend = backend::LocalBackend::start({});
        ASSERT_TRUE(backend);
        KXServiceAddress::setBaseURL(backend->baseURL());
        KXLocallyStoredData::setUserID("1");
    }
    // A key window on the current main screen.
    void showWindow() {
        window = make<UIWindow>(UIScreen::mainScreen()->bounds());
        window->makeKeyAndVisible();
    }
    // The screen as the root of the older navigation controller.
    void showScreen(const Ref<UIViewController>& screen) {
        showWindow();
        window->setRootViewController(make<KXNavigationViewController>(screen));
        driver.settle();
    }
    // The label of the key window's topmost HUD ("" when none shows).
    std::string hudText() {
        auto hud = MBProgressHUD::HUDForView(window);
        return hud ? hud->label()->text() : std::string();
    }
    static std::optional<std::string> pasteboardText() { return UIPasteboard::generalPasteboard()->string(); }
    // A picture's path beside the test binary, in the build folder.
    static std::string shotPath(const std::string& name) {
        return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / name).string();
    }

    std::unique_ptr<backend::LocalBackend> backend;
    Ref<UIWindow> window;
    UIDriver driver;
};
