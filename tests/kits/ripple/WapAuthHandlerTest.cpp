// Authorisation through the open platform's web pages when the Ripple app is
// missing: the page loads the stand-in's pages in the kit's web view, and
// the links to the app's own scheme come back through the app's URL
// callbacks to the kit.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

#include "backend/RippleOpenPlatform.h"
#include "foundation/NSURL.h"
#include "kits/ripple/RPApi.h"
#include "kits/ripple/RPAuthMessages.h"
#include "kits/ripple/RippleOpenPlatformHosts.h"
#include "kits/ripple/WapAuthHandler.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIApplication.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIDriver.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UITabBarController.h"
#include "uikit/UIWindow.h"
#include "tests/support/Eventually.h"

namespace {

constexpr const char* kAppId = "rp0123456789abcdef";

// Hands every URL the app is opened with to the kit, as the app delegate does.
class HostApp : public UIApplicationDelegate, public RPApiDelegate {
public:
    bool applicationOpenURLOptions(const Ref<UIApplication>&, const Ref<NSURL>& url, const Dictionary&) override {
        return RPApi::handleOpenURL(url, self<HostApp>());
    }
    void onResp(const Ref<BaseResp>& response) override {
        responses.push_back(response);
        if (whenAnswered) whenAnswered();
    }

    std::vector<Ref<BaseResp>> responses;
    // What the host does inside the answer, as a host may.
    std::function<void()> whenAnswered;
};

class WapAuth : public AppFixture {
protected:
    void SetUp() override {
        platform = backend::RippleOpenPlatform::start();
        ASSERT_TRUE(platform);
        RippleOpenPlatformHosts::setHosts(platform->host(), platform->host(), platform->certificateFile());
        UIApplication::launchForTesting(host);
        RPApi::forgetRequestsForTesting();
        ASSERT_TRUE(RPApi::registerApp(std::string(kAppId), false));
        RPApi::startLogByLevel(0, [this](const std::string& line) { log.push_back(line); });
        // The system hands the app's own scheme back to the app.
        UIApplication::installSimulatedApp(kAppId, [](const Ref<NSURL>& url) {
            UIApplication::sharedApplication()->openURLIntoApp(url);
        });
        window = make<UIWindow>(CGRectMake(0, 0, 375, 667));
        window->setRootViewController(screen);
        window->makeKeyAndVisible();
        request->setScope(std::string("snsapi_userinfo"));
        request->setState(std::string("st8"));
    }
    void TearDown() override {
        handler->resetForTesting();
        UIApplication::installSimulatedApp(kAppId, nullptr);
        RPApi::stopLog();
        platform->stop();
        RippleOpenPlatformHosts::setHosts("", "");
    }

    Ref<UIWebView> webView() const {
        auto page = handler->webViewController();
        return page ? page->webView() : nullptr;
    }
    // Waits for the page to show a link with `text`.
    bool pageOffers(const std::string& text) {
        return runUntil([&] {
            auto view = webView();
            if (!view || view->isLoading()) return false;
            for (const auto& link : view->pageContent().links)
                if (link.text == text) return true;
            return false;
        }, 10);
    }
    void begin() {
        ASSERT_TRUE(RPApi::sendAuthReq(request, screen, host));
        clock.advance(0.35);
    }

    std::unique_ptr<backend::RippleOpenPlatform> platform;
    Ref<HostApp> host = make<HostApp>();
    Ref<UIViewController> screen = make<UIViewController>();
    Ref<UIWindow> window;
    Ref<SendAuthReq> request = make<SendAuthReq>();
    Ref<WapAuthHandler> handler = WapAuthHandler::shareWapAuthHandlerInstance();
    std::vector<std::string> log;
    UIDriver driver;
};

TEST_F(WapAuth, WithoutTheRippleAppTheWebPagesSignInAndTheOAuthAnswerClosesThePage) {
    begin();
    EXPECT_NE(std::find(log.begin(), log.end(), "rplog:rpapp not installed"), log.end());
    auto navigation = cast<UINavigationController>(screen->presentedViewController());
    ASSERT_TRUE(navigation);
    auto page = handler->webViewController();
    ASSERT_TRUE(page);
    EXPECT_EQ(navigation->viewControllers().front(), page);
    EXPECT_EQ(page->title(), "涟信登录");
    ASSERT_TRUE(page->navigationItem()->leftBarButtonItem());
    EXPECT_EQ(page->navigationItem()->leftBarButtonItem()->title(), "取消");

    ASSERT_TRUE(pageOffers("下一步"));
    EXPECT_EQ(webView()->request()->URL()->absoluteString(),
              "https://" + platform->host() + "/connect/mobilecheck?appid=" + kAppId +
                  "&uid=" + std::to_string(handler->timeStamp()));

    // The mobile check sends the user back to the app, which loads the SMS
    // authorisation page in the same web view.
    ASSERT_TRUE(webView()->followLink("下一步"));
    ASSERT_TRUE(pageOffers("同意"));
    const std::string sms = webView()->request()->URL()->absoluteString();
    EXPECT_TRUE(sms.starts_with("https://" + platform->host() + "/connect/smsauthorize?appid=" + kAppId +
                                "&redirect_uri=" + kAppId + "%3A%2F%2Foauth&response_type=code"
                                "&scope=snsapi_userinfo&state=st8&uid=" + std::to_string(handler->timeStamp()) +
                                "&ticket="))
        << sms;
    EXPECT_TRUE(host->responses.empty());

    ASSERT_TRUE(webView()->followLink("同意"));
    ASSERT_TRUE(runUntil([&] { return !host->responses.empty(); }, kGiveUpAfterSeconds));
    ASSERT_EQ(host->responses.size(), 1u);
    auto answer = cast<SendAuthResp>(host->responses[0]);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->errCode(), BaseResp::kSuccess);
    ASSERT_TRUE(answer->code());
    EXPECT_EQ(answer->code()->size(), 32u);
    EXPECT_EQ(answer->state(), "st8");
    EXPECT_FALSE(handler->running());
    EXPECT_FALSE(handler->webViewController());
    clock.advance(0.35);
    EXPECT_FALSE(screen->presentedViewController());
}

TEST_F(WapAuth, CancellingAsksFirstAndLeavingAnswersOnceWithMinusTwo) {
    begin();
    ASSERT_TRUE(pageOffers("下一步"));
    ASSERT_TRUE(driver.tap("取消")) << driver.lastError();
    ASSERT_NE(driver.find("取消后将退出本次登录"), nullptr);
    ASSERT_TRUE(driver.tap("继续登录")) << driver.lastError();
    EXPECT_TRUE(handler->running());
    EXPECT_TRUE(host->responses.empty());
    EXPECT_TRUE(screen->presentedViewController());

    ASSERT_TRUE(driver.tap("取消")) << driver.lastError();
    ASSERT_TRUE(driver.tap("退出登录")) << driver.lastError();
    ASSERT_EQ(host->responses.size(), 1u);
    ASSERT_TRUE(cast<SendAuthResp>(host->responses[0]));
    EXPECT_EQ(host->responses[0]->errCode(), BaseResp::kUserCancelled);
    EXPECT_FALSE(handler->running());
    clock.advance(0.35);
    EXPECT_FALSE(screen->presentedViewController());

    // The platform's redirect that comes after the answer is dropped, also
    // while the next login (another state) is open, which it leaves open.
    const auto lateRedirect = NSURL::URLWithString(std::string(kAppId) + "://oauth?code=c0de&state=st8");
    EXPECT_TRUE(RPApi::handleOpenURL(lateRedirect, host));
    request->setState(std::string("st9"));
    begin();
    EXPECT_TRUE(RPApi::handleOpenURL(lateRedirect, host));
    EXPECT_EQ(host->responses.size(), 1u);
    EXPECT_TRUE(handler->running());
    EXPECT_EQ(log.back(), "rplog:auth answer for another authorisation (state st8): dropped");
}

// Whichever way the page is answered, a login the host begins inside the
// answer shows its own page, which goes on to its own single answer.
TEST_F(WapAuth, ALoginBegunInsideTheAnswerShowsItsPageAndIsAnsweredOnce) {
    const std::function<bool()> leave = [&] { return driver.tap("取消") && driver.tap("退出登录"); },
                                agree = [&] { return webView()->followLink("下一步") && pageOffers("同意") &&
                                                     webView()->followLink("同意"); };
    for (const auto& answer : {agree, leave}) {
        host->responses.clear();
        begin();
        host->whenAnswered = [&] { RPApi::sendAuthReq(request, screen, host); };
        ASSERT_TRUE(pageOffers("下一步") && answer());
        ASSERT_TRUE(runUntil([&] { return host->responses.size() == 1; }, kGiveUpAfterSeconds));
        host->whenAnswered = nullptr;
        clock.advance(0.35);
        ASSERT_TRUE(screen->presentedViewController());
        ASSERT_TRUE(pageOffers("下一步") && agree());
        ASSERT_TRUE(runUntil([&] { return host->responses.size() == 2; }, kGiveUpAfterSeconds));
        EXPECT_EQ(host->responses[1]->errCode(), BaseResp::kSuccess);
    }
}

// The question goes with the page: the answer the platform gives while it
// shows is the only one.
TEST_F(WapAuth, AnAnswerWhileTheQuestionShowsTakesTheQuestionAlong) {
    begin();
    ASSERT_TRUE(pageOffers("下一步"));
    ASSERT_TRUE(webView()->followLink("下一步"));
    ASSERT_TRUE(pageOffers("同意"));
    ASSERT_TRUE(driver.tap("取消")) << driver.lastError();
    ASSERT_NE(driver.find("取消后将退出本次登录"), nullptr);
    ASSERT_TRUE(webView()->followLink("同意"));
    ASSERT_TRUE(runUntil([&] { return !host->responses.empty(); }, kGiveUpAfterSeconds));
    EXPECT_EQ(host->responses[0]->errCode(), BaseResp::kSuccess);
    EXPECT_EQ(driver.find("退出登录"), nullptr);
    handler->clickedButtonAtIndex(nullptr, 1);
    EXPECT_EQ(host->responses.size(), 1u);
}

// From the screens a host has, the login runs with its one page, whose 取消
// ends it with one answer carrying its state; a page refused once the
// callbacks return ends it with -1; with no screen to show the page on, the
// login is refused and the one out stays.
TEST_F(WapAuth, ThePageGoesOverTheTopMostScreenOrTheLoginIsRefused) {
    using Start = std::function<void(const Ref<UIViewController>&)>;
    struct Shown : UIViewController {
        void viewDidAppear(bool) override { std::exchange(appeared, [](auto&) {})(self<UIViewController>()); }
        Start appeared;
    };
    bool answer = false;
    const Start start = [&](const Ref<UIViewController>& from) { answer = RPApi::sendAuthReq(request, from, host); };
    // A stack shown, started from its top, then from a screen pushed on it, in its viewDidAppear.
    const auto stack = [&](bool fromTop, const Start& fromPushed) {
        auto top = make<UIViewController>();
        window->setRootViewController(make<UINavigationController>(top));
        if (fromTop) start(top);
        auto pushed = make<Shown>();
        pushed->appeared = fromPushed;
        if (fromPushed) top->navigationController()->pushViewController(pushed, true);
    };
    auto tabs = make<UITabBarController>();
    tabs->setViewControllers({make<UIViewController>(), make<UIViewController>()});
    tabs->setSelectedIndex(1);
    const std::pair<const char*, std::function<void()>> rows[] = {
        {"the top of a stack", [&] { stack(true, nullptr); }},
        {"the selected tab", [&] { window->setRootViewController(tabs); start(tabs->viewControllers()[1]); }},
        {"its own viewDidAppear", [&] { stack(false, start); }},
        {"a second start inside a callback", [&] { stack(true, start); }},
        {"what the screen presents", [&] {
             window->setRootViewController(screen);
             screen->presentViewController(make<UIViewController>(), false);
             start(screen);
         }},
    };
    for (const auto& [name, row] : rows) {
        host->responses.clear();
        row();
        clock.advance(1);
        ASSERT_TRUE(answer && driver.findAllOfClass("UIWebView").size() == 1) << name;
        ASSERT_TRUE(driver.tap("取消") && driver.tap("退出登录") && host->responses.size() == 1) << name;
        EXPECT_EQ(host->responses[0]->errCode(), BaseResp::kUserCancelled);
        EXPECT_EQ(cast<SendAuthResp>(host->responses[0])->state(), "st8");
        clock.advance(1);
        EXPECT_FALSE(driver.find("涟信登录")) << name;
    }

    begin();
    const auto page = handler->webViewController();
    EXPECT_FALSE(RPApi::sendAuthReq(request, nullptr, host));
    EXPECT_FALSE(RPApi::sendAuthReq(request, make<UIViewController>(), host));
    EXPECT_EQ(handler->webViewController(), page);
    EXPECT_EQ(log.back(), "rplog:Error:no screen to show the login page on");

    host->responses.clear();  // the screen presents first, so the page is refused
    stack(false, [&](auto& from) { from->presentViewController(make<UIViewController>(), false), start(from); });
    clock.advance(1);
    ASSERT_EQ(host->responses.size(), 1u);
    EXPECT_EQ(host->responses[0]->errCode(), BaseResp::kFailed);
}

TEST_F(WapAuth, ReturnURLsAreTakenOnlyWhileAPageIsOpenAndWithAQuery) {
    const auto returnURL = [](const std::string& text) { return NSURL::URLWithString(text); };
    EXPECT_FALSE(handler->handleWapOAuthOpenUrl(returnURL(std::string(kAppId) + "://wapoauth?ticket=1")));
    EXPECT_FALSE(handler->endWapAuth());

    begin();
    ASSERT_TRUE(pageOffers("下一步"));
    const auto first = handler->webViewController();
    const auto firstStamp = handler->timeStamp();
    EXPECT_FALSE(handler->handleWapOAuthOpenUrl(returnURL(std::string(kAppId) + "://wapoauth?")));
    EXPECT_FALSE(handler->handleWapOAuthOpenUrl(returnURL("rpother://wapoauth?ticket=1")));
    EXPECT_FALSE(webView()->isLoading());

    // A second start closes the first page before presenting its own.
    begin();
    EXPECT_NE(handler->webViewController(), first);
    EXPECT_NE(handler->timeStamp(), firstStamp);
    EXPECT_EQ(cast<UINavigationController>(screen->presentedViewController())->viewControllers().front(),
              handler->webViewController());
    ASSERT_TRUE(pageOffers("下一步"));
    EXPECT_NE(webView()->request()->URL()->absoluteString().find(std::to_string(handler->timeStamp())),
              std::string::npos);

    EXPECT_EQ(WapAuthHandler::parseURLParams("a=1&b&c=3=4"), (Dictionary{{"a", "1"}, {"c", "3"}}));

    // A request without a scope or a state sends them empty.
    request->setScope(std::nullopt);
    request->setState(std::nullopt);
    begin();
    EXPECT_NE(handler->getSmsAuthorizeUrl("ticket=1").find("&response_type=code&scope=&state=&uid="), std::string::npos);
}

}  // namespace
