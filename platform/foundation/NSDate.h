#pragma once

#include <string>

// A point in time, as seconds since 1970-01-01 00:00:00 UTC.
class NSDate {
public:
    NSDate() = default;
    explicit NSDate(double secondsSince1970) : seconds_(secondsSince1970) {}

    // The wall-clock now (not the run loop's test clock).
    static NSDate date();
    static NSDate dateWithTimeIntervalSince1970(double seconds) { return NSDate(seconds); }
    static NSDate distantFuture();
    static NSDate distantPast();

    double timeIntervalSince1970() const { return seconds_; }
    double timeIntervalSinceDate(const NSDate& other) const { return seconds_ - other.seconds_; }
    double timeIntervalSinceNow() const { return seconds_ - date().seconds_; }
    NSDate dateByAddingTimeInterval(double seconds) const { return NSDate(seconds_ + seconds); }

    // "2026-12-07 04:07:18 +0000", as the platform prints dates; an instant
    // beyond the calendar's years prints as its count of seconds.
    std::string description() const;

    // Whether seconds since 1970 name an instant that `time_t` holds: what
    // readers of stored dates accept (NaN, infinities and 1e300 are no time).
    static bool isRepresentable(double secondsSince1970);

    auto operator<=>(const NSDate&) const = default;

private:
    double seconds_ = 0;
};
