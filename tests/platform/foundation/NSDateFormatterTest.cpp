#include "foundation/NSDateFormatter.h"

#include <gtest/gtest.h>

namespace {

const NSDate instant(1700000000);  // 2023-11-14 22:13:20 UTC

Ref<NSDateFormatter> formatter(std::string_view pattern, std::string_view zone,
                               std::string_view locale = "en_US_POSIX") {
    auto formatter = make<NSDateFormatter>();
    formatter->setDateFormat(pattern);
    formatter->setTimeZone(NSTimeZone::timeZoneWithName(zone));
    formatter->setLocale(NSLocale::localeWithLocaleIdentifier(locale));
    return formatter;
}

TEST(NSDateFormatter, WritesTheSameInstantInEachZone) {
    EXPECT_EQ(formatter("yyyy-MM-dd HH:mm:ss", "Asia/Shanghai")->stringFromDate(instant), "2023-11-15 06:13:20");
    EXPECT_EQ(formatter("yyyy-MM-dd HH:mm:ss", "UTC")->stringFromDate(instant), "2023-11-14 22:13:20");
    EXPECT_EQ(formatter("yyyy-MM-dd HH:mm:ss", "America/New_York")->stringFromDate(instant), "2023-11-14 17:13:20");
    EXPECT_EQ(formatter("yyyyMMddHHmmss", "Asia/Shanghai")->stringFromDate(instant), "20231115061320");
    EXPECT_EQ(formatter("MM-dd", "Asia/Shanghai")->stringFromDate(instant), "11-15");
    EXPECT_EQ(formatter("yyyy-MM-dd HH:mm:ss.SSS", "UTC")->stringFromDate(NSDate(1700000000.25)),
              "2023-11-14 22:13:20.250");
}

TEST(NSDateFormatter, NamesFollowTheLocale) {
    EXPECT_EQ(formatter("EEEE d MMM", "Asia/Shanghai")->stringFromDate(instant), "Wednesday 15 Nov");
    EXPECT_EQ(formatter("EEEE", "Asia/Shanghai", "zh_CN")->stringFromDate(instant), "星期三");
    EXPECT_EQ(formatter("yyyy年M月d日", "Asia/Shanghai", "zh_CN")->stringFromDate(instant), "2023年11月15日");
}

TEST(NSDateFormatter, ReadsTextBackToTheInstant) {
    auto date = formatter("yyyy-MM-dd HH:mm:ss", "Asia/Shanghai")->dateFromString("2023-11-15 06:13:20");
    ASSERT_TRUE(date);
    EXPECT_EQ(date->timeIntervalSince1970(), 1700000000);
    auto utc = formatter("yyyyMMddHHmmss", "UTC")->dateFromString("20231114221320");
    ASSERT_TRUE(utc);
    EXPECT_EQ(utc->timeIntervalSince1970(), 1700000000);
    auto day = formatter("yyyy-MM-dd", "UTC")->dateFromString("2024-02-29");
    ASSERT_TRUE(day);
    EXPECT_EQ(day->timeIntervalSince1970(), 1709164800);
}

TEST(NSDateFormatter, RefusesTextThatDoesNotMatch) {
    auto format = formatter("yyyy-MM-dd HH:mm:ss", "Asia/Shanghai");
    for (const char* text : {"", "abc", "2023-11-15", "2023-11-15 06:13:20 extra", "2023/11/15 06:13:20",
                             "2023-13-01 00:00:00", "2023-02-30 00:00:00", "2023-11-15 25:00:00"})
        EXPECT_FALSE(format->dateFromString(text)) << text;
    EXPECT_FALSE(formatter("yyyy-MM-dd", "UTC")->dateFromString("2023-02-29"));
}

TEST(NSDateFormatter, ChangingSettingsAfterUseTakesEffect) {
    auto format = formatter("yyyy-MM-dd HH:mm", "UTC");
    EXPECT_EQ(format->stringFromDate(instant), "2023-11-14 22:13");
    format->setTimeZone(NSTimeZone::timeZoneWithName("Asia/Shanghai"));
    EXPECT_EQ(format->stringFromDate(instant), "2023-11-15 06:13");
    format->setDateFormat("HH:mm:ss");
    EXPECT_EQ(format->stringFromDate(instant), "06:13:20");
    EXPECT_EQ(format->dateFormat(), "HH:mm:ss");
}

TEST(NSDateFormatter, TakesTheDefaultTimeZoneWhenGivenNone) {
    NSTimeZone::setDefaultTimeZone(NSTimeZone::timeZoneWithName("Asia/Shanghai"));
    auto format = make<NSDateFormatter>();
    format->setDateFormat("HH:mm");
    EXPECT_EQ(format->timeZone()->name(), "Asia/Shanghai");
    EXPECT_EQ(format->stringFromDate(instant), "06:13");
    format->setTimeZone(NSTimeZone::timeZoneWithName("UTC"));
    format->setTimeZone(nullptr);
    EXPECT_EQ(format->stringFromDate(instant), "06:13");
    NSTimeZone::setDefaultTimeZone(nullptr);
}

TEST(NSTimeZone, KnowsZonesByNameAndTheirOffsets) {
    auto shanghai = NSTimeZone::timeZoneWithName("Asia/Shanghai");
    ASSERT_TRUE(shanghai);
    EXPECT_EQ(shanghai->name(), "Asia/Shanghai");
    EXPECT_EQ(shanghai->secondsFromGMTForDate(instant), 8 * 3600);
    EXPECT_EQ(NSTimeZone::timeZoneWithName("UTC")->secondsFromGMTForDate(instant), 0);
    EXPECT_EQ(NSTimeZone::timeZoneWithName("GMT")->secondsFromGMTForDate(instant), 0);
    auto newYork = NSTimeZone::timeZoneWithName("America/New_York");
    EXPECT_EQ(newYork->secondsFromGMTForDate(instant), -5 * 3600);
    EXPECT_EQ(newYork->secondsFromGMTForDate(NSDate(1690000000)), -4 * 3600);  // summer time
    EXPECT_EQ(NSTimeZone::timeZoneWithName("Asia/Kolkata")->description(), "Asia/Kolkata (GMT+5:30) offset 19800");
    EXPECT_TRUE(shanghai->isEqual(*NSTimeZone::timeZoneWithName("Asia/Shanghai")));
    EXPECT_FALSE(shanghai->isEqual(*newYork));
}

TEST(NSTimeZone, UnknownNamesGiveNothing) {
    EXPECT_FALSE(NSTimeZone::timeZoneWithName(""));
    EXPECT_FALSE(NSTimeZone::timeZoneWithName("Mars/Olympus_Mons"));
    EXPECT_FALSE(NSTimeZone::timeZoneWithName("Etc/Unknown"));
}

TEST(NSTimeZone, SystemZoneFollowsTZ) {
    const char* saved = std::getenv("TZ");
    std::string restore = saved ? saved : "";
    setenv("TZ", "Asia/Shanghai", 1);
    EXPECT_EQ(NSTimeZone::systemTimeZone()->secondsFromGMTForDate(instant), 8 * 3600);
    if (saved) setenv("TZ", restore.c_str(), 1);
    else unsetenv("TZ");
}

TEST(NSLocale, CurrentLocaleAndLanguagesComeFromLANG) {
    const char* saved = std::getenv("LANG");
    std::string restore = saved ? saved : "";
    setenv("LANG", "zh_CN.UTF-8", 1);
    EXPECT_EQ(NSLocale::currentLocale()->localeIdentifier(), "zh_CN");
    EXPECT_EQ(NSLocale::preferredLanguages(), std::vector<std::string>{"zh-CN"});
    setenv("LANG", "C.UTF-8", 1);
    EXPECT_EQ(NSLocale::currentLocale()->localeIdentifier(), "en_US");
    EXPECT_EQ(NSLocale::preferredLanguages(), std::vector<std::string>{"en"});
    unsetenv("LANG");
    EXPECT_EQ(NSLocale::preferredLanguages(), std::vector<std::string>{"en"});
    if (saved) setenv("LANG", restore.c_str(), 1);
    EXPECT_TRUE(NSLocale::localeWithLocaleIdentifier("zh_CN")->isEqual(*NSLocale::localeWithLocaleIdentifier("zh_CN")));
}

}  // namespace
