#include <gtest/gtest.h>

#include "app/payment/KXClassicRequest.h"
#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXServiceAddress.h"
#include "app/shell/WMUtil.h"
#include "foundation/NSLog.h"
#include "frameworks/hud/MBProgressHUD.h"
#include "tests/support/AppFixture.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "tests/support/MisbehavingServer.h"
#include "uikit/UIApplication.h"
#include "uikit/UIDriver.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

// Requests go to a scripted server that answers every GET with `answer`;
// a window is key so that HUDs have somewhere to show.
class ClassicRequest : public AppFixture {
protected:
    void SetUp() override {
        KXServiceAddress::setBaseURL(server.baseURL());
        server.route("GET", "/", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(answer, "application/json");
        });
        window = make<UIWindow>(UIScreen::mainScreen()->bounds());
        window->makeKeyAndVisible();
    }
    void TearDown() override { KXServiceAddress::setBaseURL(""); }

    // Sends `query` and runs the loop until one of the three outcomes.
    void sendAndWait(const Dictionary& query) {
        outcome.clear();
        KXClassicRequest::send(
            query, [this](const Value&) { outcome = "success"; }, nullptr, nullptr);
        ASSERT_TRUE(runUntil([&] { return !outcome.empty() || MBProgressHUD::HUDForView(window); }));
    }
    std::string hudText() {
        auto hud = MBProgressHUD::HUDForView(window);
        return hud ? hud->label()->text() : std::string();
    }

    LoopbackHTTPServer server;
    Ref<UIWindow> window;
    std::string answer;
    std::string outcome;
};

TEST_F(ClassicRequest, QueryCarriesTheCommonKeysAndSignsOwnFieldsBetweenUidAndTime) {
    KXLocallyStoredData::setUserID("42");
    Dictionary query = KXClassicRequest::query("fuli_status", {{"oid", "A7"}, {"keyword", "x"}}, {"oid"});
    const std::string t = query["t"].description();
    EXPECT_EQ(query["ios"].description(), "1");
    EXPECT_EQ(query["ct"].description(), "app");
    EXPECT_EQ(query["ac"].description(), "fuli_status");
    EXPECT_EQ(query["uid"].description(), "42");
    EXPECT_EQ(query["keyword"].description(), "x");
    EXPECT_EQ(query["sign"].description(), WMUtil::md5HexDigest("42A7" + t + "qmvtrapezk42f17bnc"));

    // The default order signs uid and t only; without a stored user the
    // signing text starts with the time stamp.
    KXLocallyStoredData::setUserID("");
    Dictionary bare = KXClassicRequest::query("recharge_log");
    EXPECT_EQ(bare["uid"].description(), "");
    EXPECT_EQ(bare["sign"].description(),
              WMUtil::md5HexDigest(bare["t"].description() + "qmvtrapezk42f17bnc"));
    EXPECT_EQ(bare.count(), 6u);
}

TEST_F(ClassicRequest, CodesReadByTheirLeadingDigits) {
    for (const char* success : {R"({"code":1})", R"({"code":"1"})", R"({"code":"1.0"})", R"({"code":"1abc"})"}) {
        answer = success;
        NSLogCapture log;
        sendAndWait(KXClassicRequest::query("x"));
        EXPECT_EQ(outcome, "success") << success;
        EXPECT_TRUE(log.contains("code")) << "the whole answer is logged: " << success;
    }
    for (const char* refusal : {R"({"code":0,"message":"余额不足"})", R"({"message":"余额不足"})",
                                R"({"code":"x1","message":"余额不足"})"}) {
        answer = refusal;
        sendAndWait(KXClassicRequest::query("x"));
        EXPECT_EQ(outcome, "") << refusal;
        EXPECT_EQ(hudText(), "余额不足") << refusal;
        clock.advance(1.5);
        UIDriver().settle();
    }
}

TEST_F(ClassicRequest, ARefusalWithoutReasonOrAnAnswerThatIsNotJSONShowsOurText) {
    for (const auto& [body, shown] : std::vector<std::pair<std::string, std::string>>{
             {"not json", "获取数据失败"},
             {R"({"code":0})", "请求失败，请稍后重试"},
             {R"({"code":0,"message":null})", "请求失败，请稍后重试"},
             {R"({"code":0,"message":"  "})", "请求失败，请稍后重试"},
             {R"({"code":0,"message":404})", "404"}}) {
        answer = body;
        sendAndWait(KXClassicRequest::query("x"));
        EXPECT_EQ(outcome, "") << body;
        EXPECT_EQ(hudText(), shown) << body;
        clock.advance(1.5);
        UIDriver().settle();
    }
}

TEST_F(ClassicRequest, ATransportFailureIsShownUnlessTheCallerTakesIt) {
    MisbehavingServer refusing(MisbehavingServer::Behaviour::RefuseConnections);
    KXServiceAddress::setBaseURL(refusing.url("/"));
    bool failed = false;
    KXClassicRequest::send(KXClassicRequest::query("x"), nullptr, nullptr, [&] { failed = true; });
    ASSERT_TRUE(runUntil([&] { return failed; }));
    EXPECT_EQ(hudText(), "");

    // Without a failure block the error stays for its full time.
    bool succeeded = false;
    KXClassicRequest::send(KXClassicRequest::query("x"), [&](const Value&) { succeeded = true; });
    ASSERT_TRUE(runUntil([&] { return MBProgressHUD::HUDForView(window) != nullptr; }));
    EXPECT_EQ(hudText(), "获取数据失败");
    clock.advance(0.9);
    UIDriver().settle();
    EXPECT_EQ(hudText(), "获取数据失败");
    clock.advance(0.2 + MBProgressHUD::kAnimationDuration);
    UIDriver().settle();
    EXPECT_EQ(MBProgressHUD::HUDForView(window), nullptr);
    EXPECT_FALSE(succeeded);
}
