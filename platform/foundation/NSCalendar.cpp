#include "foundation/NSCalendar.h"

#include <climits>
#include <utility>

#include <unicode/gregocal.h>
#include <unicode/timezone.h>

namespace {

// The fields NSDateComponents holds, largest first, with their ICU fields.
struct Field {
    NSCalendarUnit unit;
    UCalendarDateFields icuField;
    long NSDateComponents::*member;
};

constexpr Field fields[] = {
    {NSCalendarUnitEra, UCAL_ERA, &NSDateComponents::era},
    {NSCalendarUnitYear, UCAL_YEAR, &NSDateComponents::year},
    {NSCalendarUnitMonth, UCAL_MONTH, &NSDateComponents::month},
    {NSCalendarUnitDay, UCAL_DATE, &NSDateComponents::day},
    {NSCalendarUnitHour, UCAL_HOUR_OF_DAY, &NSDateComponents::hour},
    {NSCalendarUnitMinute, UCAL_MINUTE, &NSDateComponents::minute},
    {NSCalendarUnitSecond, UCAL_SECOND, &NSDateComponents::second},
    {NSCalendarUnitWeekday, UCAL_DAY_OF_WEEK, &NSDateComponents::weekday},
};

// ICU counts months from 0; the platform from 1.
long fromICU(UCalendarDateFields field, int32_t value) { return field == UCAL_MONTH ? value + 1L : value; }

bool fitsICU(long value) { return value > INT32_MIN + 1 && value < INT32_MAX - 1; }

UDate milliseconds(const NSDate& date) { return date.timeIntervalSince1970() * 1000.0; }

}  // namespace

NSCalendar::NSCalendar(Ref<NSTimeZone> zone) : timeZone_(std::move(zone)) {}

NSCalendar::~NSCalendar() = default;

Ref<NSCalendar> NSCalendar::currentCalendar() { return make<NSCalendar>(NSTimeZone::defaultTimeZone()); }

Ref<NSCalendar> NSCalendar::calendarWithIdentifier(std::string_view identifier) {
    if (identifier != NSCalendarIdentifierGregorian) return nullptr;
    return currentCalendar();
}

void NSCalendar::setTimeZone(Ref<NSTimeZone> zone) {
    timeZone_ = zone ? std::move(zone) : NSTimeZone::defaultTimeZone();
}

std::unique_ptr<icu::Calendar> NSCalendar::calendarAt(const NSDate& date) const {
    UErrorCode status = U_ZERO_ERROR;
    auto calendar = std::make_unique<icu::GregorianCalendar>(timeZone_->icuTimeZone(), status);
    calendar->setTime(milliseconds(date), status);
    return calendar;
}

NSDateComponents NSCalendar::components(NSCalendarUnit units, const NSDate& date) const {
    auto calendar = calendarAt(date);
    NSDateComponents components;
    for (const auto& field : fields) {
        if (!(units & field.unit)) continue;
        UErrorCode status = U_ZERO_ERROR;
        int32_t value = calendar->get(field.icuField, status);
        if (U_SUCCESS(status)) components.*field.member = fromICU(field.icuField, value);
    }
    return components;
}

NSDateComponents NSCalendar::components(NSCalendarUnit units, const NSDate& from, const NSDate& to) const {
    auto calendar = calendarAt(from);
    NSDateComponents components;
    for (const auto& field : fields) {
        if (!(units & field.unit) || field.unit == NSCalendarUnitWeekday) continue;
        UErrorCode status = U_ZERO_ERROR;
        int32_t value = calendar->fieldDifference(milliseconds(to), field.icuField, status);
        if (U_SUCCESS(status)) components.*field.member = value;
    }
    return components;
}

std::optional<NSDate> NSCalendar::dateFromComponents(const NSDateComponents& components) const {
    auto calendar = calendarAt(NSDate());
    calendar->clear();
    const std::pair<long, long> lowest[] = {
        {components.era, 1}, {components.year, 1}, {components.month, 1}, {components.day, 1},
        {components.hour, 0}, {components.minute, 0}, {components.second, 0},
    };
    for (std::size_t i = 0; i < std::size(lowest); ++i) {
        long value = lowest[i].first == NSDateComponentUndefined ? lowest[i].second : lowest[i].first;
        if (!fitsICU(value)) return std::nullopt;
        if (fields[i].icuField == UCAL_MONTH) --value;
        calendar->set(fields[i].icuField, static_cast<int32_t>(value));
    }
    UErrorCode status = U_ZERO_ERROR;
    UDate time = calendar->getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    return NSDate(time / 1000.0);
}

std::optional<NSDate> NSCalendar::dateByAddingComponents(const NSDateComponents& components,
                                                         const NSDate& date) const {
    auto calendar = calendarAt(date);
    UErrorCode status = U_ZERO_ERROR;
    for (const auto& field : fields) {
        long amount = components.*field.member;
        if (amount == NSDateComponentUndefined || field.unit == NSCalendarUnitWeekday) continue;
        if (!fitsICU(amount)) return std::nullopt;
        calendar->add(field.icuField, static_cast<int32_t>(amount), status);
    }
    UDate time = calendar->getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    return NSDate(time / 1000.0);
}

std::size_t NSCalendar::ordinalityOfUnit(NSCalendarUnit smaller, NSCalendarUnit larger, const NSDate& date) const {
    struct Ordinal {
        NSCalendarUnit smaller, larger;
        UCalendarDateFields field;
        int32_t base;  // what the ICU field holds for the first position
    };
    static constexpr Ordinal ordinals[] = {
        {NSCalendarUnitDay, NSCalendarUnitMonth, UCAL_DATE, 1},
        {NSCalendarUnitDay, NSCalendarUnitYear, UCAL_DAY_OF_YEAR, 1},
        {NSCalendarUnitMonth, NSCalendarUnitYear, UCAL_MONTH, 0},
        {NSCalendarUnitYear, NSCalendarUnitEra, UCAL_YEAR, 1},
        {NSCalendarUnitHour, NSCalendarUnitDay, UCAL_HOUR_OF_DAY, 0},
        {NSCalendarUnitMinute, NSCalendarUnitHour, UCAL_MINUTE, 0},
        {NSCalendarUnitSecond, NSCalendarUnitMinute, UCAL_SECOND, 0},
    };
    for (const auto& ordinal : ordinals) {
        if (ordinal.smaller != smaller || ordinal.larger != larger) continue;
        UErrorCode status = U_ZERO_ERROR;
        int32_t value = calendarAt(date)->get(ordinal.field, status);
        if (U_FAILURE(status)) break;
        return static_cast<std::size_t>(value - ordinal.base + 1);
    }
    return NSNotFound;
}

bool NSCalendar::isDateInToday(const NSDate& date) const { return isDateInSameDayAsDate(date, NSDate::date()); }

bool NSCalendar::isDateInSameDayAsDate(const NSDate& date, const NSDate& other) const {
    auto units = NSCalendarUnitEra | NSCalendarUnitYear | NSCalendarUnitMonth | NSCalendarUnitDay;
    return components(units, date) == components(units, other);
}
