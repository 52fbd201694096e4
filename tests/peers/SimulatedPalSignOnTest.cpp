// Single sign-on through the simulated Pal and PalWork apps: the session's
// request on the pasteboard, the app's token back on the app's own scheme.
#include <gtest/gtest.h>

#include "kits/pal/NimbusOpenApi_IOS/Common/Util/ConfigManager.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"
#include "kits/pal/NimbusOpenApi_IOS/OpenApi.h"
#include "peers/SimulatedPalApp.h"
#include "tests/support/PalHostFixture.h"
#include "tests/support/Eventually.h"

namespace {

class HostApp : public UIApplicationDelegate, public NimbusSessionDelegate {
public:
    bool applicationOpenURLOptions(const Ref<UIApplication>&, const Ref<NSURL>& url, const Dictionary&) override {
        return NimbusOAuth::HandleOpenURL(url);
    }
    void nimbusDidLogin() override { outcomes.push_back("login"); }
    void nimbusDidNotLogin(bool cancelled) override { outcomes.push_back(cancelled ? "cancelled" : "failed"); }
    bool answers(NimbusSessionCallback callback) const override {
        return callback == NimbusSessionCallback::nimbusDidUpdate ||
               callback == NimbusSessionCallback::responseDidReceived;
    }
    void nimbusDidUpdate(const Ref<NimbusOAuth>&) override { outcomes.push_back("updated"); }
    void nimbusFailedUpdate(std::int32_t reason) override { outcomes.push_back("update failed " + std::to_string(reason)); }
    void responseDidReceived(const Ref<APIResponse>& response, const std::string& message) override {
        outcomes.push_back(message + " " + std::to_string(response->retCode()));
    }
    std::vector<std::string> outcomes;
};

class PalSignOn : public PalHostFixture {
protected:
    void SetUp() override {
        // The host declares its "nimbus" scheme, which sign-on replies use.
        declareScheme("nimbus1234");
        UIApplication::launchForTesting(host);
        session = make<NimbusOAuth>(std::string("1234"), host);
    }
    void TearDown() override {
        for (const auto& app : {pal, palWork, palSpace}) app->uninstall();
        ASSERT_TRUE(runUntil([] { return ConfigManager::GetInstance()->apiRequests().empty(); }, kGiveUpAfterSeconds));
    }

    Ref<HostApp> host = make<HostApp>();
    Ref<SimulatedPalApp> pal = make<SimulatedPalApp>(SimulatedPalApp::Kind::Pal);
    Ref<SimulatedPalApp> palWork = make<SimulatedPalApp>(SimulatedPalApp::Kind::PalWork);
    Ref<SimulatedPalApp> palSpace = make<SimulatedPalApp>(SimulatedPalApp::Kind::PalSpace);
    Ref<NimbusOAuth> session;
};

}  // namespace

TEST_F(PalSignOn, PalGrantsTheLoginAndTheTokenReachesTheSessionDelegate) {
    pal->install();
    EXPECT_EQ(NimbusOAuth::iphonePalVersion(), 4);
    EXPECT_TRUE(NimbusOAuth::iphonePalSupportSSOLogin());
    EXPECT_TRUE(session->authorize({"get_user_info", "add_share"}));
    EXPECT_EQ(OpenApi::nimbusAuhorizeState(), OpenApi::kStateSSO);
    ASSERT_TRUE(runUntil([&] { return !host->outcomes.empty(); }));

    EXPECT_EQ(host->outcomes, std::vector<std::string>{"login"});
    EXPECT_EQ(OpenApi::nimbusAuhorizeState(), OpenApi::kStateIdle);
    EXPECT_EQ(session->accessToken(), SimulatedPalApp::kSignOnToken);
    EXPECT_EQ(session->openId(), SimulatedPalApp::kSignOnOpenId);
    EXPECT_NEAR(session->expirationDate()->timeIntervalSinceNow(), 7776000.0, 60.0);
    ASSERT_EQ(pal->received().size(), 1u);
    const Dictionary& request = pal->received()[0].message;
    EXPECT_EQ(request["scope"], Value("get_user_info,add_share"));
    EXPECT_EQ(request["client_id"], Value("1234"));
    EXPECT_EQ(request["app_name"], Value("推广联盟"));
    EXPECT_EQ(request["bundleid"], Value(kBundleIdentifier));
    EXPECT_EQ(request["response_type"], Value("token"));
    EXPECT_EQ(request["sdkv"], Value("3.2.1"));
}

TEST_F(PalSignOn, PalWorkIsAskedWhenChosenAndACancelReachesTheDelegate) {
    pal->install();  // its general-pasteboard support lets PalWork's request go out
    palWork->setAnswerError("-4");
    palWork->install();
    session->setAuthShareType(1);
    EXPECT_TRUE(session->authorize({"get_user_info"}));
    ASSERT_TRUE(runUntil([&] { return !host->outcomes.empty(); }));
    EXPECT_EQ(host->outcomes, std::vector<std::string>{"cancelled"});
    EXPECT_TRUE(pal->received().empty());
    ASSERT_EQ(palWork->received().size(), 1u);
    EXPECT_EQ(palWork->received()[0].summary, "login request scope=get_user_info");
    EXPECT_FALSE(session->accessToken());
}

TEST_F(PalSignOn, AnIncrementalAuthorisationRenewsTheTokenOrReportsTheCancel) {
    EXPECT_FALSE(session->incrAuthWithPermissions({"add_share"}));  // no token yet
    pal->install();
    session->setAccessToken(std::string("old-token"));
    EXPECT_FALSE(session->incrAuthWithPermissions({}));

    EXPECT_TRUE(session->incrAuthWithPermissions({"add_share"}));
    ASSERT_TRUE(runUntil([&] { return !host->outcomes.empty(); }));
    EXPECT_EQ(host->outcomes, std::vector<std::string>{"updated"});
    EXPECT_EQ(session->accessToken(), SimulatedPalApp::kSignOnToken);

    pal->setAnswerError("-4");
    EXPECT_TRUE(session->reauthorizeWithPermissions({"get_user_info"}));
    ASSERT_TRUE(runUntil([&] { return host->outcomes.size() == 2; }));
    EXPECT_EQ(host->outcomes[1], "update failed 2");
    EXPECT_EQ(session->permissions(), std::vector<std::string>{"get_user_info"});
}

TEST_F(PalSignOn, PalSpaceCommandsGoOnThePasteboardPalSpaceReads) {
    EXPECT_FALSE(OpenApi::shareWithPalSpaceWithData(Dictionary{{"title", "星河战记"}}));  // no PalSpace
    std::vector<Ref<NSURL>> opened;
    for (const char* scheme : {"mpalspaceopensdkapi", "mpalspaceopensdkapiV2"})
        UIApplication::installSimulatedApp(scheme, [&](const Ref<NSURL>& url) { opened.push_back(url); });
    EXPECT_TRUE(OpenApi::isPalSpaceInstalled());
    EXPECT_TRUE(OpenApi::shareWithPalSpaceWithData(Dictionary{{"title", "星河战记"}}));
    ASSERT_TRUE(runUntil([&] { return !opened.empty(); }));
    EXPECT_EQ(opened[0]->absoluteString(),
              "mpalspaceopensdkapi://psapp/nimbus1234/com.nimbus.nimbus1234/1?generalpastboard=1&sdkv=3.2.1");
    EXPECT_EQ(OpenApi::getDictionaryFromGeneralPasteBoard(std::string("com.nimbus.nimbus1234")),
              (Dictionary{{"title", "星河战记"}}));
    for (const char* scheme : {"mpalspaceopensdkapi", "mpalspaceopensdkapiV2"}) UIApplication::installSimulatedApp(scheme, nullptr);
}

TEST_F(PalSignOn, PalSpaceTakesTheDialogsAsCommandsAndItsAnswerReachesTheDelegate) {
    palSpace->install();
    EXPECT_EQ(OpenApi::palspaceVersion(), 5);
    session->setAccessToken(std::string("PTtoken"));
    session->setOpenId(std::string("OPENID"));
    session->setExpirationDate(NSDate(NSDate::date().timeIntervalSince1970() + 3600));

    ASSERT_TRUE(session->sendAppInvitationWithDescription(std::string("来玩"), std::string("https://i.example/1"),
                                                          std::string("from=home")));
    ASSERT_TRUE(runUntil([&] { return !host->outcomes.empty(); }));
    EXPECT_EQ(host->outcomes, std::vector<std::string>{"AppInvitation 0"});
    ASSERT_EQ(palSpace->received().size(), 1u);
    EXPECT_EQ(palSpace->received()[0].summary, "PalSpace command AppInvitation");
    EXPECT_EQ(palSpace->received()[0].message,
              (Dictionary{{"appid", "1234"}, {"hopenid", "OPENID"}, {"keytype", "0x80"}, {"keystr", "PTtoken"},
                          {"platform", "iosps"}, {"desc", "来玩"}, {"picurl", "https://i.example/1"},
                          {"app_custom", "from=home"}}));

    palSpace->setAnswerError("-4");
    ASSERT_TRUE(session->sendChallenge(std::string("FRIEND1"), std::string("pk"), std::nullopt, std::string("来比"),
                                       std::nullopt));
    ASSERT_TRUE(runUntil([&] { return host->outcomes.size() == 2; }));
    EXPECT_EQ(host->outcomes[1], "AppChallenge 1");
    EXPECT_EQ(palSpace->received()[1].message["typeid"], Value("53"));
    EXPECT_EQ(palSpace->received()[1].message["sendmsg"], Value("来比"));
}
