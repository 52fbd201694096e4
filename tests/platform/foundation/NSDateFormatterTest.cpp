#include "foundation/NSDateFormatter.h"

#include <gtest/gtest.h>

namespace {

const NSDate formatterInstant(1700000000);  // 2023-11-14 22:13:20 UTC

Ref<NSDateFormatter> formatter(std::string_view pattern, std::string_view zone,
                               std::string_view locale = "en_US_POSIX") {
    auto formatter = make<NSDateFormatter>();
    formatter->setDateFormat(pattern);
    formatter->setTimeZone(NSTimeZone::timeZoneWithName(zone));
    formatter->setLocale(NSLocale::localeWithLocaleIdentifier(locale));
    return formatter;
}

TEST(NSDateFormatter, WritesTheSameInstantInEachZone) {
    EXPECT_EQ(formatter("yyyy-MM-dd HH:mm:ss", "Asia/Shanghai")->stringFromDate(formatterInstant), "2023-11-15 06:13:20");
    EXPECT_EQ(formatter("yyyy-MM-dd HH:mm:ss", "UTC")->stringFromDate(formatterInstant), "2023-11-14 22:13:20");
    EXPECT_EQ(formatter("yyyy-MM-dd HH:mm:ss", "America/New_York")->stringFromDate(formatterInstant), "2023-11-14 17:13:20");
    EXPECT_EQ(formatter("yyyyMMddHHmmss", "Asia/Shanghai")->stringFromDate(formatterInstant), "20231115061320");
    EXPECT_EQ(formatter("MM-dd", "Asia/Shanghai")->stringFromDate(formatterInstant), "11-15");
    EXPECT_EQ(formatter("yyyy-MM-dd HH:mm:ss.SSS", "UTC")->stringFromDate(NSDate(1700000000.25)),
              "2023-11-14 22:13:20.250");
}

TEST(NSDateFormatter, NamesFollowTheLocale) {
    EXPECT_EQ(formatter("EEEE d MMM", "Asia/Shanghai")->stringFromDate(formatterInstant), "Wednesday 15 Nov");
    EXPECT_EQ(formatter("EEEE", "Asia/Shanghai", "zh_CN")->stringFromDate(formatterInstant), "星期三");
    EXPECT_EQ(formatter("yyyy年M月d日", "Asia/Shanghai", "zh_CN")->stringFromDate(formatterInstant), "2023年11月15日");
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

TEST(NSDateFormatter, FieldsThePatternLacksComeFromTheYear2000) {
    auto time = formatter("HH:mm", "UTC")->dateFromString("10:30");
    ASSERT_TRUE(time);
    EXPECT_EQ(time->timeIntervalSince1970(), 946684800 + 10 * 3600 + 30 * 60);
    auto day = formatter("MM-dd", "Asia/Shanghai")->dateFromString("11-15");
    ASSERT_TRUE(day);
    EXPECT_EQ(formatter("yyyy-MM-dd HH:mm:ss", "Asia/Shanghai")->stringFromDate(*day), "2000-11-15 00:00:00");
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
    EXPECT_EQ(format->stringFromDate(formatterInstant), "2023-11-14 22:13");
    format->setTimeZone(NSTimeZone::timeZoneWithName("Asia/Shanghai"));
    EXPECT_EQ(format->stringFromDate(formatterInstant), "2023-11-15 06:13");
    format->setDateFormat("HH:mm:ss");
    EXPECT_EQ(format->stringFromDate(formatterInstant), "06:13:20");
    EXPECT_EQ(format->dateFormat(), "HH:mm:ss");
}

TEST(NSDateFormatter, TakesTheDefaultTimeZoneWhenGivenNone) {
    NSTimeZone::setDefaultTimeZone(NSTimeZone::timeZoneWithName("Asia/Shanghai"));
    auto format = make<NSDateFormatter>();
    format->setDateFormat("HH:mm");
    EXPECT_EQ(format->timeZone()->name(), "Asia/Shanghai");
    EXPECT_EQ(format->stringFromDate(formatterInstant), "06:13");
    format->setTimeZone(NSTimeZone::timeZoneWithName("UTC"));
    format->setTimeZone(nullptr);
    EXPECT_EQ(format->stringFromDate(formatterInstant), "06:13");
    NSTimeZone::setDefaultTimeZone(nullptr);
}

}  // namespace
