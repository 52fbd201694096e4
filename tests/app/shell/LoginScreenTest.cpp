#include <gtest/gtest.h>

#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXLoginViewController.h"
#include "app/shell/KXRequestSignature.h"
#include "app/shell/KXTabBarController1.h"
#include "backend/LocalBackend.h"
#include "foundation/NSString.h"
#include "foundation/NSUserDefaults.h"
#include "tests/app/shell/AppShellFixture.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "tests/support/MisbehavingServer.h"
#include "tests/support/TestShots.h"
#include "tests/support/TextFitCheck.h"

// The sign-in screen of a launched app with nobody signed in.
class LoginScreen : public AppShellFixture {
protected:
    void SetUp() override { launch(); }

    bool signIn(std::string_view account, std::string_view password) {
        return driver.typeText("#zhanghuTextField", account) && driver.typeText("#mimaTextFeild", password) &&
               driver.tap("#dengluBut");
    }
    // Waits for the sign-in's busy message to give way to its outcome.
    std::string outcome() {
        EXPECT_TRUE(runUntil([&] { return shownHUDText() != "正在登录"; })) << "no answer";
        return hudText();
    }
    // A scripted service answering every sign-in with `body`.
    void answerWith(LoopbackHTTPServer& server, std::string body) {
        server.respond("GET", "/", 200, std::move(body), "application/json");
        KXServiceAddress::setBaseURL(server.baseURL() + "/");
    }
    std::string query(const LoopbackHTTPServer::RecordedRequest& request, const std::string& name) {
        for (const auto& item : NSString::componentsSeparatedByString(request.query, "&")) {
            auto pair = NSString::componentsSeparatedByString(item, "=");
            if (pair.size() == 2 && pair[0] == name) return *NSString::stringByRemovingPercentEncoding(pair[1]);
        }
        return {};
    }
};

TEST_F(LoginScreen, IsBuiltFromItsOutletsWithTheStylingAppliedInCode) {
    auto login = cast<KXLoginViewController>(root());
    ASSERT_TRUE(login);
    auto password = login->mimaTextFeild();
    ASSERT_TRUE(password && login->zhanghuTextField() && login->dengluBut() && login->zuiwaimianbeijingView());
    EXPECT_TRUE(password->isSecureTextEntry());
    EXPECT_EQ(password->keyboardType(), UIKeyboardType::ASCIICapable);
    auto card = login->zuiwaimianbeijingView()->layer();
    EXPECT_EQ(card->cornerRadius(), 6.0);
    EXPECT_EQ(card->shadowRadius(), 12.0);
    EXPECT_EQ(card->shadowOpacity(), 1.0);
    EXPECT_FALSE(card->masksToBounds());
    EXPECT_EQ(login->dengluBut()->layer()->cornerRadius(), 6.0);
    auto icon = login->icoiamgetouxiangView();
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->layer()->cornerRadius(), 14.0);
    EXPECT_EQ(icon->image(), UIImage::imageNamed("AppIcon"));
    ASSERT_TRUE(icon->image());

    // Every part of the form lies on screen, the fields inside the card.
    CGRect screen = UIApplication::sharedApplication()->keyWindow()->bounds();
    for (const char* outlet : {"#icoiamgetouxiangView", "#zuiwaimianbeijingView", "#zhanghuTextField",
                               "#mimaTextFeild", "#dengluBut"}) {
        auto view = driver.find(outlet);
        ASSERT_TRUE(view) << outlet;
        EXPECT_TRUE(CGRectContainsRect(screen, view->convertRectToView(view->bounds(), nullptr))) << outlet;
    }
    ASSERT_TRUE(checkedShot(driver, testShotPath("login-screen.png"))) << driver.lastError();
}

TEST_F(LoginScreen, InputChecksStopAtTheFirstFailureWithoutARequest) {
    LoopbackHTTPServer server;
    answerWith(server, R"({"code":1})");
    auto login = cast<KXLoginViewController>(root());
    // Taps the button once the last message has gone (its HUD takes taps).
    auto tapAndRead = [&] {
        clock.advance(1.5);
        EXPECT_TRUE(driver.tap("#dengluBut"));
        return hudText();
    };
    EXPECT_EQ(tapAndRead(), "请输入账号");
    EXPECT_TRUE(driver.typeText("#mimaTextFeild", "secret"));
    EXPECT_EQ(tapAndRead(), "请输入账号");
    login->zhanghuTextField()->setText("\u3164 \u2800");
    EXPECT_EQ(tapAndRead(), "请输入账号") << "an account in which nothing draws is none";
    login->zhanghuTextField()->setText("");

    login->mimaTextFeild()->setText("");
    EXPECT_TRUE(driver.typeText("#zhanghuTextField", "demo"));
    EXPECT_EQ(tapAndRead(), "请输入密码");

    for (const char* password : {" ", "se cret"}) {
        login->mimaTextFeild()->setText(password);
        EXPECT_EQ(tapAndRead(), "密码中不能有空格");
    }
    // While a message shows, the button cannot be reached.
    login->mimaTextFeild()->setText("secret");
    EXPECT_TRUE(driver.tap("#dengluBut"));
    EXPECT_EQ(hudText(), "密码中不能有空格");
    ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); }));  // a sign-in sent would be answered by now
    EXPECT_EQ(server.requestCount(), 0u);
}

TEST_F(LoginScreen, SendsTheSignedSevenParameters) {
    LoopbackHTTPServer server;
    answerWith(server, R"({"code":0,"message":"账号已停用"})");
    ASSERT_TRUE(signIn("de mo", "p@ss"));
    EXPECT_EQ(outcome(), "账号已停用");
    auto request = server.lastRequest();
    ASSERT_TRUE(request);
    for (auto [name, value] : {std::pair{"ios", "1"}, {"ct", "app"}, {"ac", "login"}, {"username", "de mo"},
                               {"passwd", "p@ss"}})
        EXPECT_EQ(query(*request, name), value) << name;
    std::string t = query(*request, "t");
    EXPECT_TRUE(NSString::strictInteger(t));
    EXPECT_EQ(query(*request, "sign"), KXRequestSignature::sign({"de mo", "p@ss", t}));
    EXPECT_EQ(query(*request, "uid"), "");
    EXPECT_EQ(KXLocallyStoredData::getLoginUserID(), "");
}

TEST_F(LoginScreen, AWrongPasswordShowsTheServersMessageAndStoresNothing) {
    auto backend = backend::LocalBackend::start({});
    ASSERT_TRUE(backend);
    KXServiceAddress::setBaseURL(backend->baseURL());
    ASSERT_TRUE(signIn("demo", "wrong"));
    EXPECT_EQ(outcome(), "账号或密码错误");
    EXPECT_EQ(KXLocallyStoredData::getLoginUserID(), "");
    EXPECT_TRUE(isKind<KXLoginViewController>(root()));
}

// Lengths are the back end's to judge: it says why it refuses a password,
// and no account has a name longer than it keeps.
TEST_F(LoginScreen, LongAccountsAndPasswordsGoOutAndTheBackEndSaysWhatIsWrong) {
    auto backend = backend::LocalBackend::start({});
    ASSERT_TRUE(backend);
    KXServiceAddress::setBaseURL(backend->baseURL());
    auto login = cast<KXLoginViewController>(root());
    ASSERT_TRUE(login);
    const auto attempt = [&](const std::string& account, const std::string& password) {
        login->zhanghuTextField()->setText(account);
        login->mimaTextFeild()->setText(password);
        EXPECT_TRUE(driver.tap("#dengluBut"));
        std::string shown = outcome();
        clock.advance(2);
        return shown;
    };
    EXPECT_EQ(attempt("demo", std::string(101, 'p')), "密码不能超过100个字节");
    std::string longName;
    for (int i = 0; i < 33; ++i) longName += "张";
    EXPECT_EQ(attempt(longName + "ab", "123456"), "账号或密码错误");
    EXPECT_EQ(KXLocallyStoredData::getLoginUserID(), "");
    EXPECT_TRUE(isKind<KXLoginViewController>(root()));
}

TEST_F(LoginScreen, TheDemoAccountOpensTheTabBarAndTheNextLaunchGoesStraightThere) {
    auto backend = backend::LocalBackend::start({});
    ASSERT_TRUE(backend);
    KXServiceAddress::setBaseURL(backend->baseURL());
    ASSERT_TRUE(signIn("demo", "123456"));
    EXPECT_EQ(outcome(), "登录成功");
    auto tabBar = cast<KXTabBarController1>(root());
    ASSERT_TRUE(tabBar);
    EXPECT_EQ(tabBar->viewControllers().size(), 4u);
    EXPECT_NE(KXLocallyStoredData::getLoginUserID(), "");
    EXPECT_EQ(KXLocallyStoredData::getUsername(), "demo");
    EXPECT_NE(KXLocallyStoredData::getHead(), "");
    EXPECT_NE(KXLocallyStoredData::getAppStr(), "");

    // A new process on the same sandbox.
    NSUserDefaults::resetStandardUserDefaults();
    UIApplication::resetForTesting();
    launch();
    EXPECT_TRUE(isKind<KXTabBarController1>(root()));
}

TEST_F(LoginScreen, TheCodeMayBeTextAndAnswersWithoutAUserAreRefused) {
    LoopbackHTTPServer server;
    answerWith(server, R"({"code":"1","data":{"uid":1001,"username":"u","head":"h"}})");
    ASSERT_TRUE(signIn("u", "p"));
    EXPECT_EQ(outcome(), "登录成功");
    EXPECT_EQ(KXLocallyStoredData::getLoginUserID(), "1001");
    // A missing account kind is stored as the text "%@" makes of it; its
    // readers only ask whether it is "3".
    EXPECT_EQ(KXLocallyStoredData::getAppStr(), "(null)");
}

TEST_F(LoginScreen, RefusalsOfEveryShapeKeepTheSignInScreen) {
    LoopbackHTTPServer server;
    // Each says why, in the back end's words or ours, never with an empty message.
    const std::vector<std::pair<const char*, const char*>> refusals = {
        {R"({"message":"没有 code"})", "没有 code"}, {R"({"code":2})", "请求失败，请稍后重试"},
        {"not json", "获取数据失败"}, {"[1,2]", "获取数据失败"}, {R"({"code":1,"message":"x"})", "登录失败"},
        {R"({"code":1,"data":{"uid":""}})", "登录失败"}};
    for (const auto& [body, message] : refusals) {
        answerWith(server, body);
        ASSERT_TRUE(signIn("u", "p"));
        std::string shown = outcome();
        EXPECT_EQ(shown, message) << body;
        EXPECT_EQ(KXLocallyStoredData::getLoginUserID(), "") << body;
        EXPECT_TRUE(isKind<KXLoginViewController>(root())) << body;
        auto login = cast<KXLoginViewController>(root());
        login->zhanghuTextField()->setText("");
        login->mimaTextFeild()->setText("");
        clock.advance(2);
    }
}

TEST_F(LoginScreen, ATransportFailureIsShownAsAFailure) {
    MisbehavingServer refusing(MisbehavingServer::Behaviour::RefuseConnections);
    KXServiceAddress::setBaseURL(refusing.url("/"));
    ASSERT_TRUE(signIn("demo", "123456"));
    EXPECT_EQ(outcome(), "登录失败");
    auto hud = MBProgressHUD::HUDForView(UIApplication::sharedApplication()->keyWindow());
    ASSERT_TRUE(hud);
    EXPECT_EQ(cast<UIImageView>(hud->customView())->image(), UIImage::imageNamed("MBProgressHUD.bundle/error"));
    ASSERT_TRUE(checkedShot(driver, testShotPath("login-failed.png"))) << driver.lastError();
    clock.advance(1.0);
    EXPECT_EQ(hudText(), "");
}
