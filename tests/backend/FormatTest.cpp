#include <gtest/gtest.h>

#include "backend/Envelope.h"
#include "backend/Format.h"
#include "backend/Parameters.h"
#include "backend/PlaceholderImage.h"
#include "backend/Signature.h"

using namespace backend;

TEST(Format, AmountsPercentagesAndChinaTime) {
    EXPECT_EQ(formatYuan(0), "0.00");
    EXPECT_EQ(formatYuan(5), "0.05");
    EXPECT_EQ(formatYuan(123456), "1234.56");
    EXPECT_EQ(formatYuan(-250), "-2.50");
    EXPECT_EQ(formatPercent(1, 8), "12.5%");
    EXPECT_EQ(formatPercent(3, 0), "0.0%");
    // 2024-01-01 16:30 UTC is 2024-01-02 00:30 in China.
    EXPECT_EQ(formatChinaTime(1704126600, "%Y-%m-%d %H:%M"), "2024-01-02 00:30");
    EXPECT_EQ(chinaDayStart(1704126600), 1704124800);  // 2024-01-02 00:00 +08:00
    EXPECT_EQ(chinaDayStart(1704124800), 1704124800);
}

TEST(Format, WholeNumbersAreDigitsOnlyWithinTheLimit) {
    EXPECT_EQ(parseWholeNumber("0", 10), 0);
    EXPECT_EQ(parseWholeNumber("0010", 10), 10);
    EXPECT_EQ(parseWholeNumber("11", 10), std::nullopt);
    for (const char* bad : {"", "-1", "+1", "1 ", "1.0", "١"}) EXPECT_EQ(parseWholeNumber(bad, 1000), std::nullopt) << bad;
    EXPECT_EQ(parseWholeNumber("99999999999999999999999999", 1'000'000'000), std::nullopt);
}

TEST(Format, YuanAmountsAreDigitsWithAtMostTwoDecimals) {
    EXPECT_EQ(parseYuan("10", 100000), 1000);
    EXPECT_EQ(parseYuan("10.5", 100000), 1050);
    EXPECT_EQ(parseYuan("0.01", 100000), 1);
    EXPECT_EQ(parseYuan("12.", 100000), 1200);
    EXPECT_EQ(parseYuan("1000", 100000), 100000);
    EXPECT_EQ(parseYuan("1000.01", 100000), std::nullopt);
    // Leading zeros add nothing, however many.
    EXPECT_EQ(parseYuan("00000000000000000001", 100000), 100);
    EXPECT_EQ(parseYuan("0000", 100000), 0);
    for (const char* bad : {"", ".5", "1.234", "-1", "+1", " 1", "1 ", "1,5", "1.2.3", "abc", "1e3",
                            "9999999999999999999999"}) {
        EXPECT_EQ(parseYuan(bad, 1'000'000'000), std::nullopt) << bad;
    }
}

TEST(Format, SignatureMatchesTheKnownDigest) {
    // MD5("1" "1700000000" "qmvtrapezk42f17bnc"), computed independently.
    EXPECT_EQ(signatureOf({"1", "1700000000"}), "678d6a588322fb4683839d8e17ae6ca2");
}

TEST(Format, EnvelopeTextSurvivesInvalidUTF8) {
    Envelope envelope = Envelope::failure(ResultCode::InvalidRequest, std::string("bad \xff text"));
    const std::string body = envelope.body();
    EXPECT_NE(body.find("\"code\":4"), std::string::npos);
    EXPECT_EQ(body.find('\xff'), std::string::npos);
    // code, message and data lead, in that order.
    EXPECT_EQ(body.find("{\"code\""), 0u);
    EXPECT_LT(body.find("\"message\""), body.find("\"data\""));
}

TEST(Format, PlaceholderImagesArePNGTilesOfTheAskedSizeDifferentPerAddressAndCaption) {
    const std::string icon = placeholderPNG("icon/game-1", "星辰", 32);
    ASSERT_GT(icon.size(), 33u);
    EXPECT_EQ(icon.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(icon.substr(16, 8), std::string("\0\0\0\x20\0\0\0\x20", 8));  // 32 x 32
    EXPECT_EQ(placeholderPNG("icon/game-1", "星辰", 32), icon);
    EXPECT_NE(placeholderPNG("icon/game-2", "星辰", 32), icon);
    EXPECT_NE(placeholderPNG("icon/game-1", "龙城", 32), icon);
    // A caption cut inside a character still draws.
    EXPECT_FALSE(placeholderPNG("icon/game-1", std::string("\xe6\x98", 2), 32).empty());
}
