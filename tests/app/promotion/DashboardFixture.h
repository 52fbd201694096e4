#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXNavigationViewController.h"
#include "app/shell/KXServiceAddress.h"
#include "backend/LocalBackend.h"
#include "foundation/NSBundle.h"
#include "frameworks/hud/MBProgressHUD.h"
#include "tests/app/DemoPromoterFixture.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIApplication.h"
#include "uikit/UIDriver.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

// The earlier dashboards against the real local back end: the app bundle,
// a signed-in promoter, and a screen shown as the root of the earlier
// family's navigation controller in the key window.
class DashboardFixture : public AppFixture {
protected:
    // Promoters of the demo data: the demo account (not real-name verified),
    // a verified one, and one of the account kind that handles no money.
    static constexpr const char* kDemo = "1";
    static constexpr const char* kVerified = "2";
    static constexpr const char* kNoMoney = "8";

    DashboardFixture() { NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR); }
    ~DashboardFixture() override {
        endRequestsUnderWay();
        NSBundle::setMainBundlePath("");
        KXServiceAddress::setBaseURL("");
        UIScreen::useStandardScreen();
    }

    void SetUp() override {
        if (usesLocalBackend()) {
            backend = backend::LocalBackend::start({});
            ASSERT_TRUE(backend);
            KXServiceAddress::setBaseURL(backend->baseURL());
        }
        signIn(kDemo);
    }
    // Tests with scripted answers leave the local back end out (starting it
    // seeds a whole database).
    virtual bool usesLocalBackend() const { return true; }

    void signIn(const std::string& uid, const std::string& appStr = "1") {
        KXLocallyStoredData::setUserID(uid);
        KXLocallyStoredData::setUsername("demo");
        KXLocallyStoredData::setHead(backend ? backend->baseURL() + "static/head/promoter-" + uid + ".png" : "");
        KXLocallyStoredData::setAppStr(appStr);
    }

    // Shows the screen as the root of a navigation stack in a new key window.
    Ref<KXNavigationViewController> show(const Ref<UIViewController>& screen) {
        stack = make<KXNavigationViewController>(screen);
        window = make<UIWindow>(UIScreen::mainScreen()->bounds());
        window->setRootViewController(stack);
        window->makeKeyAndVisible();
        driver.settle();
        return stack;
    }

    // The label of the key window's topmost unfinished HUD, "" when none.
    static std::string hudText() {
        auto hud = MBProgressHUD::HUDForView(UIApplication::sharedApplication()->keyWindow());
        return hud ? hud->label()->text() : std::string();
    }
    // Runs the main loop until the HUD shows a message.
    bool waitForHUD() {
        return runUntil([] { return !hudText().empty(); });
    }
    // Runs the main loop until every one of the image views shows a picture
    // (those loading from an address have received it).
    bool waitForImages(const std::vector<Ref<UIImageView>>& imageViews) {
        return runUntil([&] {
            for (const auto& view : imageViews) {
                if (!view->image()) return false;
            }
            return true;
        });
    }
    // Lets an animated push finish.
    void finishTransition() {
        clock.advance(UIViewController::kTransitionDuration);
        driver.settle();
    }

    std::unique_ptr<backend::LocalBackend> backend;
    Ref<KXNavigationViewController> stack;
    Ref<UIWindow> window;
    UIDriver driver;
};
