// What the share layer sends to the Pal connect services (the TLS stand-in):
// the check and share reports of a send, the preview upload, the online
// status, and the error page of a share Pal cannot take.
#include <gtest/gtest.h>

#include <algorithm>

#include "backend/PalConnectServices.h"
#include "foundation/NSString.h"
#include "graphics/CGImage.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBWebKit/NBWebViewController.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/Util/ConfigManager.h"
#include "kits/pal/PalApi/PalApi.h"
#include "kits/pal/PalApi/PalApiInterface/PalApiInterface.h"
#include "kits/pal/PalApi/PalApiInterface/PalApiTask.h"
#include "kits/pal/PalApi/PalApiNewsObject.h"
#include "kits/pal/PalApi/PalApiPalSpaceObjects.h"
#include "kits/pal/PalApi/PalOpenApiUtility.h"
#include "tests/support/PalHostFixture.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIWindow.h"
#include "tests/support/Eventually.h"

namespace {

using Received = backend::PalConnectServices::ReceivedRequest;

class PalShareServices : public PalHostFixture {
protected:
    void SetUp() override {
        services = backend::PalConnectServices::start();
        ASSERT_TRUE(services);
        NimbusConnectHosts::setHost(services->host(), services->certificateFile());
        for (const char* scheme : {"mpal", "mpalapi", "mpalopensdkapiV4"})
            UIApplication::installSimulatedApp(scheme, [](const Ref<NSURL>&) {});
        PalApi::registerPluginWithId("Pal000004D2");
    }
    void TearDown() override {
        ASSERT_TRUE(runUntil([] { return !PalApiTask::isRunning(); }));
        NimbusConnectHosts::setHost("");
        UIApplication::removeAllSimulatedApps();
    }

    // The decoded "data" of the check reports received so far.
    std::vector<std::string> checkReports() const {
        std::vector<std::string> reports;
        for (const Received& request : requestsTo("/code.cgi")) reports.push_back(request.params.at("data"));
        return reports;
    }
    std::vector<Received> requestsTo(const std::string& path) const { return services->receivedRequestsTo(path); }
    bool waitFor(const std::string& path, std::size_t count) {
        return runUntil([&] { return requestsTo(path).size() >= count; }, kGiveUpAfterSeconds);
    }

    std::unique_ptr<backend::PalConnectServices> services;
};

}  // namespace

TEST_F(PalShareServices, EachSendReportsItsCheckAndASuccessfulShareItsKind) {
    auto text = PalApiTextObject::objectWithText("你好");
    EXPECT_EQ(PalApiInterface::sendReq(SendMessageToPalReq::reqWithContent(text)), 0);
    ASSERT_TRUE(waitFor("/code.cgi", 1));
    EXPECT_EQ(checkReports()[0].rfind("result=0&code=0&openid=&appid=&share_type=0&", 0), 0u) << checkReports()[0];
    ASSERT_TRUE(waitFor("/cgi-bin/appstage/mstats_report", 1));
    const auto share = requestsTo("/cgi-bin/appstage/mstats_report")[0];
    EXPECT_EQ(share.params.at("type"), "5");
    EXPECT_EQ(share.params.at("act_type"), "3");
    EXPECT_EQ(share.params.at("report_type"), "10");

    // A refusal reports its code; a PalSpace send says so.
    EXPECT_EQ(PalApiInterface::sendReq(SendMessageToPalReq::reqWithContent(make<PalApiResultObject>())), 5);
    ASSERT_TRUE(waitFor("/code.cgi", 2));
    EXPECT_EQ(checkReports()[1].rfind("result=1&code=5&", 0), 0u) << checkReports()[1];
    // A text to PalSpace goes to a chat instead when the app is not allowed
    // H5 shares. A PalSpace video is no kind the share report knows.
    ConfigManager::GetInstance()->config().set("SDKWebViewPalShare", 0);
    ConfigManager::GetInstance()->setSdkWebViewConfigEnable(0);
    EXPECT_EQ(PalApiInterface::SendReqToPalSpace(SendMessageToPalReq::reqWithContent(text)), 0);
    EXPECT_EQ(PalApiInterface::SendReqToPalSpace(SendMessageToPalReq::reqWithContent(
                  PalApiVideoForPalSpaceObject::objectWithAssetURL("assets-library://v", "视频", Value()))),
              0);
    ASSERT_TRUE(waitFor("/code.cgi", 4));
    EXPECT_NE(checkReports()[2].find("&share_type=4&"), std::string::npos);
    ASSERT_TRUE(waitFor("/cgi-bin/appstage/mstats_report", 2));
    clock.advance(1);
    EXPECT_EQ(requestsTo("/cgi-bin/appstage/mstats_report").size(), 2u);

    // Requests of another type are refused without a check report.
    auto other = SendMessageToPalReq::reqWithContent(text);
    other->setType(2);
    EXPECT_EQ(PalApiInterface::sendReq(other), -1);
    EXPECT_EQ(checkReports().size(), 4u);
}

TEST_F(PalShareServices, AnUploadedPreviewIsFittedAndItsAddressSharedInstead) {
    auto rgba = std::vector<std::uint8_t>(300 * 200 * 4, 120);
    auto png = *UIImagePNGRepresentation(UIImage::imageWithCGImage(CGImage::imageWithRGBA(300, 200, rgba)));
    auto link = PalApiNewsObject::objectWithURL(NSURL::URLWithString("http://127.0.0.1/h5/game/3"), "星河战记", "",
                                                std::optional<NSData>(png));
    make<PalApiTaskUploadURLObjectPreviewData>(PalApiMessage::messageWithObject(link))->postOnMainThread();
    ASSERT_TRUE(runUntil([] { return !PalApiTask::isRunning() && !UIApplication::sharedApplication()->openedURLs().empty(); }, kGiveUpAfterSeconds));

    ASSERT_EQ(services->shareImages().size(), 1u);
    auto uploaded = UIImage::imageWithData(NSData::fromString(services->shareImages()[0]));
    ASSERT_TRUE(uploaded);
    EXPECT_EQ(CGImageGetWidth(uploaded->CGImage()), 140u);
    EXPECT_EQ(CGImageGetHeight(uploaded->CGImage()), 140u);
    const std::string address = "https://" + services->host() + "/share_image/1.jpg";
    ASSERT_TRUE(link->previewImageURL());
    EXPECT_EQ(link->previewImageURL()->absoluteString(), address);
    const std::string opened = UIApplication::sharedApplication()->openedURLs().back();
    EXPECT_NE(opened.find("previewimageUrl=" + *PalOpenApiUtility::base64EncodedStringWithUTF8String(address)),
              std::string::npos)
        << opened;
}

TEST_F(PalShareServices, OnlineStatesReachTheDelegate) {
    struct Delegate : PalApiInterfaceDelegate {
        void isOnlineResponse(const Dictionary& states) override { answers.push_back(states); }
        std::vector<Dictionary> answers;
    };
    auto delegate = std::make_shared<Delegate>();
    PalApiInterface::getPalUinOnlineStatues({"10001", "10002"}, delegate);
    ASSERT_TRUE(runUntil([&] { return !delegate->answers.empty(); }, kGiveUpAfterSeconds));
    EXPECT_EQ(delegate->answers[0], (Dictionary{{"10001", "NO"}, {"10002", "NO"}}));
    ASSERT_TRUE(waitFor("/cgi-bin/appstage/mstats_report", 1));
    EXPECT_EQ(requestsTo("/cgi-bin/appstage/mstats_report")[0].params.at("report_type"), "15");
}

TEST_F(PalShareServices, AFavouriteThatPalCannotTakeShowsTheErrorPage) {
    auto favourite = PalApiTextObject::objectWithText("收藏");
    favourite->setCflag(8);
    EXPECT_EQ(PalApi::sendMessage(PalApiMessage::messageWithObject(favourite)), 8);
    auto navigation = cast<UINavigationController>(UIApplication::sharedApplication()->keyWindow()->rootViewController());
    ASSERT_TRUE(navigation);
    auto page = cast<NBWebViewController>(navigation->topViewController());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->webTitle(), "出错提示");
    EXPECT_EQ(page->requestURLStr(), "https://" + services->host() + "/favorite/favorite_error.html");
    ASSERT_TRUE(waitFor("/favorite/favorite_error.html", 1));
}
