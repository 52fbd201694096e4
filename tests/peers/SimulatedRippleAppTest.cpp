#include <gtest/gtest.h>

#include <random>

#include "graphics/CGImage.h"
#include "kits/ripple/AppCommunicate.h"
#include "kits/ripple/RPApi.h"
#include "kits/ripple/RPAuthMessages.h"
#include "kits/ripple/RPMediaObjects.h"
#include "kits/ripple/RPPayMessages.h"
#include "kits/ripple/RPShareMessages.h"
#include "peers/SimulatedRippleApp.h"
#include "tests/support/AppFixture.h"

namespace {

constexpr const char* kHostId = "rp00112233445566ff";

// A host app that hands every URL it is opened with to the Ripple kit, with
// itself as the kit's delegate.
class HostApp : public UIApplicationDelegate, public RPApiDelegate {
public:
    bool applicationOpenURLOptions(const Ref<UIApplication>&, const Ref<NSURL>& url, const Dictionary&) override {
        return RPApi::handleOpenURL(url, self<HostApp>());
    }
    void onReq(const Ref<BaseReq>& request) override { requests.push_back(request); }
    void onResp(const Ref<BaseResp>& response) override { responses.push_back(response); }

    std::vector<Ref<BaseReq>> requests;
    std::vector<Ref<BaseResp>> responses;
};

// Random noise, which JPEG cannot squeeze much.
Ref<UIImage> noise(std::size_t side) {
    std::vector<std::uint8_t> rgba(side * side * 4, 255);
    std::mt19937 random(11);
    for (std::size_t i = 0; i < rgba.size(); ++i)
        if (i % 4 != 3) rgba[i] = static_cast<std::uint8_t>(random());
    return UIImage::imageWithCGImage(CGImage::imageWithRGBA(side, side, rgba));
}

class RippleRoundTrip : public AppFixture {
protected:
    void SetUp() override {
        UIApplication::launchForTesting(host);
        RPApi::forgetRequestsForTesting();
        ASSERT_TRUE(RPApi::registerApp(std::string(kHostId), false));
        ripple->install();
    }

    Ref<HostApp> host = make<HostApp>();
    Ref<SimulatedRippleApp> ripple = make<SimulatedRippleApp>();
};

}  // namespace

TEST_F(RippleRoundTrip, AWebPageShareReachesRippleWholeAndItsAnswerComesBack) {
    UIPasteboard::generalPasteboard()->setString(std::string("用户的文字"));
    auto page = RPWebpageObject::object();
    page->setWebpageUrl(std::string("http://127.0.0.1/h5/game/3"));
    auto message = RPMediaMessage::message();
    message->setTitle(std::string("星河战记"));
    message->setDescription("星河战记0");
    message->setThumbImage(noise(180));
    ASSERT_TRUE(message->thumbData());
    ASSERT_LE(message->thumbData()->length(), RPMediaMessage::kThumbnailTargetLength);
    message->setMediaObject(page);
    auto share = make<SendMessageToRPReq>();
    share->setMessage(message);

    ASSERT_TRUE(RPApi::sendReq(share));
    ASSERT_TRUE(runUntil([&] { return !host->responses.empty(); }));

    ASSERT_EQ(ripple->received().size(), 1u);
    const PeerDelivery& delivery = ripple->received()[0];
    EXPECT_EQ(delivery.url, "ripple://app/" + std::string(kHostId) + "/sendreq/?");
    EXPECT_EQ(delivery.message["command"], Value("1010"));
    EXPECT_EQ(delivery.message["scene"], Value("0"));
    EXPECT_EQ(delivery.message["title"], Value("星河战记"));
    EXPECT_EQ(delivery.message["description"], Value("星河战记0"));
    EXPECT_EQ(delivery.message["objectType"], Value("5"));
    EXPECT_EQ(delivery.message["mediaUrl"], Value("http://127.0.0.1/h5/game/3"));
    EXPECT_EQ(delivery.message["thumbData"], Value(*message->thumbData()));

    ASSERT_EQ(host->responses.size(), 1u);
    auto answer = cast<SendMessageToRPResp>(host->responses[0]);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->errCode(), 0);
    EXPECT_EQ(answer->lang(), "zh_CN");
    EXPECT_EQ(answer->country(), "CN");
    EXPECT_EQ(RPApi::tryGetRippleVersion(), SimulatedRippleApp::kRippleVersion);
    // The user's text is back, and nothing of the exchange is left.
    EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "用户的文字");
    EXPECT_FALSE(UIPasteboard::generalPasteboard()->dataForPasteboardType(AppCommunicate::kContentType));
}

TEST_F(RippleRoundTrip, RipplesOwnRequestReachesOnReqAndTheHostsAnswerReachesRipple) {
    auto ask = make<GetMessageFromRPReq>();
    ask->setLang(std::string("zh_CN"));
    ASSERT_TRUE(ripple->sendRequest(kHostId, ask));
    ASSERT_TRUE(runUntil([&] { return !host->requests.empty(); }));
    auto asked = cast<GetMessageFromRPReq>(host->requests[0]);
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->lang(), "zh_CN");

    auto reply = make<GetMessageFromRPResp>();
    reply->setBText(true);
    reply->setText(std::string("推广链接"));
    ASSERT_TRUE(RPApi::sendResp(reply));
    ASSERT_TRUE(runUntil([&] { return !ripple->received().empty(); }));
    EXPECT_EQ(ripple->received()[0].message["command"], Value("1020"));
    EXPECT_EQ(ripple->received()[0].message["title"], Value("推广链接"));
    EXPECT_EQ(ripple->received()[0].message["returnFromApp"], Value("1"));
}

TEST_F(RippleRoundTrip, AnAuthorisationAndAPaymentAreAnsweredByUrl) {
    ripple->setAnswerCode(-2);
    auto login = make<SendAuthReq>();
    login->setScope(std::string("snsapi_userinfo"));
    login->setState(std::string("st 1"));
    ASSERT_TRUE(RPApi::sendReq(login));
    ASSERT_TRUE(runUntil([&] { return !host->responses.empty(); }));
    auto granted = cast<SendAuthResp>(host->responses[0]);
    ASSERT_TRUE(granted);
    EXPECT_EQ(granted->code(), "ripple-auth-code");
    EXPECT_EQ(granted->state(), "st%201");
    EXPECT_EQ(ripple->received()[0].summary, "auth: scope=snsapi_userinfo state=st%201");
    // The answer is told once.
    const auto again = NSURL::URLWithString(kHostId + std::string("://oauth?code=c&state=st%201"));
    EXPECT_TRUE(RPApi::handleOpenURL(again, host));
    EXPECT_EQ(host->responses.size(), 1u);

    auto payment = make<PayReq>();
    for (auto setter : {&PayReq::setPartnerId, &PayReq::setPrepayId, &PayReq::setNonceStr, &PayReq::setSign})
        (payment.get()->*setter)(std::string("v"));
    payment->setPackage(std::string("Sign=WXPay"));
    ASSERT_TRUE(RPApi::sendReq(payment));
    ASSERT_TRUE(runUntil([&] { return host->responses.size() == 2; }));
    auto paid = cast<PayResp>(host->responses[1]);
    ASSERT_TRUE(paid);
    EXPECT_EQ(paid->errCode(), -2);
    EXPECT_EQ(paid->returnKey(), "Sign%3DWXPay");
}

TEST_F(RippleRoundTrip, ASendWithoutAMessageOnThePasteboardIsOnlyNoted) {
    UIApplication::sharedApplication()->openURL(NSURL::URLWithString("ripple://app/" + std::string(kHostId) + "/sendreq/?"));
    ASSERT_TRUE(runUntil([&] { return !ripple->received().empty(); }));
    EXPECT_EQ(ripple->received()[0].summary, "sendreq: no message for " + std::string(kHostId) + " on the pasteboard");
    EXPECT_NE(ripple->describeReceived().find("Ripple: 1 received"), std::string::npos);
    EXPECT_TRUE(host->responses.empty());
}
