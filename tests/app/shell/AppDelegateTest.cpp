#include <gtest/gtest.h>

#include "app/shell/KXAppConfiguration.h"
#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXLoginViewController.h"
#include "app/shell/KXTabBarController1.h"
#include "app/shell/main.h"
#include "foundation/DispatchQueue.h"
#include "foundation/NSLog.h"
#include "kits/pal/NimbusOpenApi_IOS/OpenApi.h"
#include "kits/ripple/RPApi.h"
#include "kits/ripple/RPPayMessages.h"
#include "tests/app/shell/AppShellFixture.h"
#include "uikit/UIScreen.h"

using AppLaunch = AppShellFixture;

TEST_F(AppLaunch, WithoutAStoredUserTheSignInScreenIsTheRootOfANewWhiteWindow) {
    launch();
    auto window = UIApplication::sharedApplication()->keyWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(delegate->window(), window);
    EXPECT_TRUE(isKind<KXLoginViewController>(window->rootViewController()));
    EXPECT_EQ(window->backgroundColor(), UIColor::whiteColor());
    EXPECT_EQ(window->frame(), UIScreen::mainScreen()->bounds());
    EXPECT_NE(driver.find("#dengluBut"), nullptr);
}

TEST_F(AppLaunch, OnlyANonEmptyStoredUserIdOpensTheTabBar) {
    KXLocallyStoredData::setUserID("");
    launch();
    EXPECT_TRUE(isKind<KXLoginViewController>(root()));

    KXLocallyStoredData::setUserID("whatever it holds");
    launch();
    auto tabBar = cast<KXTabBarController1>(root());
    ASSERT_TRUE(tabBar);
    EXPECT_EQ(tabBar->viewControllers().size(), 4u);
}

TEST_F(AppLaunch, RegistersWithTheRippleKitAndKeepsThePalLoginObject) {
    launch();
    EXPECT_EQ(RPApi::registeredAppId(), KXAppConfiguration::rippleAppId());
    ASSERT_TRUE(delegate->nimbusOAuth());
    EXPECT_EQ(delegate->nimbusOAuth()->appId(), KXAppConfiguration::palAppId());
    EXPECT_EQ(delegate->nimbusOAuth()->redirectURI(), KXAppConfiguration::palRedirectHost());
    // Started without a delegate: nothing registered for login replies.
    EXPECT_EQ(OpenApi::registeredSession(), nullptr);
    delegate->nimbusDidLogin();
    delegate->nimbusDidNotLogin(true);
    delegate->nimbusDidNotNetWork();
}

TEST_F(AppLaunch, IncomingURLsReachTheRippleKitFirstAndTheAppAnswersWithThePalKitsResult) {
    launch();
    auto url = NSURL::URLWithString(KXAppConfiguration::rippleAppId() + "://pay/?ret=0&returnKey=k");
    // A payment handed to the Ripple app, which the answer answers.
    UIApplication::installSimulatedApp("ripple", [](const Ref<NSURL>&) {});
    const auto payOut = [] {
        auto payment = make<PayReq>();
        for (auto set : {&PayReq::setPackage, &PayReq::setPartnerId, &PayReq::setPrepayId, &PayReq::setSign,
                         &PayReq::setNonceStr})
            (payment.get()->*set)(std::string("v"));
        EXPECT_TRUE(RPApi::sendReq(payment));
    };
    NSLogCapture log;
    // The Ripple kit takes the payment answer (its delegate logs), the Pal
    // kit does not, and the app answers as the Pal kit does.
    payOut();
    EXPECT_FALSE(delegate->applicationOpenURLOptions(application, url, {}));
    payOut();
    EXPECT_FALSE(delegate->applicationHandleOpenURL(application, url));
    auto lines = log.lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "回调处理");
    EXPECT_EQ(lines[1], "handleOpenURL:url=" + url->absoluteString());
    EXPECT_EQ(lines[2], "回调处理");

    log.clear();
    EXPECT_FALSE(delegate->applicationHandleOpenURL(application, NSURL::URLWithString("other://x")));
    EXPECT_EQ(log.lines().size(), 1u);

    // Opened by another app, the URL takes the same road.
    log.clear();
    payOut();
    application->openURLIntoApp(url, "com.ripple.app");
    driver.settle();
    EXPECT_TRUE(log.contains("回调处理"));
}

TEST_F(AppLaunch, TheRippleCallbacksLogOneFixedLineEach) {
    launch();
    NSLogCapture log;
    delegate->onReq(make<BaseReq>());
    delegate->onResp(make<BaseResp>());
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"onReq是涟信终端向第三方程序发起请求，要求第三方程序响应。第三方程序响应完后必须调用"
                                        "sendRsp返回。在调用sendRsp返回时，会切回到涟信终端程序界面",
                                        "回调处理"}));
}

TEST_F(AppLaunch, TheProgramEntryRunsTheAppUntilItTerminates) {
    registerAppDelegateClass();
    bool sawLogin = false;
    DispatchQueue::main()->async([&] {
        auto application = UIApplication::sharedApplication();
        sawLogin = isKind<AppDelegate>(application->delegate()) && isKind<KXLoginViewController>(root());
        application->terminate();
    });
    char name[] = "velmaro";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(velmaroMain(1, argv), 0);
    EXPECT_TRUE(sawLogin);
}
