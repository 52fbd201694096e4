#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <unicode/uversion.h>

#include "foundation/NSDate.h"
#include "foundation/NSDateComponents.h"
#include "foundation/NSObject.h"
#include "foundation/NSRange.h"
#include "foundation/NSTimeZone.h"

U_NAMESPACE_BEGIN
class Calendar;
U_NAMESPACE_END

// Calendar fields, as bits to combine in a request.
enum NSCalendarUnit : unsigned long {
    NSCalendarUnitEra = 1UL << 1,
    NSCalendarUnitYear = 1UL << 2,
    NSCalendarUnitMonth = 1UL << 3,
    NSCalendarUnitDay = 1UL << 4,
    NSCalendarUnitHour = 1UL << 5,
    NSCalendarUnitMinute = 1UL << 6,
    NSCalendarUnitSecond = 1UL << 7,
    NSCalendarUnitWeekday = 1UL << 9,
};
inline constexpr NSCalendarUnit operator|(NSCalendarUnit a, NSCalendarUnit b) {
    return static_cast<NSCalendarUnit>(static_cast<unsigned long>(a) | b);
}

inline constexpr const char* NSCalendarIdentifierGregorian = "gregorian";

// The Gregorian calendar in a time zone (ICU): splits dates into fields,
// builds dates from fields, adds amounts, counts ordinals.
class NSCalendar : public NSObject {
public:
    explicit NSCalendar(Ref<NSTimeZone> zone);
    ~NSCalendar() override;

    // Gregorian in the default time zone.
    static Ref<NSCalendar> currentCalendar();
    // Nothing for calendars other than NSCalendarIdentifierGregorian.
    static Ref<NSCalendar> calendarWithIdentifier(std::string_view identifier);

    std::string calendarIdentifier() const { return NSCalendarIdentifierGregorian; }
    Ref<NSTimeZone> timeZone() const { return timeZone_; }
    void setTimeZone(Ref<NSTimeZone> zone);

    // The requested fields of `date` in the calendar's zone.
    NSDateComponents components(NSCalendarUnit units, const NSDate& date) const;
    // The difference from `from` to `to` in the requested fields, largest
    // first (1 year, 2 months, 3 days...); negative when `to` is earlier.
    NSDateComponents components(NSCalendarUnit units, const NSDate& from, const NSDate& to) const;
    // The date the fields name; missing fields take their lowest value (year 1,
    // January, day 1, midnight). Out-of-range fields roll over (month 13 is
    // January of the next year).
    std::optional<NSDate> dateFromComponents(const NSDateComponents& components) const;
    // `date` moved by each set field of `components`, largest first.
    std::optional<NSDate> dateByAddingComponents(const NSDateComponents& components, const NSDate& date) const;
    // The position of the `smaller` unit containing `date` within the `larger`
    // one, from 1: day in month, day in year, month in year, year in era,
    // hour in day, minute in hour, second in minute.
    // NSNotFound for other pairs.
    std::size_t ordinalityOfUnit(NSCalendarUnit smaller, NSCalendarUnit larger, const NSDate& date) const;
    // Whether `date` falls on the current day in the calendar's zone.
    bool isDateInToday(const NSDate& date) const;
    bool isDateInSameDayAsDate(const NSDate& date, const NSDate& other) const;

private:
    // A fresh ICU calendar in the calendar's zone set to `date`.
    std::unique_ptr<icu::Calendar> calendarAt(const NSDate& date) const;

    Ref<NSTimeZone> timeZone_;
};
