#include <gtest/gtest.h>

#include <fstream>

#include "foundation/NSFileManager.h"
#include "foundation/NSPathUtilities.h"
#include "graphics/CGImage.h"
#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/APIBase.h"
#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/NBAPIRequest.h"
#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/NBParameterDictionaries.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusRequest.h"
#include "kits/pal/NimbusOpenApi_IOS/NBOpenSDKErrorUtil.h"
#include "kits/pal/NimbusOpenApi_IOS/NXAppidConvert.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "kits/pal/PalApi/PalApiLog.h"
#include "kits/pal/PalApi/PalOpenApiUtility.h"
#include "tests/support/TempSandbox.h"

namespace {

using Strings = PalApiNSStringURLArgumentsAdditions;

TEST(PalAppIdConversion, KnownRowsAndRefusedIdentifiers) {
    auto converter = make<NXAppidConvert>();
    const std::pair<const char*, const char*> rows[] = {
        {"1234", "Pal000004D2"}, {"201293", "Pal17E59D9F"}, {"100393033", "Pal8990AC34"},
        {"214506", "Pal4B3AFA9F"}, {"", "Pal00000000"},
        // Only the table's known rows are built: an older identifier whose
        // row is not known converts as any other.
        {"100393034", "Pal05FBE04A"}};
    for (auto [decimal, pal] : rows) {
        ASSERT_TRUE(converter->InitWithAppId(std::string(decimal))) << decimal;
        EXPECT_EQ(converter->GetMPalAppId(), pal);
        EXPECT_EQ(converter->GetConnectionAppId(), std::string(*decimal ? decimal : "0"));
    }
    for (std::optional<std::string> refused : {std::optional<std::string>("12345678901"), std::optional<std::string>("12a4"),
                                               std::optional<std::string>()}) {
        EXPECT_FALSE(converter->InitWithAppId(refused));
        EXPECT_FALSE(converter->GetConnectionAppId());
        EXPECT_FALSE(make<NXAppidConvert>()->GetMPalAppId());  // one converter for every instance
    }
}

TEST(PalErrors, CodesServerCodesAndURLErrorsMapToTheSDKCodes) {
    for (int unknown : {-1, 14})
        EXPECT_EQ(Value(NBOpenSDKErrorUtil::openSDKErrorWithCode(unknown, Value())),
                  Value(Dictionary{{"ret", 1}, {"msg", "未知错误"}}));
    EXPECT_EQ(NBOpenSDKErrorUtil::openSDKErrorWithCode(5, "x")[NBOpenSDKErrorUtil::kExtraInfoKey], Value("x"));
    const std::pair<long, int> server[] = {{100014, 3}, {100031, 4}, {100032, 8}, {0, 0}, {99999, 8}, {100030, 3}};
    for (auto [code, sdk] : server)
        EXPECT_EQ(NBOpenSDKErrorUtil::openSDKErrorWithCommonServerCode(code, Value())["ret"], Value(sdk)) << code;
    const std::pair<long, int> url[] = {{-1001, 9}, {-999, 1}, {-1009, 5}, {-1022, 1}, {-1202, 10}, {-3003, 11}};
    for (auto [code, sdk] : url) EXPECT_EQ(NBOpenSDKErrorUtil::filterURLErrorCode(code), sdk) << code;

    auto response = make<APIResponse>();
    response->setJsonResponse(Dictionary{{"ret", 100030}});
    NBOpenSDKErrorUtil::apiResponseConvert(response);
    EXPECT_EQ(response->detailRetCode(), 3);
    EXPECT_EQ(response->errorMsg(), "请重新登录");
    response->setJsonResponse(Dictionary{{"ret", "100031"}});
    NBOpenSDKErrorUtil::apiResponseConvert(response);
    EXPECT_EQ(response->detailRetCode(), 3);
    response->setJsonResponse(Dictionary{{"ret", -0.9}});  // not whole: a failure, not the 0 it truncates to
    NBOpenSDKErrorUtil::apiResponseConvert(response);
    EXPECT_EQ(response->detailRetCode(), 8);
    EXPECT_FALSE(NBOpenSDKErrorUtil::apiResponse(Array{}));
}

TEST(PalTools, QueriesDigestsAndTokenDecoding) {
    EXPECT_EQ(TcApiTool::GetURLWithParam(std::string("file:///a/local.html"), {{"x", "a b&c"}}),
              "file:///a/local.html?x=a%20b%26c");
    EXPECT_FALSE(TcApiTool::GetURLWithParam(std::nullopt, {}));
    EXPECT_EQ(TcApiTool::md5(std::string()), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(TcApiTool::NSString16toNSNumber("7f"), 127);
    EXPECT_EQ(TcApiTool::NSString16toNSNumber("7F"), 127);
    EXPECT_EQ(TcApiTool::NSString16toNSNumber("7"), 0);
    EXPECT_EQ(TcApiTool::decodeAccessToken(std::string("0001"), "a"), "a`");
    EXPECT_FALSE(TcApiTool::decodeAccessToken(std::string("000"), "a"));
    EXPECT_FALSE(TcApiTool::decodeAccessToken(std::string("00"), ""));
    for (int i = 0; i < 200; ++i) {
        const std::string key = TcApiTool::random16Str();
        EXPECT_TRUE(key.size() >= 2 && key.size() <= 16 && key.size() % 2 == 0) << key;
    }
    const Dictionary info = TcApiTool::SDKInfo();
    EXPECT_EQ(info["sdkv"], Value("3.2.1"));
    EXPECT_EQ(info["sdkp"], Value("i"));
    EXPECT_FALSE(info["status_machine"].text()->empty());

    EXPECT_EQ(Value(Strings::dictionaryByParseUrlFromSeparator("x?a=1&b=&=3&c=x%20y&d=1=2", "?")),
              Value(Dictionary{{"a", "1"}, {"b", ""}, {"c", "x y"}}));
    EXPECT_EQ(Strings::stringByEncodeUrl("a%20b/c"), "a%20b%2Fc");
    EXPECT_EQ(Strings::URLEncodedString("a@b c"), "a%40b%20c");
    EXPECT_EQ(Strings::trim(" \n x \t"), "x");
}

TEST(PalBase64, MatchesTheStandardAndSkipsForeignCharacters) {
    const std::pair<const char*, const char*> vectors[] = {{"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}};
    for (auto [plain, encoded] : vectors) {
        EXPECT_EQ(PalOpenApiUtility::base64EncodedStringWithUTF8String(std::string(plain)), encoded);
        EXPECT_EQ(PalOpenApiUtility::UTF8StringWithBase64String(std::string(encoded)), plain);
    }
    EXPECT_EQ(PalOpenApiUtility::UTF8StringWithBase64String(std::string("Zm9v\nYg ==")), "foob");
    EXPECT_FALSE(PalOpenApiUtility::dataWithBase64EncodedString(std::string("Zm9")));
    EXPECT_FALSE(PalOpenApiUtility::dataWithBase64EncodedString(std::string("")));
    EXPECT_FALSE(PalOpenApiUtility::UTF8StringWithBase64String(std::string("/w==")));  // 0xFF is not UTF-8

    EXPECT_EQ(Value(PalOpenApiUtility::dictionaryWithReturnString("0000000011" "0;0000000022" "1;", {"11", "22"})),
              Value(Dictionary{{"11", "NO"}, {"22", "YES"}}));
    EXPECT_EQ(PalOpenApiUtility::dictionaryWithReturnString("no pieces", {"11"}).count(), 0u);
}

TEST(PalRequests, AddressesBodiesAndAnswers) {
    EXPECT_EQ(NimbusRequest::serializeURL("https://h/p", {{"a", "x y"}, {"b", "1"}}), "https://h/p?a=x%20y&b=1");
    EXPECT_EQ(NimbusRequest::serializeURL("https://h/p?q=1", {}), "https://h/p?q=1&");
    EXPECT_EQ(NimbusRequest::serializeURL("https://h/p", {{"v", "&="}, {"f", NSData::fromString("x")}}),
              "https://h/p?v=%26%3D");

    auto post = NimbusRequest::getRequestWithParams(
        {{"title", "t"}, {"pic", NSData::fromString("JPEG")}, {"filename", "me.png"}}, "POST", nullptr, "https://h/p");
    const std::string body = post->generatePostBody().toString();
    const std::string boundary = NimbusRequest::kBoundary;
    EXPECT_EQ(body, "--" + boundary + "\r\nContent-Disposition: form-data; name=\"title\"\r\n\r\nt\r\n--" + boundary +
                        "\r\nContent-Disposition: form-data; name=\"pic\"; filename=\"me.png\"\r\n"
                        "Content-Type: image/jpeg\r\n\r\nJPEG\r\n--" + boundary + "--\r\n");
    EXPECT_EQ(NimbusRequest::getRequestWithParams({{"a", "1"}, {"b", "x y"}}, "POST", nullptr, "u")
                  ->generateOtherPostBody()
                  .toString(),
              "a=1&b=x%20y");

    Ref<NSError> error;
    EXPECT_EQ(NimbusRequest::parseJsonResponse(NSData::fromString("true"), &error), Value(Dictionary{{"result", "true"}}));
    EXPECT_TRUE(NimbusRequest::parseJsonResponse(NSData::fromString(R"({"error_code": 3})"), &error).isNil());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), 3);
    EXPECT_EQ(error->domain(), NimbusRequest::kErrorDomain);
    error = nullptr;
    EXPECT_FALSE(NimbusRequest::parseJsonResponse(NSData::fromString(R"({"error_msg": "no"})"), &error).isNil());
    EXPECT_EQ(error->code(), NimbusRequest::kErrorCode);
}

class Callback : public NSObject, public NBAPIRequestDelegate {
public:
    void cgiRequestDidResponse(const Ref<NBAPIRequest>&, const Ref<APIResponse>&) override { ++calls; }
    int calls = 0;
};

TEST(PalRequests, CallsAndRequestObjectsKeepTheirRules) {
    auto base = make<APIBase>(nullptr, nullptr, "GET");
    EXPECT_EQ(make<APIBase>(nullptr, nullptr, "GET")->seq(), base->seq() + 1);
    base->setNeedTriedCounts(5);
    EXPECT_EQ(base->needTriedCounts(), 3);
    EXPECT_EQ(APIBase::parsePermissionFromURL("https://h/user/get_user_info"), "get_user_info");
    EXPECT_EQ(APIBase::parsePermissionFromURL("https://h/user/get_user_info/"), "get_user_info");
    EXPECT_FALSE(APIBase::parsePermissionFromURL("/"));

    auto callback = make<Callback>();
    auto answered = make<NBAPIRequest>();
    answered->setCallback(callback);
    EXPECT_TRUE(answered->tryLoad());
    EXPECT_FALSE(answered->tryLoad());
    auto first = make<APIResponse>();
    first->setJsonResponse(Dictionary{{"n", 1}});
    answered->apiBaseDidResponse(base, first);
    answered->cancel();
    auto second = make<APIResponse>();
    second->setJsonResponse(Dictionary{{"n", 2}});
    answered->apiBaseDidResponse(base, second);
    EXPECT_EQ(callback->calls, 1);
    EXPECT_EQ(answered->state(), NBAPIRequest::Answered);
    EXPECT_EQ(answered->response()->jsonResponse()["jsonResponse"], Value(Dictionary{{"n", 1}}));

    auto cancelled = make<NBAPIRequest>();
    cancelled->setCallback(callback);
    cancelled->tryLoad();
    cancelled->cancel();
    cancelled->apiBaseDidResponse(base, first);
    EXPECT_EQ(callback->calls, 1);
    EXPECT_EQ(cancelled->response(), first);
}

TEST(PalApiLog, WritesStampedLinesToTheCachesFileAndTrimsIt) {
    TempSandbox sandbox;
    const std::string path = NSSearchPathForDirectoriesInDomains(NSCachesDirectory, NSUserDomainMask, true)[0] + "/PalApi.log";
    {
        std::ofstream big(path);
        big << std::string(1'475'712, 'a') << std::string(524'288, 'z');
    }
    PalApiLog("a/b/ConfigManager.m", 113, "%s", "x");
    PalApiLog("dir/", 7, "plain %d", 5);
    PalApiLog((std::string(100, 'n') + ".m").c_str(), 1, "long");
    std::ifstream file(path);
    const std::string log((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(log.substr(0, 524'288), std::string(524'288, 'z'));
    EXPECT_NE(log.find("********** BEGIN LOG ON "), std::string::npos);
    EXPECT_NE(log.find("-PalAPI- ConfigManager.m:113 x\n"), std::string::npos);
    EXPECT_NE(log.find("-PalAPI- plain 5\n"), std::string::npos);
    EXPECT_NE(log.find("-PalAPI- " + std::string(63, 'n') + ":1 long\n"), std::string::npos);
}

TEST(PalParameterDictionaries, SettersPutTheirKeysAndNothingTakesThemOut) {
    auto story = NBSendStoryDic::dictionary();
    EXPECT_EQ(story->paramAct(), "进入应用");
    story->setParamAct(std::nullopt);
    EXPECT_FALSE(story->params().contains("act"));
    story->setParamShareUrl(std::string("https://game.example/1"));
    EXPECT_EQ(story->objectForKey("shareurl"), Value("https://game.example/1"));

    auto topic = NBAddTopicDic::dictionary();
    topic->setParamLbs_nm(std::string("深圳"));
    topic->setParamThirdSource(std::string("2"));
    EXPECT_EQ(topic->params(), (Dictionary{{"lbs_nm", "深圳"}, {"third_source", "2"}}));
    auto upload = NBUploadPicDic::dictionary();
    auto picture = UIImage::imageWithCGImage(CGImage::imageWithRGBA(2, 2, std::vector<std::uint8_t>(16)));
    upload->setParamPicture(picture);
    EXPECT_EQ(upload->paramPicture(), picture);
    EXPECT_EQ(NBCheckPageFansDic::dictionary()->count(), 0u);
}

}  // namespace
