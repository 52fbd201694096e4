// The share layer's dispatcher and URL conversion: what a share becomes on
// its way to the Pal apps, and every refusal with its code.
#include <gtest/gtest.h>

#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/pal/PalApi/PalApi.h"
#include "kits/pal/PalApi/PalApiCommonContentObject.h"
#include "kits/pal/PalApi/PalApiDatastore.h"
#include "kits/pal/PalApi/PalApiExtendObject.h"
#include "kits/pal/PalApi/PalApiInterface/PalApiInterface.h"
#include "kits/pal/PalApi/PalApiInterface/PalWebViewKit.h"
#include "kits/pal/PalApi/PalApiMessageAndUrlConverter.h"
#include "kits/pal/PalApi/PalApiNewsObject.h"
#include "kits/pal/PalApi/PalApiPalSpaceObjects.h"
#include "kits/pal/PalApi/PalApiSpecialObjects.h"
#include "kits/pal/PalApi/PalOpenApiUtility.h"
#include "tests/support/PalHostFixture.h"
#include "uikit/UIPasteboard.h"

namespace {

constexpr const char* kPalSchemes[] = {"mpal", "mpalapi", "mpalopensdkapiV2", "mpalopensdkapiV4", "mpalapiwallet"};

class PalShare : public PalHostFixture {
protected:
    ~PalShare() override {
        UIApplication::removeAllSimulatedApps();
        NimbusConnectHosts::setHost("");
    }

    static void install(const char* scheme) { UIApplication::installSimulatedApp(scheme, [](const Ref<NSURL>&) {}); }
    static void installPal() {
        for (const char* scheme : kPalSchemes) install(scheme);
    }
    static void registerHost() {
        PalApi::registerPluginWithId("Pal000004D2");
        PalApi::registerPalConnectAppId(std::string("1234"));
    }
    static Ref<PalApiNewsObject> news() {
        return PalApiNewsObject::objectWithURL(NSURL::URLWithString("http://127.0.0.1/h5/game/3?uid=1"), "星河战记",
                                               "星河战记1", NSURL::URLWithString("http://127.0.0.1/static/icon/3.png"));
    }
    static std::int32_t send(const Ref<PalApiObject>& object, std::uint64_t type = PalApiMessage::kShareToChat) {
        return PalApi::sendMessage(PalApiMessage::messageWithObject(object, type));
    }
    // The last URL the app opened, its pairs unescaped.
    static Ref<PalApiURLDecoder> lastOpened() {
        const auto& opened = UIApplication::sharedApplication()->openedURLs();
        if (opened.empty()) return nullptr;
        auto decoder = PalApiURLDecoder::decoderWithUrl(NSURL::URLWithString(opened.back()));
        for (auto& [name, value] : decoder->queryItem())
            value = NSString::stringByRemovingPercentEncoding(*value.text()).value_or("");
        return decoder;
    }
    static std::string decoded(const Ref<PalApiURLDecoder>& url, const char* key) {
        return PalOpenApiUtility::UTF8StringWithBase64String(url->queryItem()[key].stringValue()).value_or("(none)");
    }
};

}  // namespace

TEST_F(PalShare, ObjectsComeFromTheirFactoriesWithTheirKinds) {
    auto object = news();
    EXPECT_EQ(object->targetContentType(), 3);
    EXPECT_EQ(object->url()->absoluteString(), "http://127.0.0.1/h5/game/3?uid=1");
    EXPECT_EQ(object->previewImageURL()->absoluteString(), "http://127.0.0.1/static/icon/3.png");
    EXPECT_FALSE(object->previewImageData());
    EXPECT_EQ(PalApiAudioObject::objectWithURL(nullptr, "", "", std::optional<NSData>())->targetContentType(), 1);
    EXPECT_EQ(PalApiJoinGroupObject::objectWithGroupKey("k")->groupUin(), "");

    auto request = SendMessageToPalReq::reqWithContent(object);
    EXPECT_EQ(request->type(), 1);
    EXPECT_EQ(request->message(), object);

    EXPECT_FALSE(PalApiCommonContentObject::objectWithDictionary({{"layoutType", 1}}));
    auto pictures = PalApiCommonContentObject::objectWithDictionary({{"pictureArray", Array{NSData::fromString("p")}}});
    ASSERT_TRUE(pictures);
    EXPECT_TRUE(pictures->textArray().empty());
    EXPECT_FALSE(PalApiCommonContentObject::objectWithDictionary({{"textArray", Array{1}}}));
    // Empty lists are left out of the dictionary form, which then reads back
    // as no object.
    const Dictionary empty = PalApiCommonContentObject::objectWithLayoutType(1, {}, {}, std::nullopt)->toDictionary();
    EXPECT_FALSE(empty.contains("textArray"));
    EXPECT_FALSE(empty.contains("pictureArray"));
    EXPECT_FALSE(PalApiCommonContentObject::objectWithDictionary(empty));
}

TEST_F(PalShare, TheFacadeRefusesMissingForeignAndNonShareRequests) {
    NSLogCapture log;
    EXPECT_EQ(PalApiInterface::sendReq(nullptr), -1);
    EXPECT_TRUE(log.contains("PalAliInterface.m: req is nil at sendReq"));

    auto notAShare = SendMessageToPalReq::reqWithContent(news());
    notAShare->setType(2);
    log.clear();
    EXPECT_EQ(PalApiInterface::sendReq(notAShare), -1);
    EXPECT_FALSE(log.contains("PalAliInterface.m"));

    auto foreign = make<PalBaseReq>();
    foreign->setType(1);
    EXPECT_EQ(PalApiInterface::sendReq(foreign), -1);
    EXPECT_TRUE(log.contains("req is not member of class SendMessageToPalReq at sendMessageToPalWithReq"));
    EXPECT_EQ(PalApiInterface::sendResp(SendMessageToPalResp::respWithResult("0", "", "")), -1);
}

TEST_F(PalShare, TheDispatcherRefusesWithItsCodesInItsOrder) {
    // Without Pal the share turns to PalWork, whose probes always pass; no
    // scheme is registered yet.
    auto object = news();
    EXPECT_EQ(send(object), 6);
    EXPECT_EQ(object->shareDestType(), 1);
    install("mpal");
    EXPECT_EQ(send(news()), 1);  // Pal without its share interface
    installPal();
    EXPECT_EQ(send(news()), 6);
    registerHost();

    auto text = PalApiTextObject::objectWithText("你好");
    EXPECT_EQ(send(text, 1), 3);
    EXPECT_EQ(send(text, 3), 3);
    EXPECT_EQ(send(nullptr), 4);
    EXPECT_EQ(PalApi::sendMessage(nullptr), 3);  // no message has no type
    EXPECT_EQ(send(text, PalApiMessage::kShareToPalSpace), 10000);
    EXPECT_EQ(send(PalApiExtendObject::objectWithData<PalApiImageObject>(NSData::fromString("x"), std::nullopt, "", ""),
                   PalApiMessage::kShareToPalSpace),
              10001);
    EXPECT_EQ(send(PalApiExtendObject::objectWithData<PalApiFileObject>(NSData::fromString("x"), std::nullopt, "", ""),
                   PalApiMessage::kShareToPalSpace),
              2);
    EXPECT_EQ(send(PalApiVideoForPalSpaceObject::objectWithAssetURL("assets-library://v/1", "t", Value()),
                   PalApiMessage::kShareToPalSpace),
              0);
    EXPECT_EQ(send(make<PalApiResultObject>()), 5);  // not a shareable kind

    // Answers to Pal's requests go out like shares; the answer to a get
    // request says so.
    EXPECT_EQ(send(text, PalApiMessage::kShowAnswer), 0);
    EXPECT_EQ(send(text, PalApiMessage::kGetAnswer), 0);
    EXPECT_EQ(lastOpened()->queryItem()["messagetype"], Value("responsefromapp"));
    // A group tribe needs its scheme, then a title of 4 to 25 and a
    // description of 10 to 700 characters.
    auto tribe = PalApiTextObject::objectWithText("部落");
    tribe->setTitle("部落分享");
    tribe->setDescription("一段足够长的部落分享说明");
    EXPECT_EQ(send(tribe, PalApiMessage::kShareToGroupTribe), 2);
    install("mpalopensdkgrouptribeshare");
    EXPECT_EQ(send(tribe, PalApiMessage::kShareToGroupTribe), 0);
    EXPECT_EQ(lastOpened()->queryItem()["shareType"], Value("2"));
    tribe->setTitle("部落");
    EXPECT_EQ(send(tribe, PalApiMessage::kShareToGroupTribe), 5);

    // Data-line content needs the data line.
    auto dataLine = PalApiTextObject::objectWithText("传文件");
    dataLine->setCflag(16);
    EXPECT_EQ(send(dataLine), 8);
}

TEST_F(PalShare, LinkLimitsAreCountedInUTF16Units) {
    installPal();
    registerHost();
    auto link = [](std::string title, std::string address) {
        return PalApiURLObject::objectWithURL(NSURL::URLWithString(address), std::move(title), "说明",
                                              std::optional<NSData>(NSData::fromString("png")), 0);
    };
    std::string title128;
    for (int i = 0; i < 64; ++i) title128 += "𝄞";  // two UTF-16 units each
    EXPECT_EQ(send(link(title128, "http://127.0.0.1/a")), 0);
    EXPECT_EQ(send(link(title128 + "x", "http://127.0.0.1/a")), 5);

    const std::string base = "http://127.0.0.1/";
    EXPECT_EQ(send(link("t", base + std::string(1024 - base.size(), 'a'))), 0);
    EXPECT_EQ(send(link("t", base + std::string(1025 - base.size(), 'a'))), 5);
    EXPECT_EQ(send(link("", base)), 5);

    auto preview = link("t", base);
    preview->setPreviewImageData(NSData(std::vector<std::uint8_t>(1048576, 1)));
    EXPECT_EQ(send(preview), 0);
    preview->setPreviewImageData(NSData(std::vector<std::uint8_t>(1048577, 1)));
    EXPECT_EQ(send(preview), 5);

    std::string text(1536, 'a');
    EXPECT_EQ(send(PalApiTextObject::objectWithText(text)), 0);
    EXPECT_EQ(send(PalApiTextObject::objectWithText(text + "a")), 5);
}

TEST_F(PalShare, ANewsShareCarriesItsFieldsInTheURLAndItsPreviewOnThePasteboard) {
    installPal();
    registerHost();
    UIPasteboard::generalPasteboard()->setString(std::string("剪贴板"));
    auto object = PalApiNewsObject::objectWithURL(NSURL::URLWithString("http://127.0.0.1/h5/game/3?uid=1&x=2"),
                                                  "星河战记", "好玩", std::optional<NSData>(NSData::fromString("png!")));
    object->setPreviewImageURL(NSURL::URLWithString("http://127.0.0.1/static/icon/3.png"));
    EXPECT_EQ(send(object), 0);

    auto url = lastOpened();
    ASSERT_TRUE(url);
    EXPECT_EQ(url->scheme(), "mpalapi");
    EXPECT_EQ(url->host(), "share");
    EXPECT_EQ(url->path(), "/to_fri");
    const Dictionary& items = url->queryItem();
    for (auto [key, value] : std::vector<std::pair<const char*, const char*>>{{"src_type", "app"},
                                                                              {"version", "1"},
                                                                              {"file_type", "news"},
                                                                              {"callback_type", "scheme"},
                                                                              {"callback_name", "Pal000004D2"},
                                                                              {"objectlocation", "pasteboard"},
                                                                              {"shareType", "0"},
                                                                              {"generalpastboard", "1"},
                                                                              {"cflag", "0"},
                                                                              {"sdkv", "3.2.1"}})
        EXPECT_EQ(items[key], Value(value)) << key;
    EXPECT_EQ(decoded(url, "url"), "http://127.0.0.1/h5/game/3?uid=1&x=2");
    EXPECT_EQ(decoded(url, "title"), "星河战记");
    EXPECT_EQ(decoded(url, "description"), "好玩");
    EXPECT_EQ(decoded(url, "thirdAppDisplayName"), "推广联盟");
    EXPECT_EQ(decoded(url, "previewimageUrl"), "http://127.0.0.1/static/icon/3.png");

    // Pal reads the general pasteboard (it answers the V2 probe).
    Value record = PalApiDatastore::instance()->getApiLargeDataByGeneralPastboard();
    EXPECT_EQ(record["previewimagedata"], Value(NSData::fromString("png!")));
    EXPECT_EQ(record["pasted_string"], Value("剪贴板"));
}

TEST_F(PalShare, AnEmptyTitleDescriptionOrAppNameIsSentEmptyAndAMissingOneIsLeftOut) {
    installPal();
    registerHost();
    PalApiDatastore::instance()->setAppName(std::string());
    auto link = PalApiNewsObject::objectWithURL(NSURL::URLWithString("http://127.0.0.1/h5/game/3"), "星河战记", "",
                                                std::optional<NSData>());
    ASSERT_EQ(send(link), 0);
    const Dictionary sent = lastOpened()->queryItem();
    EXPECT_EQ(sent["description"], Value(""));
    EXPECT_EQ(sent["thirdAppDisplayName"], Value(""));

    PalApiDatastore::instance()->setAppName(std::nullopt);
    auto text = PalApiTextObject::objectWithText("文字");
    ASSERT_EQ(send(text), 0);
    const Dictionary bare = lastOpened()->queryItem();
    for (const char* key : {"title", "description", "thirdAppDisplayName"}) EXPECT_FALSE(bare.contains(key)) << key;
}

TEST_F(PalShare, WithoutPalTheShareGoesToPalWorkAndWithNeitherItIsNotOpened) {
    auto object = PalApiTextObject::objectWithText("文字");
    registerHost();
    EXPECT_EQ(send(object), -1);
    install("tim");
    install("timapi");
    EXPECT_EQ(send(object), 0);
    EXPECT_EQ(object->shareDestType(), 1);
    auto url = lastOpened();
    EXPECT_EQ(url->scheme(), "timapi");
    EXPECT_EQ(decoded(url, "file_data"), "文字");
    EXPECT_FALSE(url->queryItem().contains("generalpastboard"));
    EXPECT_FALSE(url->queryItem().contains("objectlocation"));
}

TEST_F(PalShare, ContentKindsBecomeTheirFileTypes) {
    installPal();
    registerHost();
    auto link = PalApiURLObject::objectWithURL(NSURL::URLWithString("http://127.0.0.1/v"), "视频", "",
                                               std::optional<NSData>(), 7);
    EXPECT_EQ(send(link), 0);
    EXPECT_EQ(lastOpened()->queryItem()["file_type"], Value("unknown"));

    auto file = PalApiExtendObject::objectWithData<PalApiFileObject>(NSData::fromString("doc"), std::nullopt, "文件", "");
    EXPECT_EQ(send(file), 0);
    EXPECT_EQ(lastOpened()->queryItem()["file_type"], Value("localFile"));
    EXPECT_EQ(lastOpened()->queryItem()["fileName"], Value(""));
    EXPECT_FALSE(PalApiDatastore::instance()->getApiLargeDataByGeneralPastboard().dictionary()->contains("image_data_list"));

    std::vector<NSData> images(25, NSData::fromString("img"));
    auto album = PalApiImageArrayForPalSpaceObject::objectWithimageDataArray(images, "相册", Dictionary{{"k", "v"}});
    EXPECT_EQ(send(album, PalApiMessage::kShareToPalSpace), 0);
    EXPECT_EQ(album->imageDataArray().size(), 20u);
    EXPECT_EQ(lastOpened()->queryItem()["shareType"], Value("1"));
    EXPECT_EQ(decoded(lastOpened(), "extMap"), R"({"k":"v"})");
    const Value record = PalApiDatastore::instance()->getApiLargeDataByGeneralPastboard();
    EXPECT_EQ(record["image_data_list"].count(), 20u);

    auto pay = PalApiPayObject::objectWithOrderNo("NO1", "info");
    EXPECT_EQ(send(pay), 0);
    EXPECT_EQ(lastOpened()->scheme(), "mpalapiwallet");
    EXPECT_EQ(lastOpened()->path(), "/pay");
    EXPECT_EQ(send(PalApiPayObject::objectWithOrderNo("", "info")), 5);
    EXPECT_EQ(send(PalApiAddFriendObject::objecWithOpenID("friend")), 2);  // Pal lacks the friend scheme here
}

TEST_F(PalShare, GroupCardsAreOpenedWithOrWithoutTheNumber) {
    install("mpalapi");
    EXPECT_TRUE(PalApi::joinGroup("", "KEY"));
    EXPECT_EQ(UIApplication::sharedApplication()->openedURLs().back(),
              "mpalapi://card/show_pslcard?src_type=internal&version=1&key=KEY&card_type=group&source=external"
              "&sdkv=3.2.1");
    EXPECT_TRUE(PalApi::joinGroup("123", "KEY"));
    EXPECT_NE(UIApplication::sharedApplication()->openedURLs().back().find("uin=123&key=KEY"), std::string::npos);
}

TEST_F(PalShare, TheSpecialPathsAnswerAMessageWithoutAnObjectInTheirOrder) {
    // No object names no destination: Pal's probes decide first, then the
    // missing URL answers 5.
    auto empty = PalApiMessage::messageWithObject(nullptr, PalApiMessage::kShareToChat);
    EXPECT_EQ(PalApi::sendMessageWpaAndGroupChat(empty), 2);
    EXPECT_EQ(PalApi::sendMessageGameConsortiumBindingGroup(empty), 1);
    EXPECT_EQ(PalApi::sendMessageJoinGroup(empty), 5);
    install("mpal");
    EXPECT_EQ(PalApi::sendMessageGameConsortiumBindingGroup(empty), 2);
    install("mpalwpa");
    install("mpalgamebindinggroup");
    EXPECT_EQ(PalApi::sendMessageWpaAndGroupChat(empty), 5);
    EXPECT_EQ(PalApi::sendMessageGameConsortiumBindingGroup(empty), 5);
    EXPECT_EQ(PalApi::sendMessageWpaAndGroupChat(nullptr), 5);
}

TEST_F(PalShare, ReturnedURLsBecomeMessages) {
    auto decoder = PalApiURLDecoder::decoderWithUrl(NSURL::URLWithString("x://h/p?a=&b&c=1=2&a=3"));
    EXPECT_EQ(decoder->queryItem()["a"], Value("3"));
    EXPECT_EQ(decoder->queryItem()["c"], Value("1=2"));
    EXPECT_FALSE(decoder->queryItem().contains("b"));
    EXPECT_EQ(PalApiURLDecoder::decoderWithUrl(NSURL::URLWithString("x://h/p?a="))->queryItem()["a"], Value(""));

    auto answer = PalApi::handleOpenURL(NSURL::URLWithString("Pal000004D2://response_from_pal?error=0"));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->type(), 6u);
    auto result = cast<PalApiResultObject>(answer->object());
    ASSERT_TRUE(result);
    EXPECT_EQ(result->error(), "0");
    EXPECT_EQ(result->errorDescription(), "");

    auto pick = PalApi::handleOpenURL(NSURL::URLWithString("Pal000004D2://request_from_pal/pick?x=1"));
    ASSERT_TRUE(pick);
    EXPECT_EQ(pick->type(), 3u);
    EXPECT_FALSE(pick->object());
    EXPECT_FALSE(PalApi::handleOpenURL(NSURL::URLWithString("Pal000004D2://response_from_pal")));
    EXPECT_FALSE(PalApi::handleOpenURL(NSURL::URLWithString("Pal000004D2://elsewhere?error=0")));

    auto view = PalApi::handleOpenURL(NSURL::URLWithString(
        "Pal000004D2://request_from_pal/view?file_type=text&file_data=" +
        *PalOpenApiUtility::base64EncodedStringWithUTF8String(std::string("看看"))));
    ASSERT_TRUE(view);
    EXPECT_EQ(view->type(), 1u);
    EXPECT_EQ(cast<PalApiTextObject>(view->object())->text(), "看看");
}

TEST_F(PalShare, TheFacadeHandsPalsAnswerToTheDelegate) {
    struct Delegate : PalApiInterfaceDelegate {
        void onResp(const Ref<PalBaseResp>& response) override { responses.push_back(response); }
        void onReq(const Ref<PalBaseReq>& request) override { requests.push_back(request); }
        std::vector<Ref<PalBaseResp>> responses;
        std::vector<Ref<PalBaseReq>> requests;
    };
    auto delegate = std::make_shared<Delegate>();
    installPal();
    registerHost();
    // An answer counts only while a share is out, and ends it: whether a
    // share went before it, whether it is told.
    const std::pair<bool, bool> rows[] = {{false, false}, {true, true}, {false, false}, {true, true}, {false, false}};
    for (const auto& [shared, told] : rows) {
        const std::size_t before = delegate->responses.size();
        if (shared) ASSERT_EQ(send(PalApiTextObject::objectWithText("你好")), 0);
        EXPECT_TRUE(PalApiInterface::handleOpenURL(NSURL::URLWithString("Pal000004D2://response_from_pal?error=0"),
                                                   delegate));
        EXPECT_EQ(delegate->responses.size(), before + told) << shared;
    }
    delegate->responses.clear();
    ASSERT_EQ(send(PalApiTextObject::objectWithText("你好")), 0);
    const std::string description = *PalOpenApiUtility::base64EncodedStringWithUTF8String(std::string("已取消"));
    EXPECT_TRUE(PalApiInterface::handleOpenURL(
        NSURL::URLWithString("Pal000004D2://response_from_pal?error=-4&error_description=" + description), delegate));
    ASSERT_EQ(delegate->responses.size(), 1u);
    EXPECT_EQ(delegate->responses[0]->type(), 2);
    EXPECT_EQ(delegate->responses[0]->result(), "-4");
    EXPECT_EQ(delegate->responses[0]->errorDescription(), "已取消");

    EXPECT_TRUE(PalApiInterface::handleOpenURL(NSURL::URLWithString("Pal000004D2://request_from_pal/pick?a=1"), delegate));
    ASSERT_EQ(delegate->requests.size(), 1u);
    EXPECT_EQ(delegate->requests[0]->type(), 0);
    EXPECT_FALSE(PalApiInterface::handleOpenURL(NSURL::URLWithString("Pal000004D2://other?a=1"), delegate));
}

TEST_F(PalShare, AShareFinishedInTheBrowserComesBackAsPalsAnswer) {
    NimbusConnectHosts::setHost("127.0.0.1:9");
    PalApi::registerPalConnectAppId(std::string("1234"));
    const std::string base = "nimbus1234://127.0.0.1:9/share?#";
    auto answer = [&](const std::string& parameters) {
        return PalApiMessageAndUrlConverter::messageWithUrl(NSURL::URLWithString(base + parameters));
    };
    EXPECT_FALSE(answer("action=login&result=complete"));
    auto cancelled = answer("action=share&result=cancel");
    ASSERT_TRUE(cancelled);
    EXPECT_EQ(cancelled->type(), 6u);
    EXPECT_EQ(cast<PalApiResultObject>(cancelled->object())->error(), "-4");
    auto complete = answer("action=shareToPal&result=complete&response=%7B%22ret%22%3A0%2C%22msg%22%3A%22ok%22%7D");
    ASSERT_TRUE(complete);
    EXPECT_EQ(cast<PalApiResultObject>(complete->object())->error(), "0");
    EXPECT_EQ(cast<PalApiResultObject>(complete->object())->errorDescription(), "ok");
    EXPECT_EQ(cast<PalApiResultObject>(answer("action=share&result=odd")->object())->error(), "-5");
    // Another app's identifier is not this app's answer.
    EXPECT_FALSE(PalWebViewKit::canHanleOpenUrlFromSafari(NSURL::URLWithString("nimbus999://127.0.0.1:9/?#action=share")));
}
