#include <gtest/gtest.h>

#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/WMUtil.h"
#include "foundation/NSUserDefaults.h"
#include "tests/support/TempSandbox.h"

TEST(KXLocallyStoredData, SurvivesANewAppInstanceAndAnswersEmptyWhenAbsent) {
    TempSandbox sandbox;
    EXPECT_EQ(KXLocallyStoredData::getLoginUserID(), "");
    KXLocallyStoredData::setUserID("1001");
    KXLocallyStoredData::setUsername("demo");
    KXLocallyStoredData::setHead("http://127.0.0.1/head.png");
    KXLocallyStoredData::setAppStr("2");

    // A new instance on the same sandbox reads what the last one flushed.
    NSUserDefaults::resetStandardUserDefaults();
    EXPECT_EQ(KXLocallyStoredData::getLoginUserID(), "1001");
    EXPECT_EQ(KXLocallyStoredData::getUsername(), "demo");
    EXPECT_EQ(KXLocallyStoredData::getAppStr(), "2");

    // Signing out removes keys straight from the store; getters see it at once.
    NSUserDefaults::standardUserDefaults()->removeObjectForKey("uid");
    NSUserDefaults::standardUserDefaults()->removeObjectForKey("head");
    EXPECT_EQ(KXLocallyStoredData::getLoginUserID(), "");
    EXPECT_EQ(KXLocallyStoredData::getHead(), "");
}

TEST(KXLocallyStoredData, ANumericUserIDReadsAsText) {
    TempSandbox sandbox;
    KXLocallyStoredData::setUserID(1001);
    EXPECT_EQ(KXLocallyStoredData::getLoginUserID(), "1001");
    KXLocallyStoredData::setUserID(Value(Array{}));
    EXPECT_EQ(KXLocallyStoredData::getLoginUserID(), "");
}

TEST(WMUtil, Md5HexDigest) {
    EXPECT_EQ(WMUtil::md5HexDigest(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(WMUtil::md5HexDigest("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(WMUtil::md5HexDigest(std::string("abc\0def", 7)), WMUtil::md5HexDigest("abc"));
    EXPECT_EQ(WMUtil::md5HexDigest("推广").size(), 32u);
}

TEST(WMUtil, IsBlankLooksForASpaceOnly) {
    EXPECT_TRUE(WMUtil::isBlank(" "));
    EXPECT_TRUE(WMUtil::isBlank("a b"));
    EXPECT_TRUE(WMUtil::isBlank("ab "));
    EXPECT_TRUE(WMUtil::isBlank(std::nullopt));
    EXPECT_FALSE(WMUtil::isBlank(""));
    EXPECT_FALSE(WMUtil::isBlank("abc"));
    EXPECT_FALSE(WMUtil::isBlank("\t"));
}

TEST(WMUtil, ValidateMobile) {
    // Eleven digits after 13, 17 or 18 and any digit, or 15 and any digit but 4.
    for (char second = '0'; second <= '9'; ++second) {
        for (char third = '0'; third <= '9'; ++third) {
            const std::string number = std::string("1") + second + third + "12345678";
            const bool good = second == '3' || second == '7' || second == '8' || (second == '5' && third != '4');
            EXPECT_EQ(WMUtil::validateMobile(number), good) << number;
        }
    }
    // No comma, letter or space takes the place of a digit, and no length but eleven passes.
    for (const char* bad : {"18,12345678", "15,12345678", "13,12345678", "1812345678,", "1301234567", "130123456789",
                            " 13012345678", "13012345678 ", "", "1301234567a", "18a12345678",
                            // Digits of other scripts are not ASCII digits.
                            "1801234567٣", "15٣12345678", "1801234567１"}) {
        EXPECT_FALSE(WMUtil::validateMobile(bad)) << bad;
    }
}

TEST(WMUtil, TimeStampIsWholeSeconds) {
    long first = WMUtil::getTimeSp();
    EXPECT_GT(first, 1700000000);
    EXPECT_LE(WMUtil::getTimeSp() - first, 1);
}
