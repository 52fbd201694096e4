#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <unicode/uversion.h>

#include "foundation/NSDate.h"
#include "foundation/NSObject.h"

U_NAMESPACE_BEGIN
class TimeZone;
U_NAMESPACE_END

// A time zone by its IANA name ("Asia/Shanghai", "UTC", "GMT", "GMT+08:00"),
// with the offset rules of the system's time-zone data (ICU).
class NSTimeZone : public NSObject {
public:
    // Use the factories; the constructor is public only for make<T>().
    explicit NSTimeZone(std::unique_ptr<icu::TimeZone> zone);
    ~NSTimeZone() override;

    // Nothing for a name the time-zone data does not know.
    static Ref<NSTimeZone> timeZoneWithName(std::string_view name);
    // The machine's zone (TZ, else /etc/localtime; GMT when neither tells).
    static Ref<NSTimeZone> systemTimeZone();
    // The zone that new formatters and calendars take: the system zone unless
    // set otherwise (tests pin it).
    static Ref<NSTimeZone> defaultTimeZone();
    static void setDefaultTimeZone(Ref<NSTimeZone> zone);
    static Ref<NSTimeZone> localTimeZone() { return defaultTimeZone(); }

    std::string name() const;
    // The offset from GMT in force at `date`, daylight saving included.
    long secondsFromGMTForDate(const NSDate& date) const;
    long secondsFromGMT() const { return secondsFromGMTForDate(NSDate::date()); }

    const icu::TimeZone& icuTimeZone() const { return *zone_; }

    // "Asia/Shanghai (GMT+8) offset 28800"
    std::string description() const override;
    bool isEqual(const NSObject& other) const override;

private:
    std::unique_ptr<icu::TimeZone> zone_;
};
