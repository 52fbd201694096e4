#include <gtest/gtest.h>

#include "kits/ripple/AppCommunicate.h"
#include "kits/ripple/RPCardMessages.h"
#include "kits/ripple/RPMiniProgramMessages.h"
#include "kits/ripple/RPPayMessages.h"
#include "kits/ripple/RPShareMessages.h"
#include "kits/ripple/RPWebViewMessages.h"
#include "tests/kits/ripple/RippleKitFixture.h"

namespace {

// The Ripple app, present and noting the URLs it is opened with.
class Senders : public RippleKitFixture {
protected:
    void SetUp() override {
        RippleKitFixture::SetUp();
        UIApplication::installSimulatedApp("ripple", [this](const Ref<NSURL>& url) { opened.push_back(url->absoluteString()); });
    }
    std::string lastOpened() const {
        auto urls = UIApplication::sharedApplication()->openedURLs();
        return urls.empty() ? "" : urls.back();
    }
    std::string entry(const std::string& path) const { return "ripple://app/" + std::string(kAppId) + "/" + path; }

    std::vector<std::string> opened;
};

}  // namespace

TEST_F(Senders, PaymentsCheckTheirFieldsInOrderAndEscapeThem) {
    auto request = make<PayReq>();
    request->setPartnerId(std::string("p 1"));
    request->setPrepayId(std::string("w&x"));
    request->setNonceStr(std::string("n"));
    request->setPackage(std::string("Sign=WXPay"));
    request->setTimeStamp(1700000000u);
    request->setSign(std::string(""));
    EXPECT_FALSE(RPApi::sendReq(request));
    EXPECT_EQ(log, (std::vector<std::string>{"rplog:Error:sign is nil"}));

    request->setSign(std::string("s/1"));
    EXPECT_TRUE(RPApi::sendReq(request));
    const std::string expected = entry("pay/?nonceStr=n&package=Sign%3DWXPay&partnerId=p%201&prepayId=w%26x"
                                       "&timeStamp=1700000000&sign=s%2F1&signType=SHA1");
    EXPECT_EQ(lastOpened(), expected);
    EXPECT_EQ(log.at(1), "rplog:url : " + expected);
    EXPECT_EQ(log.at(2), "rplog:has call system function");
}

TEST_F(Senders, UrlRequestsAreRefusedBeyondTheirLimits) {
    auto miniProgram = RPLaunchMiniProgramReq::object();
    miniProgram->setUserName(std::string("gh_1"));
    miniProgram->setMiniProgramType(3);
    EXPECT_FALSE(RPApi::sendReq(miniProgram));
    miniProgram->setMiniProgramType(2);
    EXPECT_TRUE(RPApi::sendReq(miniProgram));
    EXPECT_EQ(lastOpened(), entry("jumpRpa/?userName=gh_1&path=&miniProgramType=2&extMsg="));

    auto room = make<CreateChatRoomReq>();
    room->setGroupId(std::string("g"));
    room->setChatRoomName(std::string(513, 'n'));
    EXPECT_FALSE(RPApi::sendReq(room));
    auto join = make<JoinChatRoomReq>();
    join->setGroupId(std::string("g"));
    join->setChatRoomNickName(std::string(1024, 'n'));
    EXPECT_TRUE(RPApi::sendReq(join));

    auto cards = make<AddCardToRPCardPackageReq>();
    std::vector<Ref<RPCardItem>> items(41);
    for (auto& item : items) {
        item = make<RPCardItem>();
        item->setCardId(std::string("c"));
    }
    cards->setCardAry(items);
    EXPECT_FALSE(RPApi::sendReq(cards));
    items.resize(2);
    cards->setCardAry(items);
    EXPECT_TRUE(RPApi::sendReq(cards));
    EXPECT_TRUE(lastOpened().starts_with(entry("cardpackage/?%7B")));
    EXPECT_EQ(items[1]->extMsg(), "");

    auto web = make<JumpToBizWebviewReq>();
    web->setTousrname(std::string("u"));
    web->setWebType(1);
    EXPECT_FALSE(RPApi::sendReq(web));

    auto subscribe = make<RPSubscribeMsgReq>();
    subscribe->setTemplateId(std::string(10241, 't'));
    EXPECT_FALSE(RPApi::sendReq(subscribe));
    EXPECT_EQ(log.back(), "rplog:Error:templateId length(10241) is max than:10240");
    subscribe->setTemplateId(std::string("t1"));
    subscribe->setScene(7);
    EXPECT_TRUE(RPApi::sendReq(subscribe));
    EXPECT_EQ(lastOpened(), entry("opentypewebview/?type=1&query=scene%3D7%26template_id%3Dt1%26reserved%3D"));

    EXPECT_TRUE(RPApi::sendReq(make<RPHandleScanResultReq>()));
    EXPECT_EQ(lastOpened(), entry("handlescanresult/"));
}

TEST_F(Senders, SharesAndAnswersGoOnThePasteboard) {
    auto share = make<SendMessageToRPReq>();
    share->setBText(true);
    share->setText(std::string("你好"));
    EXPECT_TRUE(RPApi::sendReq(share));
    EXPECT_EQ(lastOpened(), entry("sendreq/?"));
    auto message = AppCommunicate::appCommunicateDataForAppID(std::string(kAppId));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->textMessage(), "你好");

    EXPECT_FALSE(RPApi::sendResp(nullptr));
    auto answer = make<GetMessageFromRPResp>();
    answer->setErrCode(-2);
    answer->setBText(true);
    answer->setText(std::string("从主机"));
    EXPECT_TRUE(RPApi::sendResp(answer));
    EXPECT_EQ(lastOpened(), entry("sendresp/?"));
    auto sent = AppCommunicate::appCommunicateDataForAppID(std::string(kAppId));
    ASSERT_TRUE(sent);
    EXPECT_TRUE(sent->returnFromApp());
    EXPECT_EQ(sent->result(), -2);
    EXPECT_EQ(sent->command(), 1020u);

    // Without the Ripple app the message stays and the send answers false.
    UIApplication::installSimulatedApp("ripple", nullptr);
    EXPECT_FALSE(RPApi::isRPAppInstalled());
    EXPECT_FALSE(RPApi::sendReq(share));
    EXPECT_TRUE(AppCommunicate::appCommunicateDataForAppID(std::string(kAppId)));
}
