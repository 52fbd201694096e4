#include <gtest/gtest.h>

#include "kits/ripple/NSDictionary_SafeJSON.h"
#include "kits/ripple/RPApiNSStringURLArgumentsAdditions.h"
#include "kits/ripple/RPBase64.h"
#include "kits/ripple/RippleApiUtil.h"
#include "tests/kits/ripple/RippleKitFixture.h"
#include "uikit/UIDevice.h"

using Escaping = RPApiNSStringURLArgumentsAdditions;

TEST(RippleStrings, EscapingAndUnescaping) {
    EXPECT_EQ(Escaping::rpApi_stringByEscapingForURLArgument("a&b=c d"), "a%26b%3Dc%20d");
    EXPECT_EQ(Escaping::rpApi_stringByEscapingForURLArgumentOnly("a&b=c d%41"), "a&b=c%20d%41");
    EXPECT_EQ(Escaping::rpApi_stringByEncodeUrl("a~b|c 链"), "a%7Eb%7Cc%20%E9%93%BE");
    EXPECT_EQ(Escaping::rpApi_stringByUnescapingFromURLArgument("a+b%20c"), "a b c");
    EXPECT_FALSE(Escaping::rpApi_stringByUnescapingFromURLArgument("%FF"));
    EXPECT_EQ(Escaping::rpApi_stringByEncodeByJsonAndUrlEncode("\\x41+\\X42"), "A B");
}

TEST(RippleStrings, TypedReadsGiveNothingForTheWrongKind) {
    Dictionary values{{"text", "12abc"}, {"number", Value(2.5)}, {"list", Array{Value(1)}}};
    EXPECT_EQ(NSDictionary_SafeJSON::rpApi_integerForKey(values, "text"), 12);
    EXPECT_EQ(NSDictionary_SafeJSON::rpApi_integerForKey(values, "list"), 0);
    EXPECT_DOUBLE_EQ(NSDictionary_SafeJSON::rpApi_doubleForKey(values, "number"), 2.5);
    EXPECT_FALSE(NSDictionary_SafeJSON::rpApi_stringForKey(values, "number"));
    EXPECT_TRUE(NSDictionary_SafeJSON::rpApi_arrayForKey(values, "list"));
    EXPECT_FALSE(NSDictionary_SafeJSON::rpApi_dictionaryForKey(values, "list"));
}

TEST(RippleBase64, RawDecodingSkipsStrangersAndRefusesALoneCharacter) {
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(RPBase64Decode("YWJj", bytes), 0);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'a', 'b', 'c'}));
    EXPECT_EQ(RPBase64Decode("YW Jj", bytes), 0);
    EXPECT_EQ(bytes.size(), 3u);
    EXPECT_EQ(RPBase64Decode("YWI=", bytes), 0);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'a', 'b'}));
    EXPECT_EQ(RPBase64Decode("YWJjY", bytes), 1);
    EXPECT_EQ(bytes.size(), 3u);

    std::optional<NSData> decoded;
    EXPECT_EQ(RPBase64DecodeAlloc("Y", decoded), 0u);
    EXPECT_FALSE(decoded);
    EXPECT_EQ(RPBase64DecodeAlloc("YWJjZA==", decoded), 4u);
    EXPECT_EQ(decoded, NSData::fromString("abcd"));
}

TEST(RippleBase64, WholeGroupDecodingAndEncoding) {
    EXPECT_EQ(RippleApiUtil::EncodeBase64(std::string("abc")), "YWJj");
    EXPECT_FALSE(RippleApiUtil::EncodeBase64(std::string("")));
    EXPECT_EQ(RippleApiUtil::DecodeWithBase64(std::string("YWI=")), NSData::fromString("ab"));
    EXPECT_EQ(RippleApiUtil::DecodeBase64(std::string("YWJjZA")), "abc");  // the part group is ignored
    EXPECT_EQ(RippleApiUtil::DecodeBase64(std::string("YQBi")), "a");      // up to the zero byte
    EXPECT_FALSE(RippleApiUtil::DecodeWithBase64(std::string("YQ")));
}

using RippleUrls = RippleKitFixture;

TEST_F(RippleUrls, EntryUrlsAndTheHostsOwnScheme) {
    EXPECT_EQ(RippleApiUtil::getRippleUrl(std::string("rpx"), 0, "sendreq/?")->absoluteString(),
              "ripple://app/rpx/sendreq/?");
    EXPECT_EQ(RippleApiUtil::getRippleUrl(std::string("rpx"), 3, "sendreq/?")->absoluteString(),
              "ripple://app/rpx/sendreq/?&supportcontentfromrp=3");
    EXPECT_EQ(RippleApiUtil::getRippleUrl(std::string("rpx"), 3)->absoluteString(),
              "ripple://app/rpx/?supportcontentfromrp=3");
    EXPECT_FALSE(RippleApiUtil::getRippleUrl(std::string("rpx"), 0, "a b"));
    EXPECT_TRUE(RippleApiUtil::isAppOpenUrl(url("rpx://anything"), std::string("rpx")));
    EXPECT_FALSE(RippleApiUtil::isAppOpenUrl(url("rpxy://anything"), std::string("rpx")));
    EXPECT_EQ(RippleApiUtil::getAppUrlWithPlatformId(std::string("rpx"), "a")->absoluteString(),
              "rpx://platformId=ripple/a");
    EXPECT_FALSE(RippleApiUtil::getRippleUrl(std::nullopt, 0));
    EXPECT_FALSE(RippleApiUtil::isAppOpenUrl(url("rpx://"), std::nullopt));
    EXPECT_EQ(log, (std::vector<std::string>(2, "rplog:Error:app is nil")));
}

TEST_F(RippleUrls, SystemVersionAndTheRippleAppsPresence) {
    UIDevice::currentDevice()->setSystemVersion("6.1.3");
    EXPECT_FALSE(RippleApiUtil::isiOS7plus());
    UIDevice::currentDevice()->setSystemVersion("7.0");
    EXPECT_TRUE(RippleApiUtil::isiOS7plus());
    EXPECT_TRUE(RippleApiUtil::is2xScreen());

    EXPECT_EQ(RippleApiUtil::getSDKVersion(), "");
    UIApplication::installSimulatedApp("ripple", [](const Ref<NSURL>&) {});
    EXPECT_EQ(RippleApiUtil::getSDKVersion(), "1.0");
    EXPECT_TRUE(RPApi::isRPAppInstalled());
}
