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
    for (const char* good : {"13012345678", "15912345678", "17012345678", "18812345678", "15012345678"}) {
        EXPECT_TRUE(WMUtil::validateMobile(good)) << good;
    }
    for (const char* bad : {"15412345678", "12012345678", "1301234567", "130123456789", " 13012345678",
                            "13012345678 ", "", "1301234567a"}) {
        EXPECT_FALSE(WMUtil::validateMobile(bad)) << bad;
    }
}

TEST(WMUtil, TimeStampIsWholeSeconds) {
    long first = WMUtil::getTimeSp();
    EXPECT_GT(first, 1700000000);
    EXPECT_LE(WMUtil::getTimeSp() - first, 1);
}
