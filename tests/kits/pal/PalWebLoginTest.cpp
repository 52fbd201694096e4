// The kit's web window over the app and the web login against the stand-in
// authorisation page.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "backend/PalAuthorizationPage.h"
#include "backend/PalConnectServices.h"
#include "foundation/NSBundle.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBLoginViewKit.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBWebKit/NBWebNavigationController.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/Util/ConfigManager.h"
#include "kits/pal/NimbusOpenApi_IOS/NBOError.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"
#include "kits/pal/NimbusOpenApi_IOS/OpenApi.h"
#include "system/SCNetworkReachability.h"
#include "tests/kits/pal/PalWebWindowFixture.h"
#include "tests/support/FakeReachability.h"
#include "foundation/NSURLError.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIDriver.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"
#include "tests/support/Eventually.h"

namespace {

using Received = backend::PalConnectServices::ReceivedRequest;

class WindowEvents : public NSObject, public NBWebViewKitDelegate {
public:
    void webViewKitDidFinishedWithError(const Ref<NBWebViewKit>&, const Ref<NSError>& error) override {
        ++finished;
        lastError = error;
    }
    void webViewKitDidLoadWithNetworkError(const Ref<NBWebViewKit>&, const Ref<NSError>&) override { ++networkErrors; }
    void webViewKitDidLoadWithContentError(const Ref<NBWebViewKit>&, const Ref<NSError>&) override { ++contentErrors; }
    int finished = 0;
    int networkErrors = 0;
    int contentErrors = 0;
    Ref<NSError> lastError;
};

class LoginOutcomes : public NSObject, public NBLoginViewDelegate {
public:
    void loginViewKitDidSucceedLogin(const Ref<NBLoginViewKit>&, const std::optional<std::string>& serial) override {
        successes.push_back(serial.value_or(""));
    }
    void loginViewKitDidFailuredWithError(const Ref<NBLoginViewKit>&, const Ref<NSError>& error,
                                          const std::optional<std::string>&) override {
        failures.push_back(error);
    }
    std::vector<std::string> successes;
    std::vector<Ref<NSError>> failures;
};

class SessionOutcomes : public NSObject, public NimbusSessionDelegate {
public:
    void nimbusDidLogin() override { record("login"); }
    void nimbusDidNotLogin(bool cancelled) override { record(cancelled ? "cancelled" : "failed"); }
    void nimbusDidNotNetWork() override { record("no network"); }
    void didGetUnionID() override { outcomes.push_back("union id"); }
    void record(const std::string& outcome) {
        outcomes.push_back(outcome);
        if (auto again = std::exchange(loginAgain, nullptr)) again();
    }
    std::vector<std::string> outcomes;
    std::function<void()> loginAgain;  // begins a new login inside the first outcome, as a host may
};

class PalWebLogin : public PalWebWindowFixture {
protected:
    std::vector<Received> authorisationRequests() const {
        return services->receivedRequestsTo(NBLoginViewKit::kAuthorizePath);
    }
};

TEST_F(PalWebLogin, TheKitWindowSlidesOverTheAppAndAwayAndItsPageCallsOnlyWhatTheBridgeOffers) {
    auto events = make<WindowEvents>();
    auto kit = make<NBWebViewKit>(NimbusConnectHosts::baseURL() + "/oauth2.0/m_authorize?client_id=1234",
                                  std::string("帐号授权"), events);
    ASSERT_TRUE(kit->open());
    auto window = kit->window();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->frame(), UIScreen::mainScreen()->bounds());
    EXPECT_TRUE(window->isKeyWindow());
    EXPECT_EQ(kit->keywindow(), appWindow);
    auto navigation = cast<NBWebNavigationController>(window->rootViewController());
    ASSERT_TRUE(navigation);
    auto item = kit->webViewController()->navigationItem();
    EXPECT_EQ(item->title(), "帐号授权");
    ASSERT_TRUE(item->leftBarButtonItem());
    EXPECT_EQ(item->leftBarButtonItem()->title(), "关闭");
    ASSERT_TRUE(runUntil([&] { return pageShows(kit, "授权并登录"); }, kGiveUpAfterSeconds));

    // Bridge calls: the scheme in any case, arguments percent-decoded, extra
    // components dropped; the call URL itself never loads.
    auto webView = kit->webViewController()->webview();
    auto page = webView->request();
    webView->loadRequest(NSURLRequest::requestWithURL(NSURL::URLWithString("NBWEBVIEWKIT://setNavigationTitle-/Hello%20World/extra")));
    ASSERT_TRUE(runUntil([&] { return item->title() == "Hello World"; }));
    webView->loadRequest(NSURLRequest::requestWithURL(
        NSURL::URLWithString("NBWebViewKit://setRightNavigationBarButton-bindingJS-/%E5%AE%8C%E6%88%90/save()")));
    ASSERT_TRUE(runUntil([&] { return item->rightBarButtonItem() != nullptr; }));
    EXPECT_EQ(item->rightBarButtonItem()->systemItem(), std::optional(UIBarButtonSystemItem::Done));
    item->rightBarButtonItem()->sendAction();
    ASSERT_FALSE(webView->evaluatedScripts().empty());
    EXPECT_EQ(webView->evaluatedScripts().back(), "save()");
    // Anything the bridge does not list is refused and not loaded.
    webView->loadRequest(NSURLRequest::requestWithURL(NSURL::URLWithString("NBWebViewKit://open")));
    webView->loadRequest(NSURLRequest::requestWithURL(NSURL::URLWithString("nbwebviewkit://setNavigationTitle-")));
    ASSERT_TRUE(runUntil([&] { return item->title().empty(); }));
    EXPECT_EQ(kit->window(), window);
    EXPECT_EQ(webView->request()->URL()->absoluteString(), page->URL()->absoluteString());

    // 关闭 ends the screen and slides the window out to the left.
    item->leftBarButtonItem()->sendAction();
    EXPECT_EQ(events->finished, 1);
    EXPECT_EQ(window->frame().origin.x, -UIScreen::mainScreen()->bounds().size.width);
    EXPECT_TRUE(kit->isClosing());
    slideOut();
    EXPECT_FALSE(kit->window());
    EXPECT_TRUE(window->isHidden());
    EXPECT_TRUE(appWindow->isKeyWindow());
    EXPECT_EQ(events->finished, 1);
}

TEST_F(PalWebLogin, TheWebViewAnswerIsTakenWhenThePageRedirectsAndToldOnceTheWindowHasClosed) {
    auto outcomes = make<LoginOutcomes>();
    auto kit = make<NBLoginViewKit>(std::string("1234"), std::nullopt, std::vector<std::string>{"get_user_info", "add_share"},
                                    outcomes);
    kit->setSerial(std::string("1001"));
    ASSERT_TRUE(kit->open());
    follow(kit, "授权并登录");
    ASSERT_TRUE(runUntil([&] { return kit->isClosing(); }));
    EXPECT_TRUE(outcomes->successes.empty());
    slideOut();
    ASSERT_EQ(outcomes->successes, std::vector<std::string>{"1001"});
    EXPECT_EQ(kit->accessToken(), backend::palIssuedToken("1234"));
    EXPECT_EQ(kit->openId(), backend::palOpenId("1234"));
    ASSERT_TRUE(kit->expirationDate());
    EXPECT_NEAR(kit->expirationDate()->timeIntervalSinceNow(), 7776000, 60);
    EXPECT_TRUE(kit->encryToken());
    EXPECT_TRUE(kit->payToken());
    // pay_token stays in what is passed on; page_type, auth_time and state go.
    EXPECT_TRUE(kit->passData().find("pay_token"));
    EXPECT_FALSE(kit->passData().find("state"));
    EXPECT_FALSE(kit->passData().find("page_type"));

    auto requests = authorisationRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].params["redirect_uri"], "auth://www.pal.example");
    EXPECT_EQ(requests[0].params["response_type"], "token");
    EXPECT_EQ(requests[0].params["scope"], "get_user_info,add_share");
    EXPECT_EQ(requests[0].params["sdkv"], "3.2.1");
    EXPECT_TRUE(appWindow->isKeyWindow());
}

TEST_F(PalWebLogin, ARedirectAddressBeginningWithBrowserStillTakesTheWebViewAnswer) {
    auto outcomes = make<LoginOutcomes>();
    auto kit = make<NBLoginViewKit>(std::string("1234"), std::string("browser.pal.test"), std::vector<std::string>{},
                                    outcomes);
    kit->setSerial(std::string("1003"));
    ASSERT_TRUE(kit->open());
    follow(kit, "授权并登录");  // "auth://browser.pal.test#access_token=..."
    ASSERT_TRUE(runUntil([&] { return kit->isClosing(); }, kGiveUpAfterSeconds));
    slideOut();
    EXPECT_EQ(outcomes->successes, std::vector<std::string>{"1003"});
    EXPECT_EQ(kit->accessToken(), backend::palIssuedToken("1234"));
    EXPECT_EQ(authorisationRequests().size(), 1u);  // no browser login asked for
}

TEST_F(PalWebLogin, CancellingOnThePageOrLosingTheNetworkEndsTheLoginWithoutAToken) {
    auto outcomes = make<LoginOutcomes>();
    auto kit = make<NBLoginViewKit>(std::string("1234"), std::nullopt, std::vector<std::string>{}, outcomes);
    ASSERT_TRUE(kit->open());
    follow(kit, "取消");
    ASSERT_TRUE(runUntil([&] { return kit->isClosing(); }));
    slideOut();
    ASSERT_EQ(outcomes->failures.size(), 1u);
    EXPECT_FALSE(outcomes->failures[0]);  // a cancel
    EXPECT_TRUE(outcomes->successes.empty());

    // The page cannot be reached: a failure with the load error.
    services->stop();
    ASSERT_TRUE(kit->open());
    ASSERT_TRUE(runUntil([&] { return outcomes->failures.size() == 2; }, kGiveUpAfterSeconds));
    EXPECT_TRUE(outcomes->failures[1]);
    EXPECT_FALSE(make<NBLoginViewKit>()->open());  // no app id, nothing opens
}

TEST_F(PalWebLogin, ACancelledLoadIsRetriedFourTimesAndTheFifthIsAContentError) {
    auto events = make<WindowEvents>();
    const std::string path = "/oauth2.0/m_authorize";
    auto kit = make<NBWebViewKit>(NimbusConnectHosts::baseURL() + path + "?client_id=1234", std::string(""), events);
    ASSERT_TRUE(kit->open());
    auto screen = kit->webViewController();
    // Each failure comes once the page is in: a load started over one still
    // running would cancel that one too.
    const auto loaded = [&] { return pageShows(kit, "授权并登录") && !screen->webview()->isLoading(); };
    ASSERT_TRUE(runUntil(loaded, kGiveUpAfterSeconds));
    const auto cancelled = NSError::errorWithDomain(NSURLErrorDomain, NSURLErrorCancelled);
    for (std::size_t retry = 1; retry <= 4; ++retry) {
        screen->didFailLoadWithError(screen->webview(), cancelled);
        ASSERT_TRUE(runUntil([&] { return services->receivedRequestsTo(path).size() == 1 + retry && loaded(); }, kGiveUpAfterSeconds));
    }
    EXPECT_EQ(events->contentErrors, 0);
    screen->didFailLoadWithError(screen->webview(), cancelled);
    EXPECT_EQ(events->contentErrors, 1);
    EXPECT_EQ(events->networkErrors, 0);
}

TEST_F(PalWebLogin, ABrowserSwitchThatCannotHappenFallsBackToThePageCarryingTheBrowserError) {
    auto outcomes = make<LoginOutcomes>();
    auto kit = make<NBLoginViewKit>(std::string("1234"), std::string("done"), std::vector<std::string>{}, outcomes);
    ASSERT_TRUE(kit->open());
    // Without a serial there is no browser login; the link says "fall_to_wv".
    follow(kit, "用浏览器登录");
    ASSERT_TRUE(runUntil([&] { return authorisationRequests().size() == 2; }, kGiveUpAfterSeconds));
    EXPECT_FALSE(authorisationRequests()[0].params.count("browser_error"));
    EXPECT_EQ(authorisationRequests()[1].params["browser_error"], "1");
    EXPECT_EQ(authorisationRequests()[1].params.count("browser"), 0u);
    EXPECT_FALSE(kit->browserErrorFlag());
    EXPECT_TRUE(outcomes->failures.empty());
}

TEST_F(PalWebLogin, TheBrowserModeAnswerIsUnmaskedWithTheLoginsOwnKeyAndToldAtOnce) {
    auto outcomes = make<LoginOutcomes>();
    auto kit = make<NBLoginViewKit>(std::string("1234"), std::string("myapp://done"), std::vector<std::string>{},
                                    outcomes);
    kit->setSerial(std::string("1002"));
    ASSERT_TRUE(kit->open());
    follow(kit, "用浏览器登录");
    ASSERT_TRUE(runUntil([&] { return authorisationRequests().size() == 2; }, kGiveUpAfterSeconds));
    auto requests = authorisationRequests();
    EXPECT_EQ(requests[0].params["redirect_uri"], "auth://done");
    const auto& browser = requests[1].params;
    EXPECT_EQ(browser.at("browser"), "1");
    EXPECT_EQ(browser.at("serial"), "1002");
    EXPECT_EQ(browser.at("redirect_uri"), "nimbus1234://done");
    const std::string key = browser.at("token_key");
    EXPECT_TRUE(key.size() >= 2 && key.size() <= 16 && key.size() % 2 == 0) << key;
    ASSERT_TRUE(kit->loginDict() && kit->loginDict()->find("1002"));
    // The first page's window closing is no outcome of the login.
    EXPECT_TRUE(outcomes->failures.empty());

    follow(kit, "授权并登录");
    ASSERT_TRUE(runUntil([&] { return !outcomes->successes.empty(); }));
    EXPECT_EQ(outcomes->successes, std::vector<std::string>{"1002"});
    EXPECT_EQ(kit->accessToken(), backend::palIssuedToken("1234"));
    EXPECT_NE(backend::palMaskedToken(*kit->accessToken(), key), *kit->accessToken());
    EXPECT_FALSE(kit->loginDict()->find("1002"));
    slideOut();
    EXPECT_EQ(outcomes->successes.size(), 1u);
    EXPECT_TRUE(outcomes->failures.empty());

    // An answer for a serial without a record is refused.
    EXPECT_FALSE(kit->handleOpenURL(NSURL::URLWithString(kit->callbackPrefix() + "/authorize#access_token=00&serial=1002")));
}

TEST_F(PalWebLogin, BrowserModeRefusalsAreFailuresAndAccessDeniedIsACancel) {
    auto outcomes = make<LoginOutcomes>();
    auto kit = make<NBLoginViewKit>(std::string("1234"), std::nullopt, std::vector<std::string>{}, outcomes);
    kit->setSerial(std::string("7"));
    ASSERT_TRUE(kit->openWithSafari());
    const auto prefix = kit->callbackPrefix();
    EXPECT_TRUE(kit->canHandleOpenURL(NSURL::URLWithString(prefix + "/x")));
    // An answer for another login runs no script; this login's runs its own.
    auto webView = kit->webViewController()->webview();
    EXPECT_FALSE(kit->handleOpenURL(NSURL::URLWithString(prefix + "/authorize#cb=forged&serial=70")));
    EXPECT_TRUE(kit->handleOpenURL(NSURL::URLWithString(prefix + "/authorize#error=access_denied&cb=told&serial=7")));
    ASSERT_EQ(outcomes->failures.size(), 1u);
    EXPECT_FALSE(outcomes->failures[0]);
    ASSERT_TRUE(runUntil([&] { return !webView->evaluatedScripts().empty(); }));
    EXPECT_TRUE(webView->evaluatedScripts()[0].starts_with("told(")) << webView->evaluatedScripts()[0];

    kit->setSerial(std::string("8"));
    ASSERT_TRUE(kit->openWithSafari());
    EXPECT_TRUE(kit->handleOpenURL(NSURL::URLWithString(prefix + "/authorize#error=invalid_client&error_code=100008&serial=8")));
    ASSERT_EQ(outcomes->failures.size(), 2u);
    ASSERT_TRUE(outcomes->failures[1]);
    EXPECT_EQ(outcomes->failures[1]->code(), 0);

    // A token of odd length unmasks to nothing; "expires_in" 0 sets no expiry.
    kit->setSerial(std::string("9"));
    ASSERT_TRUE(kit->openWithSafari());
    EXPECT_TRUE(kit->handleOpenURL(NSURL::URLWithString(prefix + "/authorize#access_token=abc&expires_in=0&serial=9")));
    EXPECT_FALSE(kit->accessToken());
    EXPECT_TRUE(outcomes->successes.empty());
    EXPECT_EQ(NBLoginViewKit::generateUrlString("https://h/p", {}), "https://h/p");
}

}  // namespace

TEST_F(PalWebLogin, WithoutAPalAppAuthorizeFallsBackToTheWebLoginAndTheSessionDelegateHearsTheOutcome) {
    auto delegate = make<SessionOutcomes>();
    auto session = make<NimbusOAuth>(std::string("1234"), delegate);

    // Without network the page does not open.
    FakeReachability network(0);
    EXPECT_TRUE(session->authorize({"get_user_info"}));
    EXPECT_EQ(delegate->outcomes, std::vector<std::string>{"no network"});
    EXPECT_EQ(OpenApi::nimbusAuhorizeState(), OpenApi::kStateIdle);

    network.set(kSCNetworkReachabilityFlagsReachable);
    delegate->outcomes.clear();
    EXPECT_TRUE(session->authorize({"get_user_info"}));
    // No Pal app took the request, so the web login runs.
    EXPECT_EQ(NBOError::getLastOAuthError(), "palversion not suport opensdkapiV2");
    EXPECT_EQ(OpenApi::nimbusAuhorizeState(), OpenApi::kStateWebLogin);
    auto kit = session->loginViewKit();
    ASSERT_TRUE(kit);
    EXPECT_EQ(session->pendingWebLogins(), 1u);
    follow(kit, "授权并登录");
    ASSERT_TRUE(runUntil([&] { return kit->isClosing(); }));
    slideOut();
    EXPECT_EQ(delegate->outcomes, std::vector<std::string>{"login"});
    EXPECT_EQ(session->accessToken(), backend::palIssuedToken("1234"));
    EXPECT_EQ(session->openId(), backend::palOpenId("1234"));
    EXPECT_TRUE(session->isSessionValid());
    EXPECT_EQ(OpenApi::nimbusAuhorizeState(), OpenApi::kStateIdle);

    // A closed page is a cancelled login, and the pending entry goes.
    EXPECT_TRUE(session->authorize({"get_user_info"}));
    session->loginViewKitDidFailuredWithError(kit, nullptr, kit->serial());
    EXPECT_EQ(delegate->outcomes, (std::vector<std::string>{"login", "cancelled"}));
    EXPECT_EQ(session->pendingWebLogins(), 1u);  // the first login's entry stays, as after any success
    ASSERT_TRUE(runUntil([] { return ConfigManager::GetInstance()->apiRequests().empty(); }, kGiveUpAfterSeconds));
}

TEST_F(PalWebLogin, AfterTheBrowserSwitchTheClosedWindowOrAnUnusableAnswerEndsTheLogin) {
    auto delegate = make<SessionOutcomes>();
    auto session = make<NimbusOAuth>(std::string("1234"), delegate);
    const FakeReachability network(kSCNetworkReachabilityFlagsReachable);
    // The browser page closed; a token of odd length; a zero expiry; one
    // past; the page starting over (its old window's close or script then
    // closes nothing), whose record the next login ends.
    std::optional<std::string> replaced;
    for (const std::string answer : {"", "access_token=abc&expires_in=60", "access_token=0a0b&expires_in=0",
                                     "access_token=0a0b&expires_in=-60&openid=O", "error=service_disabled_use_browser",
                                     "error=service_disabled_use_browser&cb=told", "error=access_denied"}) {
        const std::size_t asked = authorisationRequests().size();
        ASSERT_TRUE(session->authorize({"get_user_info"}));
        auto kit = session->loginViewKit();
        if (replaced) {
            EXPECT_FALSE(kit->handleOpenURL(NSURL::URLWithString(
                kit->callbackPrefix() + "/authorize#access_token=0a0b&expires_in=60&openid=O&serial=" + *replaced)));
        }
        replaced = kit->serial();
        follow(kit, "用浏览器登录");
        ASSERT_TRUE(runUntil([&] { return authorisationRequests().size() == asked + 2; }, kGiveUpAfterSeconds));
        const auto url = NSURL::URLWithString(kit->callbackPrefix() + "/authorize#" + answer + "&serial=" + *kit->serial());
        if (answer.empty()) {
            kit->webViewController()->navigationItem()->leftBarButtonItem()->sendAction();  // 关闭
        } else {
            EXPECT_TRUE(kit->handleOpenURL(url));
        }
        slideOut();
        const bool startedOver = answer.starts_with("error=service");
        EXPECT_EQ(kit->window() != nullptr, startedOver) << answer;
        EXPECT_EQ(OpenApi::nimbusAuhorizeState(), startedOver ? OpenApi::kStateWebLogin : OpenApi::kStateIdle);
    }
    EXPECT_EQ(delegate->outcomes, (std::vector<std::string>{"cancelled", "failed", "failed", "failed", "cancelled"}));
}

TEST_F(PalWebLogin, ALoginBegunInsideAnOutcomeKeepsAWindowOfItsOwn) {
    const FakeReachability network(kSCNetworkReachabilityFlagsReachable);
    // The links or the button (关闭) that end the first login.
    for (const auto& ending : std::vector<std::vector<std::string>>{
             {"授权并登录"}, {"取消"}, {"关闭"}, {"用浏览器登录", "授权并登录"}}) {
        auto delegate = make<SessionOutcomes>();
        auto session = make<NimbusOAuth>(std::string("1234"), delegate);
        delegate->loginAgain = [weak = WeakRef<NimbusOAuth>(session)] { weak.lock()->authorize({"get_user_info"}); };
        ASSERT_TRUE(session->authorize({"get_user_info"}));
        auto kit = session->loginViewKit();
        for (const auto& link : ending) follow(kit, link == "关闭" ? "授权并登录" : link, link == "关闭");
        ASSERT_TRUE(runUntil([&] { return kit->isClosing() || !delegate->outcomes.empty(); }, kGiveUpAfterSeconds));
        slideOut();
        EXPECT_EQ(delegate->outcomes.size(), 1u) << ending[0];
        EXPECT_TRUE(kit->window() && !kit->isClosing() && pageShows(kit, "授权并登录")) << ending[0];
    }
}

TEST_F(PalWebLogin, ThePolicysWebLoginSwitchSkipsSignOnAndANetworkFailureIsToldAsOne) {
    auto config = ConfigManager::GetInstance();
    config->config().set("CommonUseWebLogin", 1);
    struct Restore {
        ~Restore() { ConfigManager::GetInstance()->config().remove("CommonUseWebLogin"); }
    } restore;
    auto delegate = make<SessionOutcomes>();
    auto session = make<NimbusOAuth>(std::string("1234"), delegate);
    const FakeReachability network(kSCNetworkReachabilityFlagsReachable);
    NBOError::setLastOAuthError(0, "before");
    EXPECT_TRUE(session->authorize({"get_user_info"}));
    // No sign-on was tried (it would have failed for want of a Pal app).
    EXPECT_EQ(NBOError::getLastOAuthError(), std::optional<std::string>("before"));
    EXPECT_EQ(OpenApi::nimbusAuhorizeState(), OpenApi::kStateWebLogin);
    auto kit = session->loginViewKit();
    ASSERT_TRUE(kit);

    // The page cannot load for want of a network: told as such, with an alert.
    session->loginViewKitDidFailuredWithError(
        kit, NSError::errorWithDomain(NSURLErrorDomain, NSURLErrorNotConnectedToInternet), kit->serial());
    EXPECT_EQ(delegate->outcomes, std::vector<std::string>{"no network"});
    auto alerts = UIDriver().findAllOfClass("UIAlertView");
    ASSERT_FALSE(alerts.empty());
    auto alert = cast<UIAlertView>(alerts.back());
    EXPECT_EQ(alert->title() + " / " + alert->message(), "网络错误 / 网络连接不可用。");
    alert->dismissWithClickedButtonIndex(0, false);
    ASSERT_TRUE(runUntil([] { return ConfigManager::GetInstance()->apiRequests().empty(); }, kGiveUpAfterSeconds));
}

TEST_F(PalWebLogin, AServerSideLoginAsksTheServiceForTheOpenIdOfItsToken) {
    auto delegate = make<SessionOutcomes>();
    auto session = make<NimbusOAuth>(std::string("1234"), delegate);
    session->setAuthMode(1);
    const FakeReachability network(kSCNetworkReachabilityFlagsReachable);
    EXPECT_TRUE(session->authorize({"get_user_info"}));
    follow(session->loginViewKit(), "授权并登录");
    ASSERT_TRUE(runUntil([&] { return session->loginViewKit()->isClosing(); }));
    slideOut();
    ASSERT_TRUE(runUntil([&] { return !delegate->outcomes.empty(); }, kGiveUpAfterSeconds));
    EXPECT_EQ(delegate->outcomes, std::vector<std::string>{"login"});
    EXPECT_EQ(session->openId(), backend::palOpenId("1234"));
    EXPECT_EQ(session->pendingWebLogins(), 0u);
    auto asked = services->receivedRequestsTo("/oauth2.0/m_me");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].params["access_token"], backend::palIssuedToken("1234"));
    EXPECT_EQ(asked[0].params["oauth_consumer_key"], "1234");

    // A token the service does not know ends the login as failed.
    services->setCannedAnswer("/oauth2.0/m_me", R"(callback( {"error":100016} );)");
    session->setOpenId(std::nullopt);
    EXPECT_TRUE(session->authorize({"get_user_info"}));
    follow(session->loginViewKit(), "授权并登录");
    ASSERT_TRUE(runUntil([&] { return session->loginViewKit()->isClosing(); }));
    slideOut();
    ASSERT_TRUE(runUntil([&] { return delegate->outcomes.size() == 2; }, kGiveUpAfterSeconds));
    EXPECT_EQ(delegate->outcomes.back(), "failed");
    EXPECT_FALSE(session->openId());
    EXPECT_EQ(session->pendingWebLogins(), 0u);
}

TEST_F(PalWebLogin, TheGraphLoginAndTheUnionIdAskWhoTheTokenBelongsTo) {
    auto delegate = make<SessionOutcomes>();
    auto session = make<NimbusOAuth>(std::string("1234"), delegate);
    session->nimbusDialogLogin(backend::palIssuedToken("1234"), NSDate::date().dateByAddingTimeInterval(3600));
    ASSERT_TRUE(runUntil([&] { return !delegate->outcomes.empty(); }, kGiveUpAfterSeconds));
    EXPECT_EQ(delegate->outcomes, std::vector<std::string>{"login"});
    EXPECT_EQ(session->openId(), backend::palOpenId("1234"));

    EXPECT_TRUE(session->RequestUnionId());
    ASSERT_TRUE(runUntil([&] { return delegate->outcomes.size() == 2; }, kGiveUpAfterSeconds));
    EXPECT_EQ(delegate->outcomes.back(), "union id");
    EXPECT_EQ(session->unionid(), backend::palUnionId("1234"));
    EXPECT_TRUE(session->apiRequests().empty());
    EXPECT_EQ(services->receivedRequestsTo("/oauth2.0/me").at(0).params["unionid"], "1");

    // A token the service did not issue is no login.
    session->nimbusDialogLogin(std::string("forged"), NSDate::date().dateByAddingTimeInterval(3600));
    ASSERT_TRUE(runUntil([&] { return delegate->outcomes.size() == 3; }, kGiveUpAfterSeconds));
    EXPECT_EQ(delegate->outcomes.back(), "failed");
    session->setAccessToken(std::nullopt);
    EXPECT_FALSE(session->RequestUnionId());

    // A login begun as a logout ends a graph login is the session after it.
    const auto token = backend::palIssuedToken("1234");
    delegate->loginAgain = [&] { session->nimbusDialogLogin(token, NSDate::distantFuture()); };
    delegate->loginAgain();
    session->logout(nullptr);
    ASSERT_TRUE(runUntil([&] { return delegate->outcomes.size() == 5; }, kGiveUpAfterSeconds));
    EXPECT_EQ(delegate->outcomes.back(), "login");
    EXPECT_TRUE(session->isSessionValid());
}
