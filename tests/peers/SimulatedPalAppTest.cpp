// Shares to the simulated Pal apps and their answers, end to end: the kit's
// URLs and pasteboards as the Pal apps read them, the preview downloaded
// before the share goes out, and legacy requests from PalSpace.
#include <gtest/gtest.h>

#include "graphics/CGImage.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusApi/NimbusApiInterface.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusApi/NimbusMessageParse.h"
#include "kits/pal/PalApi/PalApi.h"
#include "kits/pal/PalApi/PalApiInterface/PalApiInterface.h"
#include "kits/pal/PalApi/PalApiInterface/PalApiTask.h"
#include "kits/pal/PalApi/PalApiNewsObject.h"
#include "peers/SimulatedPalApp.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "tests/support/PalHostFixture.h"

namespace {

constexpr const char* kHostScheme = "Pal000004D2";

// A host app that hands the URLs it is opened with to the Pal kit: legacy
// URLs to the legacy layer, the rest to the share interface.
class HostApp : public UIApplicationDelegate, public PalApiInterfaceDelegate, public NimbusApiInterfaceDelegate {
public:
    bool applicationOpenURLOptions(const Ref<UIApplication>&, const Ref<NSURL>& url, const Dictionary&) override {
        if (NimbusApiInterface::canOpenURL(url)) return NimbusApiInterface::handleOpenURL(url, self<HostApp>());
        return PalApiInterface::handleOpenURL(url, self<HostApp>());
    }
    void onResp(const Ref<PalBaseResp>& response) override { responses.push_back(response); }
    std::optional<bool> onNimbusReq(const Ref<NimbusApiReq>& request) override {
        legacyRequests.push_back(request);
        return acceptLegacyRequests;
    }

    std::vector<Ref<PalBaseResp>> responses;
    std::vector<Ref<NimbusApiReq>> legacyRequests;
    bool acceptLegacyRequests = true;
};

std::string png(std::size_t side) {
    auto image = UIImage::imageWithCGImage(CGImage::imageWithRGBA(side, side, std::vector<std::uint8_t>(side * side * 4, 90)));
    return UIImagePNGRepresentation(image)->toString();
}

class PalPeers : public PalHostFixture {
protected:
    void SetUp() override {
        UIApplication::launchForTesting(host);
        PalApi::registerPluginWithId(kHostScheme);
        pal->install();
        server.route("GET", "/icon.png", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(png(40), "image/png");
        });
        server.route("GET", "/text.png", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("not a picture", "text/plain");
        });
    }
    void TearDown() override {
        pal->uninstall();
        // A task still waiting lets go of its slot before the next test.
        ASSERT_TRUE(runUntil([] { return !PalApiTask::isRunning(); }));
    }

    Ref<PalApiNewsObject> news(const std::string& preview, const std::string& title = "星河战记") {
        return PalApiNewsObject::objectWithURL(NSURL::URLWithString("http://127.0.0.1/h5/game/3"), title, "快来玩",
                                               NSURL::URLWithString(server.url(preview)));
    }

    Ref<HostApp> host = make<HostApp>();
    Ref<SimulatedPalApp> pal = make<SimulatedPalApp>(SimulatedPalApp::Kind::Pal);
    LoopbackHTTPServer server;
};

}  // namespace

TEST_F(PalPeers, ANewsLinkIsDeferredThenReachesPalWithItsDownloadedPreview) {
    EXPECT_EQ(PalApiInterface::sendReq(SendMessageToPalReq::reqWithContent(news("/icon.png"))), 7);
    EXPECT_TRUE(pal->received().empty());
    ASSERT_TRUE(runUntil([&] { return !host->responses.empty(); }));

    ASSERT_EQ(pal->received().size(), 1u);
    const Dictionary& share = pal->received()[0].message;
    EXPECT_EQ(share["file_type"], Value("news"));
    EXPECT_EQ(share["title"], Value("星河战记"));
    EXPECT_EQ(share["description"], Value("快来玩"));
    EXPECT_EQ(share["url"], Value("http://127.0.0.1/h5/game/3"));
    EXPECT_EQ(share["previewimageUrl"], Value(server.url("/icon.png")));
    EXPECT_EQ(share["previewimagedata"], Value(NSData::fromString(png(40))));
    EXPECT_EQ(share["callback_name"], Value(kHostScheme));
    EXPECT_EQ(server.requests().size(), 1u);

    // Pal's answer reaches the host as a share response.
    ASSERT_EQ(host->responses.size(), 1u);
    EXPECT_EQ(host->responses[0]->type(), 2);
    EXPECT_EQ(host->responses[0]->result(), "0");
    EXPECT_NE(pal->describeReceived().find("share file_type=news title=星河战记"), std::string::npos);
}

TEST_F(PalPeers, APreviewThatIsNoPictureLeavesTheShareWithoutOne) {
    EXPECT_EQ(PalApiInterface::sendReq(SendMessageToPalReq::reqWithContent(news("/text.png"))), 7);
    ASSERT_TRUE(runUntil([&] { return !pal->received().empty(); }));
    ASSERT_TRUE(runUntil([] { return !PalApiTask::isRunning(); }));
    clock.advance(6);
    ASSERT_EQ(pal->received().size(), 1u);
    EXPECT_TRUE(pal->received()[0].message["previewimagedata"].isNil());
    EXPECT_EQ(pal->received()[0].message["previewimageUrl"], Value(server.url("/text.png")));
}

TEST_F(PalPeers, APreviewNotThereWithinFiveSecondsIsGivenUp) {
    server.respondSlowly("GET", "/late.png", {.delayBeforeHeaders = 3, .body = png(10)});
    EXPECT_EQ(PalApiInterface::sendReq(SendMessageToPalReq::reqWithContent(news("/late.png"))), 7);
    ASSERT_TRUE(runUntil([] { return PalApiTask::isRunning(); }));
    clock.advance(4.9);
    EXPECT_TRUE(pal->received().empty());
    clock.advance(0.2);
    ASSERT_TRUE(runUntil([&] { return !pal->received().empty() && !PalApiTask::isRunning(); }));
    EXPECT_TRUE(pal->received()[0].message["previewimagedata"].isNil());
}

TEST_F(PalPeers, AShareStartedWhileAnotherWaitsForItsPreviewIsDropped) {
    server.route("GET", "/slow.png", [](const httplib::Request&, httplib::Response& response) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        response.set_content(png(20), "image/png");
    });
    EXPECT_EQ(PalApiInterface::sendReq(SendMessageToPalReq::reqWithContent(news("/slow.png", "第一"))), 7);
    ASSERT_TRUE(runUntil([] { return PalApiTask::isRunning(); }));
    EXPECT_EQ(PalApiInterface::sendReq(SendMessageToPalReq::reqWithContent(news("/icon.png", "第二"))), 7);
    ASSERT_TRUE(runUntil([&] { return !pal->received().empty() && !PalApiTask::isRunning(); }));
    ASSERT_EQ(pal->received().size(), 1u);
    EXPECT_EQ(pal->received()[0].message["title"], Value("第一"));
}

TEST_F(PalPeers, APalWithoutItsShareSchemeIsReportedOld) {
    pal->uninstall();
    pal->removeScheme("MPALAPI");
    pal->install();
    auto preview = news("/icon.png");
    preview->setPreviewImageData(NSData::fromString(png(10)));
    EXPECT_EQ(PalApiInterface::sendReq(SendMessageToPalReq::reqWithContent(preview)), 1);
    EXPECT_TRUE(pal->received().empty());
}

TEST_F(PalPeers, ALegacyRequestFromPalSpaceReachesTheHostAndItsAnswerGoesBack) {
    auto palSpace = make<SimulatedPalApp>(SimulatedPalApp::Kind::PalSpace);
    palSpace->install();
    auto request = make<NimbusApiReq>(1, 1, 1, 9);
    request->setArrMessage({Value(make<NimbusTextMessageObjV1>("分享给我"))});
    host->acceptLegacyRequests = false;
    ASSERT_TRUE(palSpace->sendLegacyRequest(kLegacyScheme, request));
    ASSERT_TRUE(runUntil([&] { return !palSpace->received().empty(); }));

    ASSERT_EQ(host->legacyRequests.size(), 1u);
    EXPECT_EQ(host->legacyRequests[0]->nSeq(), 9);
    EXPECT_EQ(host->legacyRequests[0]->arrMessage()[0].objectAs<NimbusTextMessageObjV1>()->sText(), "分享给我");
    ASSERT_EQ(palSpace->received().size(), 1u);
    EXPECT_EQ(palSpace->received()[0].message["nRetCode"], Value(-1));
    EXPECT_EQ(palSpace->received()[0].message["nSeq"], Value(9));
    palSpace->uninstall();
}

TEST_F(PalPeers, TheRegistrationIsReadableByThePalApps) {
    auto plugins = SimulatedPalApp::registeredPlugins();
    ASSERT_EQ(plugins.size(), 1u);
    EXPECT_EQ(plugins[0]->scheme(), kHostScheme);
    EXPECT_EQ(plugins[0]->bundleIdentifier(), kBundleIdentifier);
}
