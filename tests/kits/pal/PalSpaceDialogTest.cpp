// The session's PalSpace dialogs in the kit's web window: the kit's dialog
// page leads on to the stand-in's dialog page, whose answers on the app's
// own scheme close the window and reach the session delegate.
#include <gtest/gtest.h>

#include "backend/PalAuthorizationPage.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBUiKit.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "tests/kits/pal/PalWebWindowFixture.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIDriver.h"
#include "tests/support/Eventually.h"

namespace {

class DialogAnswers : public NSObject, public NimbusSessionDelegate {
public:
    bool answers(NimbusSessionCallback callback) const override {
        return callback == NimbusSessionCallback::sendStoryResponse ||
               callback == NimbusSessionCallback::responseDidReceived;
    }
    void sendStoryResponse(const Ref<APIResponse>& response) override { stories.push_back(response); }
    void responseDidReceived(const Ref<APIResponse>& response, const std::string& message) override {
        others.emplace_back(message, response);
    }
    std::vector<Ref<APIResponse>> stories;
    std::vector<std::pair<std::string, Ref<APIResponse>>> others;
};

class PalSpaceDialog : public PalWebWindowFixture {
protected:
    void SetUp() override {
        PalWebWindowFixture::SetUp();
        session = make<NimbusOAuth>(std::string("1234"), answers);
        session->setAccessToken(backend::palIssuedToken("1234"));
        session->setOpenId(backend::palOpenId("1234"));
        session->setExpirationDate(NSDate(NSDate::date().timeIntervalSince1970() + 3600));
    }
    Ref<NBWebViewKit> dialogWindow() const {
        return session->tcUiKit() ? session->tcUiKit()->webViewKit() : nullptr;
    }
    // The page's answer as the kit's window sees it.
    bool answer(const std::string& address) {
        return session->webViewKitShouldStartLoadWithRequest(
            dialogWindow(), NSURLRequest::requestWithURL(NSURL::URLWithString(address)),
            UIWebViewNavigationType::LinkClicked);
    }
    // The alert over the app: its title and message; "" without one.
    static std::string shownAlert() {
        auto alerts = UIDriver().findAllOfClass("UIAlertView");
        auto alert = alerts.empty() ? nullptr : cast<UIAlertView>(alerts.back());
        if (!alert || !alert->isVisible()) return "";
        alert->dismissWithClickedButtonIndex(0, false);
        return alert->title() + " / " + alert->message() + " / " + alert->buttonTitleAtIndex(0);
    }

    Ref<DialogAnswers> answers = make<DialogAnswers>();
    Ref<NimbusOAuth> session;
};

TEST_F(PalSpaceDialog, AStoryGoesThroughTheDialogPageAndItsSendingReachesSendStoryResponse) {
    Dictionary story{{"title", "  星河战记 \n"}, {"summary", "一起来玩"}, {"url", "https://game.example/1"},
                     {"userData", "mine"}};
    ASSERT_TRUE(session->sendStory(story, Array{"FRIEND1", Value(7), "FRIEND2"}));
    EXPECT_FALSE(story.contains("userData"));
    auto kit = dialogWindow();
    ASSERT_TRUE(kit && kit->window());
    EXPECT_EQ(kit->webTitle(), std::optional<std::string>("分享"));
    const auto address = NSURL::URLWithString(kit->requestUrl().value_or(""));
    ASSERT_TRUE(address);
    EXPECT_EQ(address->host(), std::optional<std::string>("localhost"));
    EXPECT_EQ(address->lastPathComponent(), "local.html");

    follow(kit, "继续");  // the kit's own page leads on to the PalSpace host
    follow(kit, "发送");
    ASSERT_TRUE(runUntil([&] { return !answers->stories.empty(); }, kGiveUpAfterSeconds));
    EXPECT_TRUE(answers->others.empty());
    const auto& response = answers->stories[0];
    EXPECT_EQ(response->retCode(), 0);
    EXPECT_EQ(response->detailRetCode(), 0);
    EXPECT_EQ(response->errorMsg(), std::optional<std::string>("操作成功"));
    EXPECT_EQ(response->jsonResponse()["ret"], Value("0"));
    EXPECT_EQ(response->jsonResponse()["receiver"], Value("FRIEND1,FRIEND2"));
    slideOut();
    EXPECT_FALSE(kit->window());
    EXPECT_TRUE(appWindow->isKeyWindow());

    auto shown = services->receivedRequestsTo("/");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].params["iface"], "SendStory");
    EXPECT_EQ(shown[0].params["title"], "星河战记");
    EXPECT_EQ(shown[0].params["source"], "4");
    EXPECT_EQ(shown[0].params["keytype"], "21");
    EXPECT_EQ(shown[0].params["platform"], "iosps");
    EXPECT_EQ(shown[0].params["url"], "https://game.example/1");
    EXPECT_EQ(shown[0].params.count("userData"), 0u);
    // A story to friends is counted.
    ASSERT_TRUE(runUntil([&] { return !services->receivedRequestsTo("/report/report").empty(); }, kGiveUpAfterSeconds));
    EXPECT_EQ(services->receivedRequestsTo("/report/report")[0].params["nValue"], "10784");
}

TEST_F(PalSpaceDialog, AStoryDictionaryNamesItsActionUnlessToldOtherwise) {
    auto story = NBSendStoryDic::dictionary();
    story->setParamTitle(std::string("星河战记"));
    story->setParamShareUrl(std::string("https://game.example/1"));
    ASSERT_TRUE(session->sendStory(story, Array{}));
    auto kit = dialogWindow();
    ASSERT_TRUE(kit);
    const Dictionary fields =
        PalApiNSStringURLArgumentsAdditions::dictionaryByParseUrlFromSeparator(kit->requestUrl().value_or(""), "?");
    EXPECT_EQ(fields["act"], Value("进入应用"));
    EXPECT_EQ(fields["shareurl"], Value("https://game.example/1"));
    EXPECT_EQ(fields["title"], Value("星河战记"));
}

TEST_F(PalSpaceDialog, WithoutPalSpaceTheOtherDialogsUseThePageTooWhichRefusesAStaleToken) {
    ASSERT_TRUE(session->sendChallenge(std::string("FRIEND1"), std::string("brag"), std::string("https://i.example/1"),
                                       std::string(" 我赢了 "), std::string("level=3")));
    auto kit = dialogWindow();
    ASSERT_TRUE(kit);
    EXPECT_EQ(kit->webTitle(), std::optional<std::string>("向TA炫耀"));
    follow(kit, "继续");
    follow(kit, "取消");
    ASSERT_TRUE(runUntil([&] { return !answers->others.empty(); }, kGiveUpAfterSeconds));
    EXPECT_EQ(answers->others[0].first, "AppChallenge");
    EXPECT_EQ(answers->others[0].second->retCode(), 1);
    EXPECT_EQ(answers->others[0].second->detailRetCode(), 2);
    auto shown = services->receivedRequestsTo("/");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].params["msg"], "我赢了");
    EXPECT_EQ(shown[0].params["encrytoken"], session->localEncrytedToken().value_or(""));
    slideOut();

    session->setAccessToken(std::string("PTstale"));
    ASSERT_TRUE(session->sendAppInvitationWithDescription(std::string("来玩"), std::nullopt, std::nullopt));
    EXPECT_EQ(dialogWindow()->webTitle(), std::optional<std::string>("应用邀请"));
    follow(dialogWindow(), "继续");
    follow(dialogWindow(), "返回");
    ASSERT_TRUE(runUntil([&] { return answers->others.size() == 2; }, kGiveUpAfterSeconds));
    EXPECT_EQ(answers->others[1].first, "AppInvitation");
    // A failure never reads as a success.
    EXPECT_EQ(answers->others[1].second->retCode(), 1);
    EXPECT_EQ(answers->others[1].second->detailRetCode(), 12);
    EXPECT_EQ(answers->others[1].second->errorMsg(), std::optional<std::string>("服务器端错误"));
    EXPECT_EQ(answers->others[1].second->jsonResponse()["msg"], Value("登录已失效"));
}

TEST_F(PalSpaceDialog, AnswersOnOtherPathsOrWithoutAHostCloseTheWindowAndTellNothing) {
    ASSERT_TRUE(session->sendGiftRequest(std::string("FRIEND1"), std::nullopt, std::nullopt, true,
                                         std::string("freegift"), std::string("礼包"), std::nullopt, std::nullopt,
                                         std::nullopt));
    EXPECT_EQ(dialogWindow()->webTitle(), std::optional<std::string>("赠送礼物"));
    EXPECT_TRUE(answer("https://pal.example/next"));  // other addresses load
    EXPECT_FALSE(answer("nimbus1234://AppGiftRequest/later?x=1"));
    EXPECT_FALSE(answer("nimbus1234:///success"));
    EXPECT_TRUE(answers->others.empty());
    EXPECT_TRUE(dialogWindow()->isClosing());
    slideOut();
    EXPECT_FALSE(dialogWindow()->window());

    // Without a session nothing opens.
    session->setExpirationDate(NSDate::date());
    Dictionary story{{"title", "星河战记"}};
    EXPECT_FALSE(session->sendStory(story, {}));
    EXPECT_FALSE(session->sendAppInvitationWithDescription(std::nullopt, std::nullopt, std::nullopt));
    EXPECT_FALSE(dialogWindow()->window());
}

TEST_F(PalSpaceDialog, BadParametersAreRefusedWithAnAlert) {
    Dictionary blank{{"title", " \n "}};
    EXPECT_FALSE(session->sendStory(blank, {}));
    EXPECT_EQ(shownAlert(), "分享失败 / 标题不能为空 / 我知道啦");
    EXPECT_FALSE(session->sendChallenge(std::string(""), std::string("pk"), std::nullopt, std::nullopt, std::nullopt));
    EXPECT_EQ(shownAlert(), "挑战炫耀 / 参数错误: (receiver.length > 0 && ([type isEqualToString:@\"pk\"] || "
                            "[type isEqualToString:@\"brag\"])) / OK");
    EXPECT_FALSE(session->sendChallenge(std::string("F"), std::string("duel"), std::nullopt, std::nullopt, std::nullopt));
    EXPECT_NE(shownAlert(), "");
    EXPECT_FALSE(session->sendGiftRequest(std::nullopt, std::nullopt, std::nullopt, false, std::string("gift"),
                                          std::nullopt, std::nullopt, std::nullopt, std::nullopt));
    EXPECT_EQ(shownAlert(), "请求/赠送礼物 / 参数错误: (([type isEqualToString:@\"request\"] || "
                            "[type isEqualToString:@\"freegift\"])) / OK");
    EXPECT_FALSE(session->tcUiKit());
}

}  // namespace
