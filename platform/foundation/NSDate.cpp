#include "foundation/NSDate.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

NSDate NSDate::date() {
    using namespace std::chrono;
    return NSDate(duration<double>(system_clock::now().time_since_epoch()).count());
}

// The platform's distant dates: year 4001 and year 0001, in seconds since 1970.
NSDate NSDate::distantFuture() { return NSDate(64092211200.0); }
NSDate NSDate::distantPast() { return NSDate(-62135769600.0); }

bool NSDate::isRepresentable(double secondsSince1970) {
    // time_t is 64 bits: [-2^63, 2^63), both bounds exact as doubles.
    constexpr double bound = 9223372036854775808.0;
    return secondsSince1970 >= -bound && secondsSince1970 < bound;  // false for NaN
}

std::string NSDate::description() const {
    char text[64];
    if (isRepresentable(seconds_)) {
        std::time_t whole = static_cast<std::time_t>(std::floor(seconds_));
        std::tm parts{};
        if (gmtime_r(&whole, &parts)) {
            std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S +0000", &parts);
            return text;
        }
    }
    std::snprintf(text, sizeof text, "%.17g seconds since 1970-01-01 00:00:00 +0000", seconds_);
    return text;
}
