#include <gtest/gtest.h>

#include "foundation/NSUserDefaults.h"
#include "kits/ripple/AppCommunicateData.h"
#include "kits/ripple/RPAuthMessages.h"
#include "kits/ripple/RPMediaObjects.h"
#include "kits/ripple/RPShareMessages.h"
#include "tests/kits/ripple/RippleKitFixture.h"

namespace {

Ref<SendMessageToRPReq> webPageShare(int scene) {
    auto page = RPWebpageObject::object();
    page->setWebpageUrl(std::string("http://127.0.0.1/h5/game/3"));
    auto message = RPMediaMessage::message();
    message->setTitle(std::string("星河战记"));
    message->setMediaObject(page);
    auto request = make<SendMessageToRPReq>();
    request->setScene(scene);
    request->setMessage(message);
    return request;
}

}  // namespace

using MessageFormat = RippleKitFixture;

TEST_F(MessageFormat, AWebPageShareIsCommand1010WithTheCommonKeysAndTheObjectsDefaults) {
    auto data = make<AppCommunicateData>();
    ASSERT_TRUE(data->ReqToData(webPageShare(1)));
    const Dictionary& message = *data->propertList();
    EXPECT_EQ(message.keys(), (std::vector<std::string>{"command", "returnFromApp", "result", "sdkver", "title",
                                                        "objectType", "mediaUrl", "withShareTicket",
                                                        "miniprogramType", "scene"}));
    EXPECT_EQ(message["command"], Value("1010"));
    EXPECT_EQ(message["returnFromApp"], Value("0"));
    EXPECT_EQ(message["result"], Value("1"));
    EXPECT_EQ(message["sdkver"], Value("1.8.4"));
    EXPECT_EQ(message["scene"], Value("1"));
    EXPECT_EQ(message["objectType"], Value("5"));
    EXPECT_EQ(message["mediaUrl"], Value("http://127.0.0.1/h5/game/3"));
    EXPECT_EQ(message["withShareTicket"], Value(false));
    EXPECT_EQ(message["miniprogramType"], Value(0));
    EXPECT_TRUE(log.empty());
}

TEST_F(MessageFormat, AnEmptyDescriptionIsWrittenAndReadBackAndANilOneIsLeftOut) {
    auto share = webPageShare(0);
    share->message()->setDescription(std::string(""));
    auto data = make<AppCommunicateData>();
    ASSERT_TRUE(data->ReqToData(share));
    EXPECT_EQ((*data->propertList())["description"], Value(""));
    auto shown = cast<ShowMessageFromRPReq>(AppCommunicateData::initWithPropertList(*data->propertList())->DataToReq());
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->message()->messageDescription(), std::optional<std::string>(""));

    share->message()->setDescription(std::nullopt);
    data = make<AppCommunicateData>();
    ASSERT_TRUE(data->ReqToData(share));
    EXPECT_EQ(data->propertList()->find("description"), nullptr);
    shown = cast<ShowMessageFromRPReq>(AppCommunicateData::initWithPropertList(*data->propertList())->DataToReq());
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->message()->messageDescription(), std::nullopt);
}

TEST_F(MessageFormat, LimitsAreInclusiveAndTheFirstExceededOneIsLogged) {
    auto data = make<AppCommunicateData>();
    auto share = webPageShare(0);
    share->message()->setTitle(std::string(512, 'x'));
    EXPECT_TRUE(data->ReqToData(share));

    // Counted in UTF-16 units: 257 two-unit characters are 514 units.
    std::string wide;
    for (int i = 0; i < 257; ++i) wide += "😀";
    share->message()->setTitle(wide);
    EXPECT_FALSE(data->ReqToData(share));
    EXPECT_EQ(log, (std::vector<std::string>{"rplog:Error:mediaMessage title too large,largest size is 512",
                                             "rplog:Error:gen req fail : param error"}));
    // The failed message still got its scene.
    EXPECT_EQ((*data->propertList())["scene"], Value("0"));

    log.clear();
    auto image = RPImageObject::object();
    image->setImageData(NSData(std::vector<std::uint8_t>(26214400)));
    EXPECT_TRUE(data->MakeLinkObject(image));
    auto file = RPFileObject::object();
    file->setFileData(NSData(std::vector<std::uint8_t>(10485761)));
    EXPECT_FALSE(data->MakeLinkObject(file));
    auto game = RPGameVideoFileObject::object();
    game->setVideoFileData(NSData(std::vector<std::uint8_t>(31457280)));
    EXPECT_TRUE(data->MakeLinkObject(game));
    auto miniProgram = RPMiniProgramObject::object();
    miniProgram->setWebpageUrl(std::string("http://127.0.0.1/"));
    miniProgram->setMiniProgramType(3);
    EXPECT_FALSE(data->MakeLinkObject(miniProgram));
    EXPECT_FALSE(data->MakeLinkObject(RPWebpageObject::object()));
    EXPECT_FALSE(data->MakeLinkObject(RPTextObject::object()));
    EXPECT_EQ(log, (std::vector<std::string>{"rplog:Error:object fileData too large, largest size is 10485760",
                                             "rplog:Error:object lose some param", "rplog:Error: unkow object"}));
}

TEST_F(MessageFormat, AThumbnailMustBeAPicture) {
    auto share = webPageShare(0);
    share->message()->setThumbData(NSData::fromString("not a picture"));
    EXPECT_FALSE(make<AppCommunicateData>()->ReqToData(share));
    EXPECT_EQ(log.front(), "rplog:Error:mediaMessage thumbData can not be translate into  UIImage");
}

TEST_F(MessageFormat, RequestsAndResponsesComeBackFromTheirMessages) {
    // A share answered with language (2010) or without (2020).
    auto withLanguage = AppCommunicateData::initWithPropertList(
        {{"command", "2010"}, {"result", "-2"}, {"language", "zh_CN"}, {"country", "CN"}});
    auto answer = cast<SendMessageToRPResp>(withLanguage->DataToResp());
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->errCode(), -2);
    EXPECT_EQ(answer->lang(), "zh_CN");
    EXPECT_EQ(answer->country(), "CN");
    auto plain = cast<SendMessageToRPResp>(
        AppCommunicateData::initWithPropertList({{"command", Value(2020)}, {"language", "zh_CN"}})->DataToResp());
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->errCode(), 1);
    EXPECT_FALSE(plain->lang());

    // No command: nothing.
    auto empty = AppCommunicateData::initWithPropertList({{"result", "0"}});
    EXPECT_EQ(empty->command(), 0u);
    EXPECT_FALSE(empty->propertList());
    EXPECT_FALSE(empty->DataToReq());
    EXPECT_FALSE(empty->DataToResp());

    // A shown message is made only for the object types the reader knows.
    auto place = AppCommunicateData::initWithPropertList({{"command", "1010"}, {"objectType", "14"}});
    place->setFileData(NSData::fromString("116.3|39.9"));
    auto shown = cast<ShowMessageFromRPReq>(place->DataToReq());
    ASSERT_TRUE(shown);
    auto location = cast<RPLocationObject>(shown->message()->mediaObject());
    ASSERT_TRUE(location);
    EXPECT_DOUBLE_EQ(location->lng(), 116.3);
    EXPECT_DOUBLE_EQ(location->lat(), 39.9);
    place->setFileData(NSData::fromString("116.3"));
    EXPECT_EQ(cast<RPLocationObject>(place->mediaMessage()->mediaObject())->lat(), -1000.0);
    EXPECT_FALSE(AppCommunicateData::initWithPropertList({{"command", "1010"}, {"objectType", "36"}})->DataToReq());
}

TEST_F(MessageFormat, OnlyANonZeroRippleVersionIsKept) {
    auto defaults = NSUserDefaults::standardUserDefaults();
    AppCommunicateData::initWithPropertList({{"command", "2020"}, {"rippleVersion", "0"}});
    EXPECT_EQ(RPApi::tryGetRippleVersion(), 0u);
    AppCommunicateData::initWithPropertList({{"command", "2020"}, {"rippleVersion", "671092016"}});
    EXPECT_EQ(RPApi::tryGetRippleVersion(), 671092016u);
    AppCommunicateData::initWithPropertList({{"command", "2020"}, {"rippleVersion", "0"}});
    EXPECT_EQ(defaults->objectForKey(AppCommunicateData::kRippleVersionDefaultsKey), Value("671092016"));
}

TEST_F(MessageFormat, TheInternalMediaReaderChecksAndShapesMiniPrograms) {
    Dictionary message{{"command", "1010"}, {"objectType", "36"}, {"mediaUrl", "http://127.0.0.1/"},
                       {"appBrandUserName", "gh_1"},  {"appBrandPath", "pages/a?x=1"}, {"miniprogramType", Value(2)}};
    auto internal = AppCommunicateData::initWithPropertList(message)->mediaInternalMessage();
    ASSERT_TRUE(internal);
    EXPECT_EQ(internal->appBrandUserName(), "gh_1@app");
    EXPECT_EQ(internal->appBrandPath(), "pages/a.html?x=1");
    EXPECT_EQ(internal->appBrandMiniProgramType(), 2u);

    message.set("appBrandUserName", "gh@1");
    EXPECT_FALSE(AppCommunicateData::initWithPropertList(message)->mediaInternalMessage());
    EXPECT_EQ(log, (std::vector<std::string>{"rplog:Error:nsAppBrandUserName format is not right"}));

    // Written back, an internal message keeps its keys.
    auto written = make<AppCommunicateData>();
    auto request = make<ShowMessageFromRPReq>();
    request->setLang(std::string("en"));
    ASSERT_TRUE(written->ReqToData(request, internal));
    EXPECT_EQ((*written->propertList())["appBrandPath"], Value("pages/a.html?x=1"));
    EXPECT_EQ((*written->propertList())["language"], Value("en"));
}

TEST_F(MessageFormat, AuthorisationMessagesCheckScopeAndState) {
    auto request = make<SendAuthReq>();
    auto data = make<AppCommunicateData>();
    EXPECT_FALSE(data->ReqToData(request));
    request->setScope(std::string("snsapi_userinfo"));
    request->setState(std::string(1025, 's'));
    EXPECT_FALSE(data->ReqToData(request));
    request->setState(std::string("xyz"));
    ASSERT_TRUE(data->ReqToData(request));
    EXPECT_EQ(log, (std::vector<std::string>{"rplog:Error:scope is nil or too large",
                                             "rplog:Error:gen req fail : param error",
                                             "rplog:Error:auth state is nil or too large",
                                             "rplog:Error:gen req fail : param error"}));
    auto read = AppCommunicateData::initWithPropertList(*data->propertList());
    ASSERT_TRUE(read->authRequest());
    EXPECT_EQ(read->authRequest()->scope(), "snsapi_userinfo");
    EXPECT_EQ(read->authResp()->state(), "xyz");

    log.clear();
    EXPECT_FALSE(data->RespToData(make<BaseResp>()));
    EXPECT_EQ(log, (std::vector<std::string>{"rplog:Error:un know resp", "rplog:Error:gen resp fail"}));
}
