#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "backend/PalConnectServices.h"
#include "foundation/NSBundle.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBWebKit/NBWebViewKit.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/pal/NimbusOpenApi_IOS/NBOError.h"
#include "kits/pal/NimbusOpenApi_IOS/OpenApi.h"
#include "tests/support/AppFixture.h"
#include "tests/support/Eventually.h"
#include "uikit/UINavigationItem.h"

// The kit's web window against the stand-in services: the kit pointed at
// them, an app bundle (in the sandbox) that declares the app's "nimbus1234"
// scheme and carries the kit's resources (its dialog page), the app's own
// window key and visible; and a driver for the pages the window shows.
class PalWebWindowFixture : public AppFixture {
protected:
    void SetUp() override {
        services = backend::PalConnectServices::start();
        ASSERT_TRUE(services);
        NimbusConnectHosts::setHost(services->host(), services->certificateFile());
        const std::string bundle = sandbox.path() + "/bundle";
        std::filesystem::create_directories(bundle + "/NimbusOpenApi_IOS_Bundle.bundle");
        std::ofstream(bundle + "/Info.plist")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
               "<key>CFBundleURLTypes</key><array><dict><key>CFBundleURLSchemes</key>"
               "<array><string>nimbus1234</string></array></dict></array></dict></plist>";
        std::filesystem::copy_file(
            std::string(VELMARO_SOURCE_DIR) + "/kits/pal/NimbusOpenApi_IOS/NimbusOpenApi_IOS_Bundle.bundle/local.html",
            bundle + "/NimbusOpenApi_IOS_Bundle.bundle/local.html");
        NSBundle::setMainBundlePath(bundle);
        appWindow = make<UIWindow>();
        appWindow->makeKeyAndVisible();
    }
    // The kit's sign-on state and its last login error, which logins set,
    // start over too.
    void TearDown() override {
        NimbusConnectHosts::setHost("");
        NSBundle::setMainBundlePath("");
        OpenApi::setNimbusAuthorizeState(OpenApi::kStateIdle);
        NBOError::setLastOAuthError(0, std::nullopt);
    }

    static bool pageShows(const Ref<NBWebViewKit>& kit, const std::string& linkText) {
        auto screen = kit->webViewController();
        if (!screen || !screen->webview()) return false;
        for (const auto& link : screen->webview()->pageContent().links)
            if (link.text == linkText) return true;
        return false;
    }
    // Follows the link once the page shows it, or presses 关闭 instead.
    void follow(const Ref<NBWebViewKit>& kit, const std::string& linkText, bool pressClose = false) {
        ASSERT_TRUE(runUntil([&] { return pageShows(kit, linkText); }, kGiveUpAfterSeconds)) << linkText;
        if (pressClose) return kit->webViewController()->navigationItem()->leftBarButtonItem()->sendAction();
        ASSERT_TRUE(kit->webViewController()->webview()->followLink(linkText));
    }
    // Lets the slide-out run to its end, and what it sets off be answered.
    void slideOut() {
        ASSERT_TRUE(letRequestsEnd());
        clock.advance(NBWebViewKit::kSlideDuration);
        ASSERT_TRUE(letRequestsEnd());
    }

    std::unique_ptr<backend::PalConnectServices> services;
    Ref<UIWindow> appWindow;
};
