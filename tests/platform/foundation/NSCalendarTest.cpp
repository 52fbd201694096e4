#include "foundation/NSCalendar.h"

#include <gtest/gtest.h>

namespace {

const NSDate calendarInstant(1700000000);  // 2023-11-14 22:13:20 UTC, 2023-11-15 06:13:20 in Shanghai

Ref<NSCalendar> calendarIn(std::string_view zone) {
    auto calendar = NSCalendar::calendarWithIdentifier(NSCalendarIdentifierGregorian);
    calendar->setTimeZone(NSTimeZone::timeZoneWithName(zone));
    return calendar;
}

constexpr auto allUnits = NSCalendarUnitYear | NSCalendarUnitMonth | NSCalendarUnitDay | NSCalendarUnitHour |
                          NSCalendarUnitMinute | NSCalendarUnitSecond | NSCalendarUnitWeekday;

NSDate utc(long year, long month, long day, long hour = 0, long minute = 0, long second = 0) {
    NSDateComponents components;
    components.year = year;
    components.month = month;
    components.day = day;
    components.hour = hour;
    components.minute = minute;
    components.second = second;
    return calendarIn("UTC")->dateFromComponents(components).value();
}

TEST(NSCalendar, SplitsADateInTheCalendarsZone) {
    auto shanghai = calendarIn("Asia/Shanghai")->components(allUnits, calendarInstant);
    EXPECT_EQ(shanghai.year, 2023);
    EXPECT_EQ(shanghai.month, 11);
    EXPECT_EQ(shanghai.day, 15);
    EXPECT_EQ(shanghai.hour, 6);
    EXPECT_EQ(shanghai.minute, 13);
    EXPECT_EQ(shanghai.second, 20);
    EXPECT_EQ(shanghai.weekday, 4);  // Wednesday
    EXPECT_EQ(shanghai.era, NSDateComponentUndefined);

    auto utcParts = calendarIn("UTC")->components(NSCalendarUnitDay | NSCalendarUnitWeekday, calendarInstant);
    EXPECT_EQ(utcParts.day, 14);
    EXPECT_EQ(utcParts.weekday, 3);
    EXPECT_EQ(utcParts.year, NSDateComponentUndefined);
    EXPECT_EQ(utcParts.hour, NSDateComponentUndefined);
}

TEST(NSCalendar, BuildsDatesFromComponents) {
    NSDateComponents components;
    components.year = 2023;
    components.month = 11;
    components.day = 15;
    components.hour = 6;
    components.minute = 13;
    components.second = 20;
    EXPECT_EQ(calendarIn("Asia/Shanghai")->dateFromComponents(components), calendarInstant);
    EXPECT_EQ(utc(2024, 13, 1), utc(2025, 1, 1));  // out-of-range months roll over
    EXPECT_EQ(utc(2024, 3, 0), utc(2024, 2, 29));

    NSDateComponents onlyYear;
    onlyYear.year = 2000;
    EXPECT_EQ(calendarIn("UTC")->dateFromComponents(onlyYear)->timeIntervalSince1970(), 946684800);
    NSDateComponents huge;
    huge.year = 1L << 40;
    EXPECT_FALSE(calendarIn("UTC")->dateFromComponents(huge));
}

TEST(NSCalendar, CountsDayOrdinality) {
    auto shanghai = calendarIn("Asia/Shanghai");
    EXPECT_EQ(shanghai->ordinalityOfUnit(NSCalendarUnitDay, NSCalendarUnitMonth, calendarInstant), 15u);
    EXPECT_EQ(shanghai->ordinalityOfUnit(NSCalendarUnitDay, NSCalendarUnitYear, calendarInstant), 319u);
    EXPECT_EQ(calendarIn("UTC")->ordinalityOfUnit(NSCalendarUnitDay, NSCalendarUnitMonth, calendarInstant), 14u);
    EXPECT_EQ(shanghai->ordinalityOfUnit(NSCalendarUnitMonth, NSCalendarUnitYear, calendarInstant), 11u);
    EXPECT_EQ(shanghai->ordinalityOfUnit(NSCalendarUnitHour, NSCalendarUnitDay, calendarInstant), 7u);
    EXPECT_EQ(calendarIn("UTC")->ordinalityOfUnit(NSCalendarUnitDay, NSCalendarUnitYear, utc(2024, 12, 31)), 366u);
    EXPECT_EQ(shanghai->ordinalityOfUnit(NSCalendarUnitMonth, NSCalendarUnitDay, calendarInstant), NSNotFound);
}

TEST(NSCalendar, AddsComponentsLargestFirst) {
    auto calendar = calendarIn("UTC");
    NSDateComponents oneMonth;
    oneMonth.month = 1;
    EXPECT_EQ(calendar->dateByAddingComponents(oneMonth, utc(2024, 1, 31)), utc(2024, 2, 29));
    NSDateComponents mixed;
    mixed.year = -1;
    mixed.day = 1;
    mixed.hour = 25;
    EXPECT_EQ(calendar->dateByAddingComponents(mixed, utc(2024, 2, 29, 12)), utc(2023, 3, 2, 13));
    EXPECT_EQ(calendar->dateByAddingComponents(NSDateComponents(), calendarInstant), calendarInstant);
    NSDateComponents huge;
    huge.day = 1L << 40;
    EXPECT_FALSE(calendar->dateByAddingComponents(huge, calendarInstant));
}

TEST(NSCalendar, DifferenceBetweenDatesInEachUnit) {
    auto calendar = calendarIn("UTC");
    auto units = NSCalendarUnitYear | NSCalendarUnitMonth | NSCalendarUnitDay | NSCalendarUnitHour |
                 NSCalendarUnitMinute | NSCalendarUnitSecond;
    auto difference = calendar->components(units, utc(2020, 1, 31, 10), utc(2021, 3, 1, 11, 30, 45));
    EXPECT_EQ(difference.year, 1);
    EXPECT_EQ(difference.month, 1);
    EXPECT_EQ(difference.day, 1);
    EXPECT_EQ(difference.hour, 1);
    EXPECT_EQ(difference.minute, 30);
    EXPECT_EQ(difference.second, 45);
    EXPECT_EQ(difference.weekday, NSDateComponentUndefined);

    auto backwards = calendar->components(NSCalendarUnitDay | NSCalendarUnitHour, utc(2024, 1, 3), utc(2024, 1, 1, 1));
    EXPECT_EQ(backwards.day, -1);
    EXPECT_EQ(backwards.hour, -23);
    EXPECT_EQ(calendar->components(NSCalendarUnitDay, utc(2024, 1, 1), utc(2025, 1, 1)).day, 366);
}

TEST(NSCalendar, SameDayDependsOnTheZone) {
    auto late = NSDate(1700000000 - 22 * 3600 - 13 * 60 + 1);  // 2023-11-14 00:00:01 UTC
    EXPECT_TRUE(calendarIn("UTC")->isDateInSameDayAsDate(late, calendarInstant));
    EXPECT_FALSE(calendarIn("Asia/Shanghai")->isDateInSameDayAsDate(late, calendarInstant));
    EXPECT_TRUE(NSCalendar::currentCalendar()->isDateInToday(NSDate::date()));
    EXPECT_FALSE(NSCalendar::currentCalendar()->isDateInToday(NSDate::date().dateByAddingTimeInterval(-3 * 86400)));
    EXPECT_FALSE(NSCalendar::calendarWithIdentifier("chinese"));
}

}  // namespace
