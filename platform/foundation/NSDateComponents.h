#pragma once

#include <climits>

// Marks a field of NSDateComponents that is not set.
inline constexpr long NSDateComponentUndefined = LONG_MAX;

// The calendar fields of a date, or an amount of each to add. Fields not set
// hold NSDateComponentUndefined. Weekday 1 is Sunday.
struct NSDateComponents {
    long era = NSDateComponentUndefined;
    long year = NSDateComponentUndefined;
    long month = NSDateComponentUndefined;
    long day = NSDateComponentUndefined;
    long hour = NSDateComponentUndefined;
    long minute = NSDateComponentUndefined;
    long second = NSDateComponentUndefined;
    long weekday = NSDateComponentUndefined;

    bool operator==(const NSDateComponents&) const = default;
};
