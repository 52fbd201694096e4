#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "foundation/NSDelayedPerform.h"
#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSLog.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/Util/ConfigManager.h"
#include "kits/pal/NimbusOpenApi_IOS/NBOError.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"
#include "kits/pal/NimbusOpenApi_IOS/OpenApi.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "kits/pal/PalApi/PalApi.h"
#include "kits/pal/PalApi/PalApiDatastore.h"
#include "kits/pal/PalApi/PalApiMessageAndUrlConverter.h"
#include "kits/pal/PalApi/PalApiObject.h"
#include "foundation/NSNotificationCenter.h"
#include "kits/pal/PalApi/PalPasteboard.h"
#include "tests/support/PalHostFixture.h"
#include "uikit/UIApplication.h"
#include "uikit/UIPasteboard.h"

namespace {

class SessionDelegate : public NSObject, public NimbusSessionDelegate {
public:
    void nimbusDidLogin() override { outcomes.push_back("login"); }
    void nimbusDidNotLogin(bool cancelled) override { outcomes.push_back(cancelled ? "cancelled" : "failed"); }
    bool answers(NimbusSessionCallback callback) const override {
        return callback == NimbusSessionCallback::sendStoryResponse;
    }
    void sendStoryResponse(const Ref<APIResponse>& response) override { stories.push_back(response); }
    std::vector<std::string> outcomes;
    std::vector<Ref<APIResponse>> stories;
};

// Hears of logouts, when it says it does.
class LogoutListener : public NSObject, public NimbusSessionDelegate {
public:
    bool answers(NimbusSessionCallback callback) const override {
        return callback == NimbusSessionCallback::nimbusDidLogout && hearsLogouts;
    }
    void nimbusDidLogout() override { ++logouts; }
    bool hearsLogouts = false;
    int logouts = 0;
};

class NimbusOAuthStartUp : public PalHostFixture {
protected:
    // The start-up's policy requests fail at once without a host; their
    // answers are awaited so that no request outlives the test. The kit's
    // sign-on state, reply board and command out, which tests set, start
    // over.
    void TearDown() override {
        OpenApi::setNimbusAuthorizeState(OpenApi::kStateIdle);
        OpenApi::setReplyPasteboardName(std::nullopt);
        OpenApi::clearParam();
        ASSERT_TRUE(runUntil([] { return ConfigManager::GetInstance()->apiRequests().empty(); }));
    }

    // A command to a PalSpace that takes them, as the dialogs send it.
    void sendCommand(const std::string& command) {
        declareScheme("nimbus1234");
        UIApplication::installSimulatedApp("mpalspaceopensdkapi", [](const Ref<NSURL>&) {});
        EXPECT_TRUE(OpenApi::sendCommandToPalSpace(command, {}));
    }

    // A reply of a Pal app: the dictionary on a named pasteboard, then the
    // URL; its request is out unless told otherwise: a sign-on for a login
    // reply, else the PalSpace command of its type.
    bool deliverReply(const std::string& type, const Dictionary& reply, bool requestOut = true) {
        if (type == "0") {
            OpenApi::setNimbusAuthorizeState(requestOut ? OpenApi::kStateSSO : OpenApi::kStateIdle);
        } else if (requestOut) {
            sendCommand(type);
        }
        const std::string name = "pal-reply-board";
        UIPasteboard::pasteboardWithName(name, true)
            ->setData(NSKeyedArchiver::archivedDataWithRootObject(Value(reply)), OpenApi::kPasteboardType);
        OpenApi::setReplyPasteboardName(name);
        return NimbusOAuth::HandleOpenURL(NSURL::URLWithString("nimbus1234://psapp/x/" + type + "?generalpastboard=0"));
    }
};

// Has only the general answer callback.
class GeneralListener : public NSObject, public NimbusSessionDelegate {
public:
    bool answers(NimbusSessionCallback callback) const override {
        return callback == NimbusSessionCallback::responseDidReceived;
    }
    void responseDidReceived(const Ref<APIResponse>& response, const std::string& message) override {
        messages.push_back(message);
        responses.push_back(response);
    }
    std::vector<std::string> messages;
    std::vector<Ref<APIResponse>> responses;
};

// A host app with opinions on rotation and on widening and renewing its
// login; it is asked about the login only when it hears of renewals.
class OpinionatedDelegate : public NSObject, public NimbusSessionDelegate {
public:
    std::optional<bool> nimbusNeedPerformIncrAuth(const Ref<NimbusOAuth>&, const std::vector<std::string>&) override {
        ++asked;
        return false;
    }
    std::optional<bool> nimbusNeedPerformReAuth(const Ref<NimbusOAuth>&) override {
        ++asked;
        return false;
    }
    bool answers(NimbusSessionCallback callback) const override {
        return callback == NimbusSessionCallback::nimbusDidUpdate && hearsRenewals;
    }
    std::optional<UIInterfaceOrientationMask> nimbusWebViewSupportedInterfaceOrientationsWithWebkit() override {
        return UIInterfaceOrientationMaskPortrait;
    }
    std::optional<bool> nimbusWebViewShouldAutorotateWithWebkit() override { return false; }
    bool hearsRenewals = false;
    int asked = 0;
};

}  // namespace

TEST_F(NimbusOAuthStartUp, TheHostAppsAnswersDecideRotationAndWideningAndSilenceMeansYes) {
    auto session = make<NimbusOAuth>(std::string("1234"), make<SessionDelegate>());
    EXPECT_TRUE(session->nimbusNeedPerformIncrAuth(nullptr, {"add_share"}));
    EXPECT_TRUE(session->nimbusNeedPerformReAuth(session));
    EXPECT_EQ(session->supportedInterfaceOrientationsWithLoginWebkit(nullptr), UIInterfaceOrientationMaskAll);
    EXPECT_TRUE(session->shouldAutorotateWithLoginWebkit(nullptr));

    auto opinionated = make<OpinionatedDelegate>();
    session->setSessionDelegate(opinionated);
    // Without nimbusDidUpdate the delegate is not asked: a NO would drop
    // the call's answer with nothing to follow.
    EXPECT_TRUE(session->nimbusNeedPerformIncrAuth(nullptr, {"add_share"}));
    EXPECT_TRUE(session->nimbusNeedPerformReAuth(session));
    EXPECT_EQ(opinionated->asked, 0);
    opinionated->hearsRenewals = true;
    EXPECT_FALSE(session->nimbusNeedPerformIncrAuth(nullptr, {"add_share"}));
    EXPECT_FALSE(session->nimbusNeedPerformReAuth(session));
    EXPECT_TRUE(session->nimbusNeedPerformIncrAuth(nullptr, {}));  // nothing to ask for
    EXPECT_EQ(opinionated->asked, 2);
    EXPECT_EQ(session->supportedInterfaceOrientationsWithLoginWebkit(nullptr), UIInterfaceOrientationMaskPortrait);
    EXPECT_FALSE(session->shouldAutorotateWithLoginWebkit(nullptr));
    EXPECT_TRUE(session->loginViewKitShouldAutorotateToInterfaceOrientation(nullptr, UIInterfaceOrientation::Portrait));

    const Dictionary params = NimbusOAuth::parseURLParams("x=1&y&name=a%20b%26c&x=3&broken=%zz");
    EXPECT_EQ(params, (Dictionary{{"x", "3"}, {"name", "a b&c"}, {"broken", "%zz"}}));
}

TEST_F(NimbusOAuthStartUp, CreationRegistersWithTheShareLayerAndTheSettersFollow) {
    auto session = make<NimbusOAuth>(std::string("1234"), nullptr);
    auto store = PalApiDatastore::instance();
    EXPECT_EQ(store->appId(), "1234");
    EXPECT_EQ(store->scheme(), "Pal000004D2");
    EXPECT_EQ(OpenApi::nimbusAuhorizeState(), OpenApi::kStateIdle);

    session->setOpenId(std::string("OPEN"));
    session->setAccessToken(std::string("TOKEN"));
    session->setUin(std::string("10001"));
    EXPECT_EQ(store->openId(), "OPEN");
    EXPECT_EQ(store->webviewToken(), "TOKEN");
    EXPECT_EQ(store->uin(), "10001");
    session->setUin(std::nullopt);
    EXPECT_FALSE(store->uin());  // shares carry no number the session has let go

    // A refused identifier registers nothing.
    forgetRegistrations();
    auto refused = make<NimbusOAuth>(std::string("12a4"), nullptr);
    EXPECT_FALSE(refused->appId());
    EXPECT_FALSE(store->appId());
    EXPECT_FALSE(store->scheme());
}

TEST_F(NimbusOAuthStartUp, AfterLogoutASharesCarriesNoOpenIdAndTheGoneSessionLeavesNothingBehind) {
    for (const char* scheme : {"mpal", "mpalapi"}) UIApplication::installSimulatedApp(scheme, [](const Ref<NSURL>&) {});
    auto delegate = make<SessionDelegate>();
    auto session = make<NimbusOAuth>(std::string("1234"), delegate);
    const auto shareQuery = [] {
        EXPECT_EQ(PalApi::sendMessage(PalApiMessage::messageWithObject(PalApiTextObject::objectWithText("你好"),
                                                                       PalApiMessage::kShareToChat)),
                  0);
        return PalApiURLDecoder::decoderWithUrl(
                   NSURL::URLWithString(UIApplication::sharedApplication()->openedURLs().back()))
            ->queryItem();
    };
    session->setOpenId(std::string("OPEN"));
    session->setAccessToken(std::string("TOKEN"));
    session->setEncryToken(std::string("ENC"));
    auto userInfo = make<APIResponse>();
    userInfo->setJsonResponse(Value(Dictionary{{"nickname", "帕尔小助手"}}));
    session->getUserInfoResponse(userInfo);
    EXPECT_EQ(shareQuery()["openId"], Value("OPEN"));
    session->logout(nullptr);
    EXPECT_FALSE(shareQuery().contains("openId"));
    EXPECT_FALSE(PalApiDatastore::instance()->webviewToken());
    EXPECT_FALSE(session->userNick());  // the next user's login fetches its own
    EXPECT_FALSE(session->encryToken());

    // A session that goes stops hearing the app come back and registers
    // nothing any more.
    WeakRef<NimbusOAuth> gone = session;
    session.reset();
    EXPECT_TRUE(gone.expired());
    OpenApi::setNimbusAuthorizeState(OpenApi::kStateSSO);
    NSNotificationCenter::defaultCenter()->postNotificationName(UIApplicationDidBecomeActiveNotification, nullptr);
    EXPECT_EQ(OpenApi::nimbusAuhorizeState(), OpenApi::kStateSSO);
    OpenApi::setNimbusAuthorizeState(OpenApi::kStateIdle);
}

TEST_F(NimbusOAuthStartUp, LogoutGoesToTheSessionDelegateWhenItAnswersItElseToTheGivenOne) {
    auto mine = make<LogoutListener>();
    auto given = make<LogoutListener>();
    auto session = make<NimbusOAuth>(std::string("1234"), mine);
    session->logout(given);
    EXPECT_EQ(given->logouts, 1);
    EXPECT_EQ(mine->logouts, 0);
    mine->hearsLogouts = true;
    session->logout(given);
    EXPECT_EQ(given->logouts, 1);
    EXPECT_EQ(mine->logouts, 1);
}

TEST_F(NimbusOAuthStartUp, SignOnRepliesFillTheSessionAndReachThePendingDelegate) {
    auto delegate = make<SessionDelegate>();
    auto session = make<NimbusOAuth>(std::string("1234"), delegate);
    ASSERT_TRUE(NimbusOAuth::CanHandleOpenURL(NSURL::URLWithString("nimbus1234://psapp/x/0")));
    // With no sign-on out, another app's reply signs the host into nothing.
    EXPECT_TRUE(deliverReply("0", Dictionary{{"openid", "THEIRS"}, {"access_token", "THEIRS"}}, false));
    EXPECT_FALSE(session->accessToken());

    EXPECT_TRUE(deliverReply("0", Dictionary{{"openid", "OPEN"},
                                              {"access_token", "TOKEN"},
                                              {"encrytoken", "ENC"},
                                              {"pay_token", "PAY"}}));
    EXPECT_EQ(delegate->outcomes, std::vector<std::string>{"login"});
    EXPECT_EQ(OpenApi::nimbusAuhorizeState(), OpenApi::kStateIdle);
    EXPECT_EQ(session->accessToken(), "TOKEN");
    EXPECT_EQ(session->openId(), "OPEN");
    EXPECT_EQ(session->encryToken(), "ENC");
    EXPECT_EQ(session->passData(), (Dictionary{{"pay_token", "PAY"}}));
    // Without "expires_in" the session lasts 30 days; "0" means for ever.
    EXPECT_NEAR(session->expirationDate()->timeIntervalSinceNow(), 2592000.0, 60.0);
    EXPECT_TRUE(deliverReply("0", Dictionary{{"openid", "OPEN"}, {"access_token", "T2"}, {"expires_in", "0"}}));
    EXPECT_EQ(session->expirationDate()->timeIntervalSince1970(), NSDate::distantFuture().timeIntervalSince1970());

    // A reply without an open id fails; a named board that is gone is a
    // cancelled login, once: a second such reply is stray.
    EXPECT_TRUE(deliverReply("0", Dictionary{{"access_token", "T3"}}));
    UIPasteboard::removePasteboardWithName("pal-reply-board");
    OpenApi::setNimbusAuthorizeState(OpenApi::kStateSSO);
    for (int stray = 0; stray < 2; ++stray)
        EXPECT_TRUE(NimbusOAuth::HandleOpenURL(NSURL::URLWithString("nimbus1234://psapp/x/0?generalpastboard=0")));
    EXPECT_EQ(delegate->outcomes, (std::vector<std::string>{"login", "login", "failed", "cancelled"}));

    // Numbered types other than 0 and 1 are taken and ignored; named ones
    // reach the callback of that name.
    auto story = make<APIResponse>();
    EXPECT_TRUE(deliverReply("7", Dictionary{{"response_data", *NSKeyedArchiver::archivedDataWithRootObject(Value(story))}}));
    EXPECT_TRUE(delegate->stories.empty());
    EXPECT_TRUE(deliverReply("SendStory",
                             Dictionary{{"response_data", *NSKeyedArchiver::archivedDataWithRootObject(Value(story))}}));
    EXPECT_EQ(delegate->stories.size(), 1u);

    // A general-pasteboard reply that cannot be read fails the sign-on.
    OpenApi::setReplyPasteboardName(std::nullopt);
    const NSData archive = *NSKeyedArchiver::archivedDataWithRootObject(Value(Dictionary{{"openid", "OPEN"}}));
    for (const NSData& data : {NSData::fromString("not an archive"), NSData(), archive.subdata(0, archive.length() / 2),
                               *NSKeyedArchiver::archivedDataWithRootObject(Value(Array{"OPEN"})),
                               *NSKeyedArchiver::archivedDataWithRootObject(Value("OPEN"))}) {
        OpenApi::setNimbusAuthorizeState(OpenApi::kStateSSO);
        UIPasteboard::generalPasteboard()->setData(data, "com.nimbus.nimbus1234");
        EXPECT_FALSE(NimbusOAuth::HandleOpenURL(NSURL::URLWithString("nimbus1234://psapp/x/0?generalpastboard=1")));
        EXPECT_EQ(OpenApi::replyPasteboardName(), "com.nimbus.nimbus1234");
        EXPECT_EQ(delegate->outcomes.back(), "failed");
    }
    EXPECT_EQ(delegate->outcomes.size(), 9u);

    // A token or open id that is empty or not text, or an expiry that is
    // past, is a failed login.
    for (const Dictionary& reply : {Dictionary{{"openid", Dictionary{{"id", "OPEN"}}}, {"access_token", ""}},
                                    Dictionary{{"openid", ""}, {"access_token", 5}},
                                    Dictionary{{"openid", "OPEN"}, {"access_token", "T4"}, {"expires_in", -60}}}) {
        EXPECT_TRUE(deliverReply("0", reply));
        EXPECT_EQ(delegate->outcomes.back(), "failed") << Value(reply).description();
        EXPECT_FALSE(session->isSessionValid() && session->isOpenIdValid());
    }
}

TEST_F(NimbusOAuthStartUp, WithoutADelegateNothingIsRegisteredAndNoURLIsTaken) {
    auto session = make<NimbusOAuth>(std::string("102035471"), nullptr);
    EXPECT_EQ(session->appId(), "102035471");
    EXPECT_EQ(session->redirectURI(), NimbusOAuth::kPalWebSiteHost);
    EXPECT_FALSE(session->accessToken());
    EXPECT_EQ(OpenApi::registeredSession(), nullptr);

    session->setRedirectURI("www.pal.test");
    EXPECT_EQ(session->redirectURI(), "www.pal.test");

    NSLogCapture log;
    EXPECT_FALSE(NimbusOAuth::HandleOpenURL(NSURL::URLWithString("nimbus102035471://psapp/x/0")));
    EXPECT_TRUE(log.contains("handleOpenURL:url=nimbus102035471://psapp/x/0"));
    EXPECT_FALSE(NimbusOAuth::HandleOpenURL(nullptr));
}

TEST_F(NimbusOAuthStartUp, ADelegateRegistersTheSessionUntilItGoesAway) {
    auto delegate = make<SessionDelegate>();
    auto session = make<NimbusOAuth>(std::string("1234"), delegate);
    EXPECT_EQ(OpenApi::registeredScheme(), "nimbus1234");
    EXPECT_EQ(OpenApi::registeredSession(), session);
    EXPECT_EQ(OpenApi::registeredSessionDelegate(), delegate);

    session->setSessionDelegate(nullptr);
    EXPECT_EQ(OpenApi::registeredSessionDelegate(), nullptr);
    EXPECT_EQ(OpenApi::registeredSession(), session);

    session->setSessionDelegate(delegate);
    session.reset();
    EXPECT_EQ(OpenApi::registeredSession(), nullptr);
    EXPECT_EQ(OpenApi::registeredSessionDelegate(), nullptr);
    EXPECT_FALSE(NimbusOAuth::HandleOpenURL(NSURL::URLWithString("nimbus1234://elsewhere/x/0")));
}

TEST_F(NimbusOAuthStartUp, FixedAnswersAndTheShorterGraphRequests) {
    EXPECT_EQ(OpenApi::getApiVersion(), "1.1");
    EXPECT_EQ(OpenApi::getSupportingMaxApiVersion(), "10.0");
    EXPECT_EQ(OpenApi::getPalSpaceInstallUrl(), "");
    EXPECT_FALSE(OpenApi::canParseURL(NSURL::URLWithString("mpal://palapp")));
    UIApplication::installSimulatedApp("mpal", [](const Ref<NSURL>&) {});
    EXPECT_TRUE(OpenApi::canParseURL(NSURL::URLWithString("mpal://palapp")));

    auto session = make<NimbusOAuth>(std::string("1234"), nullptr);
    session->setAccessToken(std::string("TOKEN"));
    EXPECT_FALSE(session->encrytoken());
    auto me = session->requestWithGraphPath("me", nullptr);
    EXPECT_EQ(me->httpMethod(), "GET");
    EXPECT_NE(me->url().find("/oauth2.0/me"), std::string::npos);
    EXPECT_EQ(me->params()["oauth_consumer_key"], Value("1234"));
    auto withParams = session->requestWithGraphPath("m_me", Dictionary{{"x", "1"}}, nullptr);
    EXPECT_EQ(withParams->httpMethod(), "GET");
    EXPECT_EQ(withParams->params()["x"], Value("1"));
}

TEST_F(NimbusOAuthStartUp, TheLocalEncryptedTokenFollowsTokenAppIdAndOpenId) {
    auto session = make<NimbusOAuth>(std::string("1234"), nullptr);
    session->setAccessToken(std::string("T"));
    session->setOpenId(std::string("O"));
    const auto digest = session->localEncrytedToken();
    EXPECT_EQ(digest, TcApiTool::md5(std::string("vendora&kit&mplor***28417%%T1234Oplaza5.2")));
    EXPECT_EQ(session->localEncrytedToken(), digest);
    session->setOpenId(std::string("P"));
    EXPECT_NE(session->localEncrytedToken(), digest);
    EXPECT_EQ(session->getOwnBaseUrl(), std::string("nimbus1234://") + NimbusOAuth::kPalWebSiteHost);
    // Without any Pal app nothing supports a sign-on.
    EXPECT_FALSE(NimbusOAuth::iphonePalInstalled());
    EXPECT_FALSE(NimbusOAuth::iphonePalSupportSSOLogin());
    EXPECT_FALSE(NimbusOAuth::iphonePalSpaceInstalled());
}

TEST_F(NimbusOAuthStartUp, OpeningPalSpaceNamesTheAppByItsScheme) {
    auto session = make<NimbusOAuth>(std::string("1234"), nullptr);
    EXPECT_FALSE(OpenApi::openPalSpace());
    std::vector<std::string> opened;
    UIApplication::installSimulatedApp("mpalspaceopensdk",
                                       [&](const Ref<NSURL>& url) { opened.push_back(url->absoluteString()); });
    EXPECT_TRUE(OpenApi::openPalSpace());
    ASSERT_TRUE(runUntil([&] { return !opened.empty(); }));
    EXPECT_EQ(opened[0].rfind("mpalspaceopensdk://psapp/" + OpenApi::registeredScheme() + "/", 0), 0u) << opened[0];
    UIApplication::removeAllSimulatedApps();
}

TEST_F(NimbusOAuthStartUp, RepliesGoToTheirOwnCallbackWhenTheDelegateHasItElseToTheGeneralOne) {
    auto general = make<GeneralListener>();
    auto session = make<NimbusOAuth>(std::string("1234"), general);
    const Dictionary reply{{"response_data", *NSKeyedArchiver::archivedDataWithRootObject(Value(make<APIResponse>()))}};
    const auto pageAnswers = [&](const std::string& address) {
        return session->webViewKitShouldStartLoadWithRequest(
            nullptr, NSURLRequest::requestWithURL(NSURL::URLWithString(address)), UIWebViewNavigationType::LinkClicked);
    };
    for (const char* type : {"1", "SendStory", "GetVipInfo", "AppInvitation"}) EXPECT_TRUE(deliverReply(type, reply));
    EXPECT_FALSE(pageAnswers("nimbus1234://SendStory/success?x=1"));
    EXPECT_EQ(general->messages,
              (std::vector<std::string>{"SendStory", "SendStory", "GetVipInfo", "AppInvitation", "SendStory"}));

    // A delegate with only the story callback hears the stories, from the
    // app and from the page, and nothing else.
    auto stories = make<SessionDelegate>();
    session->setSessionDelegate(stories);
    EXPECT_TRUE(deliverReply("1", reply));
    EXPECT_TRUE(deliverReply("AppInvitation", reply));
    EXPECT_FALSE(pageAnswers("nimbus1234://SendStory/cancel"));
    ASSERT_EQ(stories->stories.size(), 2u);
    EXPECT_EQ(stories->stories[1]->retCode(), 1);
    EXPECT_EQ(general->messages.size(), 5u);
}

TEST_F(NimbusOAuthStartUp, AnAnswerCountsOnlyForTheCommandOutOnceAndAnUnreadableOneEndsItAsFailed) {
    auto general = make<GeneralListener>();
    auto session = make<NimbusOAuth>(std::string("1234"), general);
    const Dictionary reply{{"response_data", *NSKeyedArchiver::archivedDataWithRootObject(Value(make<APIResponse>()))}};
    // The command sent before the reply (if any), the reply's type, whether it is told.
    const std::tuple<std::string, std::string, bool> rows[] = {
        {"", "1", false},       {"", "AppInvitation", false}, {"1", "1", true}, {"", "1", false},
        {"AppChallenge", "AppInvitation", false}, {"", "AppChallenge", true}, {"", "AppChallenge", false}};
    for (const auto& [sent, type, told] : rows) {
        const std::size_t before = general->messages.size();
        if (!sent.empty()) sendCommand(sent);
        EXPECT_TRUE(deliverReply(type, reply, false));
        EXPECT_EQ(general->messages.size(), before + told) << sent << " " << type;
    }
    sendCommand("1");
    UIPasteboard::pasteboardWithName(*OpenApi::replyPasteboardName(), true)
        ->setData(NSData::fromString("?"), OpenApi::kPasteboardType);
    EXPECT_FALSE(NimbusOAuth::HandleOpenURL(NSURL::URLWithString("nimbus1234://psapp/x/1?generalpastboard=0")));
    EXPECT_EQ(std::pair(general->responses.back()->retCode(), general->responses.back()->detailRetCode()),
              std::pair(1, 7));
}

TEST_F(NimbusOAuthStartUp, TheLastOfARepeatedReplyKeyCountsAndAPalThatOnlyOpensMpalCannotSignOn) {
    auto delegate = make<SessionDelegate>();
    auto session = make<NimbusOAuth>(std::string("1234"), delegate);
    // "generalpastboard" 1 then 0: the reply is read off the named board.
    const std::string board = "pal-reply-board";
    UIPasteboard::pasteboardWithName(board, true)
        ->setData(NSKeyedArchiver::archivedDataWithRootObject(Value(Dictionary{{"openid", "OPEN"}, {"access_token", "T"}})),
                  OpenApi::kPasteboardType);
    OpenApi::setReplyPasteboardName(board);
    OpenApi::setNimbusAuthorizeState(OpenApi::kStateSSO);
    EXPECT_TRUE(NimbusOAuth::HandleOpenURL(
        NSURL::URLWithString("nimbus1234://psapp/x/0?generalpastboard=1&generalpastboard=0")));
    EXPECT_EQ(delegate->outcomes, std::vector<std::string>{"login"});

    UIApplication::installSimulatedApp("mpal", [](const Ref<NSURL>&) {});
    EXPECT_EQ(OpenApi::palVersion(), 1);
    EXPECT_FALSE(OpenApi::authorizeWithPermission({"get_user_info"}, delegate, OpenApi::kCallPal));
    EXPECT_EQ(NBOError::getLastOAuthError(), std::optional<std::string>("palversion < kPalVersion4_0"));
}

TEST_F(NimbusOAuthStartUp, ComingBackActiveEndsAWaitingSignOnAndWithdrawsTheSessionsDelayedCalls) {
    auto session = make<NimbusOAuth>(std::string("1234"), nullptr);
    auto bystander = make<NSObject>();
    int sessionCalls = 0, bystanderCalls = 0;
    NSDelayedPerform::performSelector(session, "handleOpenURL:", Value(), 1.0, [&] { ++sessionCalls; });
    NSDelayedPerform::performSelector(bystander, "handleOpenURL:", Value(), 1.0, [&] { ++bystanderCalls; });
    OpenApi::setNimbusAuthorizeState(OpenApi::kStateSSO);
    NSNotificationCenter::defaultCenter()->postNotificationName(UIApplicationDidBecomeActiveNotification, nullptr);
    EXPECT_EQ(OpenApi::nimbusAuhorizeState(), OpenApi::kStateIdle);
    clock.advance(1.0);
    EXPECT_EQ(sessionCalls, 0);
    EXPECT_EQ(bystanderCalls, 1);
}
