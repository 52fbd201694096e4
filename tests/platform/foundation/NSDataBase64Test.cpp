#include "foundation/NSData.h"

#include <gtest/gtest.h>

namespace {

TEST(NSDataBase64, EncodesEveryLengthModuloThree) {
    EXPECT_EQ(NSData().base64EncodedString(), "");
    EXPECT_EQ(NSData::fromString("f").base64EncodedString(), "Zg==");
    EXPECT_EQ(NSData::fromString("fo").base64EncodedString(), "Zm8=");
    EXPECT_EQ(NSData::fromString("foo").base64EncodedString(), "Zm9v");
    EXPECT_EQ(NSData::fromString("foobar").base64EncodedString(), "Zm9vYmFy");
    const std::uint8_t high[] = {0xfb, 0xff, 0xbf};
    EXPECT_EQ(NSData(high, 3).base64EncodedString(), "+/+/");
}

TEST(NSDataBase64, RoundTripsAllByteValuesWithoutLineBreaks) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 256 * 3; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 7));
    for (std::size_t length : {0u, 1u, 2u, 3u, 100u, 768u}) {
        NSData data(bytes.data(), length);
        auto text = data.base64EncodedString();
        EXPECT_EQ(text.find('\n'), std::string::npos);
        auto decoded = NSData::initWithBase64EncodedString(text);
        ASSERT_TRUE(decoded) << length;
        EXPECT_EQ(*decoded, data);
    }
}

TEST(NSDataBase64, DecodesPaddedGroups) {
    EXPECT_EQ(NSData::initWithBase64EncodedString("YWJj")->toString(), "abc");
    EXPECT_EQ(NSData::initWithBase64EncodedString("YWI=")->toString(), "ab");
    EXPECT_EQ(NSData::initWithBase64EncodedString("YQ==")->toString(), "a");
    EXPECT_EQ(NSData::initWithBase64EncodedString("5Lit5paH")->toString(), "中文");
    auto empty = NSData::initWithBase64EncodedString("");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

TEST(NSDataBase64, RefusesMalformedText) {
    for (const char* text : {"YQ", "YWJ", "Y", "YQ=", "Y===", "====", "YQ==YQ==", "Y=Jj", "YW=j", "YWJj\n",
                             "YW Jj", "YW-j", "YW_j", "YWJ\xc3\xa9"})
        EXPECT_FALSE(NSData::initWithBase64EncodedString(text)) << text;
}

TEST(NSDataBase64, IgnoringUnknownCharactersSkipsThemButStillChecksGroups) {
    auto data = NSData::initWithBase64EncodedString("YW\r\nJj YWI=\n", true);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->toString(), "abcab");
    EXPECT_FALSE(NSData::initWithBase64EncodedString("YW J", true));
    EXPECT_FALSE(NSData::initWithBase64EncodedString("YQ==YQ==", true));
}

}  // namespace
