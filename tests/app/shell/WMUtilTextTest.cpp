#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>

#include <sys/stat.h>

#include "app/shell/WMUtil.h"
#include "foundation/CommonDigest.h"
#include "foundation/NSBundle.h"
#include "foundation/NSString.h"
#include "foundation/NSCalendar.h"
#include "foundation/NSLog.h"
#include "foundation/NSTimeZone.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/PropertyListFile.h"
#include "frameworks/models/HandyJSON.h"
#include "graphics/UIGraphics.h"
#include "tests/support/TempSandbox.h"

namespace {

// Every date check runs in one pinned zone, whatever the machine's.
class WMUtilTest : public ::testing::Test {
protected:
    WMUtilTest() { NSTimeZone::setDefaultTimeZone(NSTimeZone::timeZoneWithName("Europe/Berlin")); }
    ~WMUtilTest() override { NSTimeZone::setDefaultTimeZone(nullptr); }

    TempSandbox sandbox;
};

TEST_F(WMUtilTest, ValidationPatternsMatchTheWholeText) {
    struct Case {
        bool (*check)(std::string_view);
        const char* text;
        bool expected;
    };
    const std::vector<Case> cases{
        {WMUtil::validateEmail, "ann.lee+cps@mail.example.com", true},
        {WMUtil::validateEmail, "ann@example.c", false},
        {WMUtil::validateEmail, "ann@example.com ", false},
        {WMUtil::validateUserName, "promoter_01", true},
        {WMUtil::validateUserName, "abc12", false},
        {WMUtil::validateUserName, "promoter-01", false},
        {WMUtil::validatePassword, "abc123", true},
        {WMUtil::validatePassword, "abc_123", false},
        {WMUtil::validatePassword, "a1234567890123456", false},
        {WMUtil::validateNickname, "张三丰", true},
        {WMUtil::validateNickname, "张三&middot;丰收", true},
        {WMUtil::validateNickname, "张", false},
        {WMUtil::validateIdentityCard, "11010119900307803X", true},
        {WMUtil::validateIdentityCard, "110101900307803", true},
        {WMUtil::validateIdentityCard, "", false},
        {WMUtil::validateIdentityCard, "1101011990030780", false},
        {WMUtil::validateBankCardNumber, "6222020200112233445", true},
        {WMUtil::validateBankCardNumber, "62220202001122", false},
        {WMUtil::validateBankCardNumber, "", false},
        {WMUtil::validateBankCardLastNumber, "1234", true},
        {WMUtil::validateBankCardLastNumber, "12345", false},
        {WMUtil::validateBankCardLastNumber, "12a4", false},
        {WMUtil::validateCVNCode, "123", true},
        {WMUtil::validateCVNCode, "1234", false},
        {WMUtil::validateCVNCode, "", false},
        {WMUtil::validateMonth, "09", true},
        {WMUtil::validateMonth, "12", true},
        {WMUtil::validateMonth, "13", false},
        {WMUtil::validateMonth, "9", false},
        {WMUtil::validateYear, "29", true},
        {WMUtil::validateYear, "40", false},
        {WMUtil::validateVerifyCode, "123456", true},
        {WMUtil::validateVerifyCode, "12345", false},
        {WMUtil::checkNum, "", true},
        {WMUtil::checkNum, "0123", true},
        {WMUtil::checkNum, "12.5", false},
        {WMUtil::isNumberOrEnglish, "", true},
        {WMUtil::isNumberOrEnglish, "abc123", true},
        {WMUtil::isNumberOrEnglish, "abc 123", false},
        {WMUtil::validateMobile, "13800138000", true},
        {WMUtil::validateMobile, "15400138000", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.check(c.text), c.expected) << '"' << c.text << '"';
}

TEST_F(WMUtilTest, TextOperations) {
    EXPECT_TRUE(WMUtil::isPureInt("-42"));
    EXPECT_FALSE(WMUtil::isPureInt("42a"));
    EXPECT_FALSE(WMUtil::isPureInt(""));
    EXPECT_TRUE(WMUtil::isKimiNumber(""));
    EXPECT_TRUE(WMUtil::isKimiNumber("007"));
    EXPECT_FALSE(WMUtil::isKimiNumber("-7"));
    EXPECT_EQ(WMUtil::stringByReplacing(" 138 0013 8000 "), "13800138000");
    EXPECT_EQ(WMUtil::convertToInt("ab中文"), 6);
    EXPECT_EQ(WMUtil::convertToInt(""), 0);
    EXPECT_EQ(WMUtil().getToInt("ab中文"), 6);
    EXPECT_TRUE(WMUtil::rangeString("推广员", "广"));
    EXPECT_FALSE(WMUtil::rangeString("推广员", "员工"));
    EXPECT_EQ(WMUtil::getCellMaxNum(44, 100), 3);
    EXPECT_EQ(WMUtil::getCellMaxNum(44, 88), 2);
    EXPECT_EQ(WMUtil::getCellMaxNum(0, 88), 0);
    EXPECT_EQ(WMUtil::getCellMaxNum(1e-300, 1e300), std::numeric_limits<long>::max());
    EXPECT_EQ(WMUtil::getCellMaxNum(1, -1e300), 0);
    // The older colour rule: prefixes are looked for after trimming.
    EXPECT_EQ(WMUtil::colorWithHexString(" #5879ff"), UIColor::colorWithRed(88 / 255.0, 121 / 255.0, 1, 1));
}

TEST_F(WMUtilTest, RandomNumbersStayWithinBothBounds) {
    for (int i = 0; i < 200; ++i) {
        long value = WMUtil::getRandomNumber(3, 5);
        EXPECT_GE(value, 3);
        EXPECT_LE(value, 5);
        value = WMUtil::getRandomNumber(5, 3);
        EXPECT_GE(value, 3);
        EXPECT_LE(value, 5);
    }
    EXPECT_EQ(WMUtil::getRandomNumber(7, 7), 7);
}

TEST_F(WMUtilTest, FaceTokensSplitTheMessage) {
    NSUserDefaults::standardUserDefaults()->setObject(Value(Dictionary{{"smile", "[smile]"}, {"cry", "[cry]"}}),
                                                      "FaceMap");
    EXPECT_EQ(WMUtil::decorateString("a[smile]b"), (std::vector<std::string>{"a", "[smile]", "b"}));
    EXPECT_EQ(WMUtil::decorateString("[x]"), (std::vector<std::string>{"[x]"}));
    EXPECT_EQ(WMUtil::decorateString("[cry][smile]好"), (std::vector<std::string>{"[cry]", "[smile]", "好"}));
    EXPECT_TRUE(WMUtil::decorateString("").empty());
    NSLogCapture log;
    WMUtil::decorateString("x[cry]");
    EXPECT_TRUE(log.contains("name:[cry]"));
    EXPECT_TRUE(log.contains("bbbbbbbb:faceString:[cry]"));
}

TEST_F(WMUtilTest, DatesInTheDefaultZoneAndInShanghai) {
    const NSDate moment(1700000000.75);  // 2023-11-14 22:13:20.75 UTC
    EXPECT_EQ(WMUtil::stringFromDate(moment), "2023-11-14 23:13:20");
    EXPECT_EQ(WMUtil::stringFromDate(moment, "yyyyMMdd HHmm"), "20231114 2313");
    EXPECT_EQ(WMUtil::getTimeString(moment), "1700000000");
    EXPECT_EQ(WMUtil::getTimeString(NSDate(-1.5)), "-1");
    EXPECT_EQ(WMUtil::timeStringWithDataString("1700000000999", "yyyy-MM-dd HH:mm:ss.SSS"), "2023-11-15 06:13:20.000");
    EXPECT_EQ(WMUtil::createTime("1700000000999", "yyyy-MM-dd HH:mm:ss.SSS"), "2023-11-14 23:13:20.999");

    EXPECT_EQ(WMUtil::dateFromString("2023-11-14"), NSDate(1699916400));  // midnight in Berlin
    EXPECT_EQ(WMUtil::dateFromString("2023-02-30"), std::nullopt);
    EXPECT_EQ(WMUtil::dateFromString("14/11/2023", "dd/MM/yyyy"), NSDate(1699916400));
    EXPECT_EQ(WMUtil::UTCDateFromLocalString("2023-11-14 23:13:20"), NSDate(1700000000));
    EXPECT_TRUE(WMUtil::compareDate(NSDate(1), NSDate(2)));
    EXPECT_FALSE(WMUtil::compareDate(NSDate(2), NSDate(2)));

    EXPECT_TRUE(WMUtil::checkTheDate(WMUtil::stringFromDate(NSDate::date(), "yyyy-MM-dd")));
    EXPECT_FALSE(WMUtil::checkTheDate("2001-01-01"));
    EXPECT_FALSE(WMUtil::checkTheDate("today"));
}

TEST_F(WMUtilTest, NowInEachFormat) {
    const std::string millis = WMUtil::get1970timeString();
    EXPECT_TRUE(millis.ends_with("000"));
    EXPECT_NEAR(std::stod(millis) / 1000, NSDate::date().timeIntervalSince1970(), 5);
    EXPECT_EQ(WMUtil::getyyyymmddHHmmss().size(), 19u);
    EXPECT_EQ(WMUtil::getyyyymmddHHmm().size(), 16u);
    EXPECT_EQ(WMUtil::getyyyymmdd(), WMUtil::stringFromDate(NSDate::date(), "yyyyMMdd"));
    EXPECT_TRUE(WMUtil::isKimiNumber(WMUtil::gethhmmss()));
    EXPECT_NEAR(WMUtil::getNowTime().timeIntervalSinceNow(), 0, 5);
}

TEST_F(WMUtilTest, CalendarDifferenceIsLogged) {
    NSLogCapture log;
    const auto start = *WMUtil::UTCDateFromLocalString("2022-01-10 08:00:00");
    const auto end = *WMUtil::UTCDateFromLocalString("2023-03-13 12:05:06");
    NSDateComponents difference = WMUtil::pleaseInsertStarTimeo(start, end);
    EXPECT_EQ(difference.year, 1);
    EXPECT_EQ(difference.month, 2);
    EXPECT_EQ(difference.day, 3);
    EXPECT_EQ(difference.hour, 4);
    EXPECT_EQ(difference.minute, 5);
    EXPECT_EQ(difference.second, 6);
    EXPECT_TRUE(log.contains("两个时间相差1年2月3日4小时5分钟6秒"));
    EXPECT_TRUE(log.contains("第一个时间2022-01-10 07:00:00 +0000----第二个时间"));
}

TEST_F(WMUtilTest, PlistFilesStayInDocuments) {
    const Dictionary settings{{"sound", true}, {"name", "推广"}};
    WMUtil::setDataFromPlistWithPathString("settings.plist", settings);
    EXPECT_EQ(WMUtil::getDictionaryFromPlistWithPathString("settings.plist"), settings);
    EXPECT_TRUE(std::filesystem::exists(sandbox.path() + "/Documents/settings.plist"));
    EXPECT_EQ(WMUtil::getArrayFromPlistWithPathString("settings.plist"), std::nullopt);  // not an array

    const Array list{Value(1), Value("two")};
    WMUtil::setDataFromPlistWithPathString("list.plist", list);
    EXPECT_EQ(WMUtil::getArrayFromPlistWithPathString("list.plist"), list);
    EXPECT_EQ(WMUtil::getArrayFromPlistWithPathString("missing.plist"), std::nullopt);

    // Paths that leave Documents are refused both ways.
    WMUtil::setDataFromPlistWithPathString("../escaped.plist", list);
    EXPECT_FALSE(std::filesystem::exists(sandbox.path() + "/escaped.plist"));
    PropertyListFile::writeToFile(Value(settings), sandbox.path() + "/Library/outside.plist", true);
    EXPECT_EQ(WMUtil::getDictionaryFromPlistWithPathString("../Library/outside.plist"), std::nullopt);
    EXPECT_EQ(WMUtil::getDictionaryFromPlistWithPathString(sandbox.path() + "/Library/outside.plist"), std::nullopt);
    EXPECT_EQ(WMUtil::documentsDirectoryPath(), sandbox.path() + "/Documents");

    // A link inside Documents to a folder outside leads nowhere, either way.
    std::filesystem::create_directory_symlink(sandbox.path() + "/Library", sandbox.path() + "/Documents/link");
    EXPECT_EQ(WMUtil::getDictionaryFromPlistWithPathString("link/outside.plist"), std::nullopt);
    WMUtil::setDataFromPlistWithPathString("link/written.plist", list);
    EXPECT_FALSE(std::filesystem::exists(sandbox.path() + "/Library/written.plist"));
    UIGraphicsBeginImageContextWithOptions({2, 2}, true, 1);
    WMUtil::saveImagetoLocal(UIGraphicsGetImageFromCurrentImageContext(), "link/a.jpg");
    UIGraphicsEndImageContext();
    EXPECT_FALSE(std::filesystem::exists(sandbox.path() + "/Library/a.jpg"));
}

TEST_F(WMUtilTest, FileDigestsReadOnlyTheAppsOwnFiles) {
    const std::string path = sandbox.path() + "/Documents/blob.bin";
    std::string content;
    for (int i = 0; i < 1000; ++i) content += static_cast<char>(i * 7);
    std::ofstream(path, std::ios::binary) << content;
    unsigned char digest[CC_MD5_DIGEST_LENGTH];
    CC_MD5(content.data(), static_cast<CC_LONG>(content.size()), digest);
    std::string expected;
    for (unsigned char byte : digest) expected += NSString::stringWithFormat("%02x", byte);
    EXPECT_EQ(WMUtil::fileMd5sum(path), expected);
    std::ofstream(sandbox.path() + "/Documents/abc.txt") << "abc";
    EXPECT_EQ(WMUtil::fileMd5sum(sandbox.path() + "/Documents/abc.txt"), "900150983cd24fb0d6963f7d28e17f72");
    std::ofstream(sandbox.path() + "/Documents/empty.txt");
    EXPECT_EQ(WMUtil::fileMd5sum(sandbox.path() + "/Documents/empty.txt"), "d41d8cd98f00b204e9800998ecf8427e");

    EXPECT_EQ(WMUtil::fileMd5sum(sandbox.path() + "/Documents/missing"), std::nullopt);
    EXPECT_EQ(WMUtil::fileMd5sum(sandbox.path() + "/Documents"), std::nullopt);
    ASSERT_EQ(::mkfifo((sandbox.path() + "/Documents/pipe").c_str(), 0600), 0);
    EXPECT_EQ(WMUtil::fileMd5sum(sandbox.path() + "/Documents/pipe"), std::nullopt);  // not waited on
    EXPECT_EQ(WMUtil::fileMd5sum("/etc/hostname"), std::nullopt);
    std::filesystem::create_symlink("/etc/hostname", sandbox.path() + "/Documents/link");
    EXPECT_EQ(WMUtil::fileMd5sum(sandbox.path() + "/Documents/link"), std::nullopt);
    EXPECT_EQ(WMUtil::fileMd5sum(sandbox.path() + "/Documents/../../etc/hostname"), std::nullopt);
}

TEST_F(WMUtilTest, SavedImagesAreJPEGsInDocuments) {
    UIGraphicsBeginImageContextWithOptions({8, 4}, true, 1);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    WMUtil::saveImagetoLocal(image, "photo.jpg");
    auto saved = UIImage::imageWithContentsOfFile(sandbox.path() + "/Documents/photo.jpg");
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->size(), (CGSize{8, 4}));
    WMUtil::saveImagetoLocal(image, "");
    WMUtil::saveImagetoLocal(nullptr, "none.jpg");
    WMUtil::saveImagetoLocal(image, "../out.jpg");
    EXPECT_FALSE(std::filesystem::exists(sandbox.path() + "/Documents/none.jpg"));
    EXPECT_FALSE(std::filesystem::exists(sandbox.path() + "/out.jpg"));
}

TEST_F(WMUtilTest, BundleDictionariesByNameAndType) {
    const std::string previous = NSBundle::mainBundle()->bundlePath();
    const std::string bundle = sandbox.path() + "/tmp/App.app";
    std::filesystem::create_directories(bundle);
    PropertyListFile::writeToFile(Value(Dictionary{{"version", 3}}), bundle + "/Config.plist", true);
    NSBundle::setMainBundlePath(bundle);
    EXPECT_EQ(WMUtil::dictionaryFromBundleWithName("Config", "plist"), (Dictionary{{"version", 3}}));
    EXPECT_EQ(WMUtil::dictionaryFromBundleWithName("Missing", "plist"), std::nullopt);
    EXPECT_EQ(WMUtil::dictionaryFromBundleWithName("../App.app/Config", "plist"), std::nullopt);
    EXPECT_TRUE(WMUtil::fileMd5sum(bundle + "/Config.plist").has_value());  // the app's own files are readable
    NSBundle::setMainBundlePath(previous);
}

class ModelWithId : public HandyJSON {
public:
    std::string selfId, name;
    long count = 0;
    void mapping(PropertyMapper& mapper) override { mapper("selfId", selfId)("name", name)("count", count); }
};

TEST_F(WMUtilTest, PropertyKeysOfModels) {
    EXPECT_EQ(WMUtil::propertyKeys(make<ModelWithId>()), (std::vector<std::string>{"id", "name", "count"}));
    EXPECT_TRUE(WMUtil::propertyKeys(make<NSObject>()).empty());
    EXPECT_TRUE(WMUtil::propertyKeys(nullptr).empty());
}

TEST_F(WMUtilTest, AttributedTextAndSizes) {
    auto marked = WMUtil::attributedStringWithText("余额100元，冻结100元", "100", UIColor::redColor(), std::nullopt);
    EXPECT_EQ(marked.attributesAtIndex(2).foregroundColor, UIColor::redColor());
    EXPECT_EQ(marked.attributesAtIndex(9).foregroundColor, std::nullopt);  // the first occurrence only
    EXPECT_EQ(marked.attributesAtIndex(2).font, std::nullopt);

    const UIFont font = UIFont::systemFontOfSize(14);
    auto spaced = WMUtil::attributedStringWithText("推广", UIColor::blueColor(), font, 6, 2);
    const auto attributes = spaced.attributesAtIndex(0);
    EXPECT_EQ(attributes.kern, 2);
    EXPECT_EQ(attributes.paragraphStyle->lineBreakMode, NSLineBreakMode::ByCharWrapping);
    EXPECT_EQ(attributes.paragraphStyle->lineSpacing, 6);
    EXPECT_EQ(attributes.foregroundColor, UIColor::blueColor());

    const std::string text = "一段需要换行显示的比较长的推广说明文字";
    const CGSize oneLine = WMUtil::getWidthByString(text, font, {1000, 1000});
    const CGSize wrapped = WMUtil::getWidthByString(text, font, {100, 1000});
    EXPECT_LE(wrapped.width, 100);
    EXPECT_GT(wrapped.height, oneLine.height * 2);
    EXPECT_GT(WMUtil::sizeWithtext(text, {100, 1000}, font, 6, 0).height, wrapped.height);  // line spacing adds
    EXPECT_GT(WMUtil::sizeWithtext(text, {1000, 1000}, font, 0, 2).width, oneLine.width);   // kerning widens
    EXPECT_EQ(WMUtil::sizeWithAttributedtext(spaced, {1000, 1000}), WMUtil::sizeWithtext("推广", {1000, 1000}, font, 6, 2));
    EXPECT_NEAR(WMUtil::strName(text, font, {100, 1000}).height, oneLine.height, 0.5);  // one truncated line
}

}  // namespace
