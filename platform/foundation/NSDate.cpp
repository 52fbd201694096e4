#include "foundation/NSDate.h"

#include <chrono>
#include <cmath>
#include <ctime>

NSDate NSDate::date() {
    using namespace std::chrono;
    return NSDate(duration<double>(system_clock::now().time_since_epoch()).count());
}

// The platform's distant dates: year 4001 and year 0001, in seconds since 1970.
NSDate NSDate::distantFuture() { return NSDate(64092211200.0); }
NSDate NSDate::distantPast() { return NSDate(-62135769600.0); }

std::string NSDate::description() const {
    std::time_t whole = static_cast<std::time_t>(std::floor(seconds_));
    std::tm parts{};
    gmtime_r(&whole, &parts);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S +0000", &parts);
    return text;
}
