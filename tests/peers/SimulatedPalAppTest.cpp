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
#include "kits/pal/PalApi/PalApiCommonContentObject.h"
#include "kits/pal/PalApi/PalApiDatastore.h"
#include "kits/pal/PalApi/PalApiExtendObject.h"
#include "kits/pal/PalApi/PalApiMessageAndUrlConverter.h"
#include "kits/pal/PalApi/PalApiNewsObject.h"
#include "kits/pal/PalApi/PalApiPalSpaceObjects.h"
#include "kits/pal/PalApi/PalApiSpecialObjects.h"
#include "kits/pal/PalApi/PalOpenApiUtility.h"
#include "foundation/NSString.h"
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
    void onReq(const Ref<PalBaseReq>& request) override { requests.push_back(request); }
    std::optional<bool> onNimbusReq(const Ref<NimbusApiReq>& request) override {
        legacyRequests.push_back(request);
        return acceptLegacyRequests;
    }

    std::vector<Ref<PalBaseResp>> responses;
    std::vector<Ref<PalBaseReq>> requests;
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

    // Shares the object to Pal, then has Pal ask the host to show it: the
    // object the host is asked to show, or null.
    Ref<PalApiObject> roundTrip(const Ref<PalApiObject>& object, std::uint64_t type = PalApiMessage::kShareToChat) {
        const std::size_t sent = pal->received().size();
        EXPECT_EQ(PalApi::sendMessage(PalApiMessage::messageWithObject(object, type)), 0);
        if (!runUntil([&] { return pal->received().size() > sent; })) return nullptr;
        const std::size_t asked = host->requests.size();
        if (!pal->askHostToView(pal->received().back())) return nullptr;
        if (!runUntil([&] { return host->requests.size() > asked; })) return nullptr;
        auto shown = cast<ShowMessageFromPalReq>(host->requests.back());
        return shown ? shown->message() : nullptr;
    }
    // What Pal was last opened with, when it was no share.
    Ref<PalApiURLDecoder> lastOpened() const {
        if (pal->received().empty()) return nullptr;
        auto decoder = PalApiURLDecoder::decoderWithUrl(NSURL::URLWithString(pal->received().back().url));
        for (auto& [name, value] : decoder->queryItem())
            value = NSString::stringByRemovingPercentEncoding(*value.text()).value_or("");
        return decoder;
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
    // The picture comes only when the server stops: however slowly the test
    // runs, it is not there when the kit's time for it runs out.
    server.respondSlowly("GET", "/late.png",
                         {.delayBeforeHeaders = LoopbackHTTPServer::SlowAnswer::kUntilTheServerStops, .body = png(10)});
    EXPECT_EQ(PalApiInterface::sendReq(SendMessageToPalReq::reqWithContent(news("/late.png"))), 7);
    ASSERT_TRUE(runUntil([] { return PalApiTask::isRunning(); }));
    clock.advance(4.9);
    EXPECT_TRUE(pal->received().empty());
    clock.advance(0.2);
    ASSERT_TRUE(runUntil([&] { return !pal->received().empty() && !PalApiTask::isRunning(); }));
    EXPECT_TRUE(pal->received()[0].message["previewimagedata"].isNil());
}

TEST_F(PalPeers, AShareStartedWhileAnotherWaitsForItsPreviewGoesOutAfterIt) {
    server.route("GET", "/slow.png", [](const httplib::Request&, httplib::Response& response) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        response.set_content(png(20), "image/png");
    });
    EXPECT_EQ(PalApiInterface::sendReq(SendMessageToPalReq::reqWithContent(news("/slow.png", "第一"))), 7);
    ASSERT_TRUE(runUntil([] { return PalApiTask::isRunning(); }));
    EXPECT_EQ(PalApiInterface::sendReq(SendMessageToPalReq::reqWithContent(news("/icon.png", "第二"))), 7);
    ASSERT_TRUE(runUntil([&] { return pal->received().size() == 2 && !PalApiTask::isRunning(); }));
    EXPECT_EQ(pal->received()[0].message["title"], Value("第一"));
    EXPECT_EQ(pal->received()[1].message["title"], Value("第二"));
    EXPECT_EQ(pal->received()[1].message["previewimagedata"], Value(NSData::fromString(png(40))));
}

TEST_F(PalPeers, EveryKindPalIsAskedToShowComesBackAsTheHostSharedIt) {
    const auto preview = std::optional<NSData>(NSData::fromString(png(10)));
    auto text = cast<PalApiTextObject>(roundTrip(PalApiTextObject::objectWithText("一起玩")));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->text(), "一起玩");

    auto image = cast<PalApiImageObject>(roundTrip(PalApiExtendObject::objectWithData<PalApiImageObject>(
        NSData::fromString(png(12)), preview, "截图", "第一关")));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->data(), NSData::fromString(png(12)));
    EXPECT_EQ(image->previewImageData(), preview);
    EXPECT_EQ(image->description(), "第一关");

    auto file = roundTrip(PalApiExtendObject::objectWithData(NSData::fromString("存档"), preview, "存档", ""));
    ASSERT_TRUE(exactly<PalApiExtendObject>(file));
    EXPECT_EQ(cast<PalApiExtendObject>(file)->data(), NSData::fromString("存档"));

    const auto link = [&](auto kind) {
        return decltype(kind)::element_type::objectWithURL(NSURL::URLWithString("http://127.0.0.1/h5/game/3"), "星河战记",
                                                           "快来玩", preview);
    };
    for (const auto& [object, contentType] :
         std::vector<std::pair<Ref<PalApiURLObject>, int>>{{link(Ref<PalApiNewsObject>()), 3},
                                                          {link(Ref<PalApiAudioObject>()), 1},
                                                          {link(Ref<PalApiVideoObject>()), 2},
                                                          {PalApiURLObject::objectWithURL(
                                                               NSURL::URLWithString("http://127.0.0.1/h5"), "链接", "",
                                                               preview, 0),
                                                           0}}) {
        auto back = cast<PalApiURLObject>(roundTrip(object));
        ASSERT_TRUE(back) << contentType;
        EXPECT_EQ(typeid(*back), typeid(*object));
        EXPECT_EQ(back->targetContentType(), contentType);
        EXPECT_EQ(back->url()->absoluteString(), object->url()->absoluteString());
        EXPECT_EQ(back->title(), object->title());
        EXPECT_EQ(back->previewImageData(), preview);
    }

    auto common = cast<PalApiCommonContentObject>(roundTrip(
        PalApiCommonContentObject::objectWithLayoutType(2, {"说明"}, {}, preview)));
    ASSERT_TRUE(common);
    EXPECT_EQ(common->textArray(), std::vector<std::string>{"说明"});
    EXPECT_TRUE(common->pictureDataArray().empty());
    EXPECT_EQ(common->layoutType(), 2u);

    auto album = cast<PalApiImageArrayForPalSpaceObject>(roundTrip(
        PalApiImageArrayForPalSpaceObject::objectWithimageDataArray({NSData::fromString("a"), NSData::fromString("b")},
                                                                    "相册", Dictionary{{"k", "v"}}),
        PalApiMessage::kShareToPalSpace));
    ASSERT_TRUE(album);
    EXPECT_EQ(album->imageDataArray().size(), 2u);
    EXPECT_EQ(album->extMap(), Value(Dictionary{{"k", "v"}}));
}

TEST_F(PalPeers, APalSpaceVideoTravelsInItsURLAndNeverSendsPalToAnEarlierRecord) {
    // An earlier share leaves its record on the pasteboard.
    auto picture = PalApiExtendObject::objectWithData<PalApiImageObject>(NSData::fromString(png(12)), std::nullopt,
                                                                         "截图", "");
    ASSERT_EQ(PalApi::sendMessage(PalApiMessage::messageWithObject(picture, PalApiMessage::kShareToChat)), 0);
    auto video = roundTrip(PalApiVideoForPalSpaceObject::objectWithAssetURL("assets-library://asset/1.MOV", "精彩瞬间",
                                                                            Dictionary{{"level", 3}}),
                           PalApiMessage::kShareToPalSpace);
    const Dictionary& share = pal->received().back().message;
    EXPECT_EQ(share["file_type"], Value("palspace"));
    EXPECT_EQ(share["shareType"], Value("1"));
    EXPECT_EQ(share["video_assetURL"], Value("assets-library://asset/1.MOV"));
    EXPECT_EQ(share["extMap"], Value(R"({"level":3})"));
    EXPECT_TRUE(share["objectlocation"].isNil());
    EXPECT_TRUE(share["file_data"].isNil());  // nothing of the picture's record

    auto back = cast<PalApiVideoForPalSpaceObject>(video);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->assetURL(), "assets-library://asset/1.MOV");
    EXPECT_EQ(back->title(), "精彩瞬间");
    EXPECT_EQ(back->extMap(), Value(Dictionary{{"level", 3}}));
}

TEST_F(PalPeers, SpecialDestinationsOpenTheirOwnAddresses) {
    PalApiDatastore::instance()->setOpenId(std::string("OPENID"));
    PalApiDatastore::instance()->setAppId(std::string("1234"));
    // The code; once Pal has the address when it was opened.
    const auto send = [&](const Ref<PalApiObject>& object) {
        const std::size_t before = pal->received().size();
        const auto code = PalApi::sendMessage(PalApiMessage::messageWithObject(object, PalApiMessage::kShareToChat));
        if (code == 0) {
            EXPECT_TRUE(runUntil([&] { return pal->received().size() > before; }));
        }
        return code;
    };
    const auto base64 = [](const Value& value) {
        return PalOpenApiUtility::UTF8StringWithBase64String(value.stringValue()).value_or("(none)");
    };

    ASSERT_EQ(send(PalApiWPAObject::objectWithUin("10001")), 0);
    auto chat = lastOpened();
    EXPECT_EQ(chat->scheme(), "mpalwpa");
    EXPECT_EQ(chat->host(), "im");
    EXPECT_EQ(chat->path(), "/chat");
    EXPECT_EQ(chat->queryItem()["chat_type"], Value("wpa"));
    EXPECT_EQ(chat->queryItem()["uin"], Value("10001"));
    EXPECT_EQ(chat->queryItem()["callback_name"], Value(kHostScheme));
    EXPECT_EQ(base64(chat->queryItem()["thirdAppDisplayName"]), "推广联盟");

    ASSERT_EQ(send(PalApiGroupChatObject::objectWithGroup("20002")), 0);
    EXPECT_EQ(lastOpened()->queryItem()["chat_type"], Value("group"));
    EXPECT_EQ(lastOpened()->queryItem()["uin"], Value("20002"));
    EXPECT_EQ(send(PalApiGroupChatObject::objectWithGroup("")), 5);

    auto friendRequest = PalApiAddFriendObject::objecWithOpenID("FRIEND");
    friendRequest->setRemark("游戏好友");
    ASSERT_EQ(send(friendRequest), 0);
    auto addFriend = lastOpened();
    EXPECT_EQ(addFriend->scheme(), "mpalopensdkfriend");
    EXPECT_EQ(addFriend->path(), "/addfriend");
    EXPECT_EQ(addFriend->queryItem()["addfriend_to_openid"], Value("FRIEND"));
    EXPECT_EQ(base64(addFriend->queryItem()["addfriend_remark"]), "游戏好友");
    EXPECT_EQ(addFriend->queryItem()["openId"], Value("OPENID"));

    ASSERT_EQ(send(PalApiGameConsortiumBindingGroupObject::objectWithGameConsortium("SIG", "UNION", "3", "")), 0);
    auto binding = lastOpened();
    EXPECT_EQ(binding->scheme(), "mpalgamebindinggroup");
    EXPECT_EQ(binding->host(), "game");
    EXPECT_EQ(binding->path(), "/bindinggroup");
    for (auto [key, value] : {std::pair{"signature", "SIG"}, {"unionid", "UNION"}, {"zoneid", "3"},
                              {"openId", "OPENID"}, {"appid", "1234"}})
        EXPECT_EQ(binding->queryItem()[key], Value(value)) << key;
    EXPECT_EQ(base64(binding->queryItem()["displayName"]), "推广联盟");

    ASSERT_EQ(send(PalApiJoinGroupObject::objectWithGroupInfo("30003", "KEY")), 0);
    auto join = lastOpened();
    EXPECT_EQ(join->scheme(), "mpalapi");
    EXPECT_EQ(join->host(), "card");
    EXPECT_EQ(join->path(), "/show_pslcard");
    for (auto [key, value] : {std::pair{"uin", "30003"}, {"key", "KEY"}, {"card_type", "group"}, {"source", "external"}})
        EXPECT_EQ(join->queryItem()[key], Value(value)) << key;

    // Without the chat scheme Pal is too old for a chat.
    pal->uninstall();
    pal->removeScheme("mpalwpa");
    pal->install();
    EXPECT_EQ(send(PalApiWPAObject::objectWithUin("10001")), 2);
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
