#include "foundation/NSTimeZone.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const NSDate zoneInstant(1700000000);  // 2023-11-14 22:13:20 UTC

TEST(NSTimeZone, KnowsZonesByNameAndTheirOffsets) {
    auto shanghai = NSTimeZone::timeZoneWithName("Asia/Shanghai");
    ASSERT_TRUE(shanghai);
    EXPECT_EQ(shanghai->name(), "Asia/Shanghai");
    EXPECT_EQ(shanghai->secondsFromGMTForDate(zoneInstant), 8 * 3600);
    EXPECT_EQ(NSTimeZone::timeZoneWithName("UTC")->secondsFromGMTForDate(zoneInstant), 0);
    EXPECT_EQ(NSTimeZone::timeZoneWithName("GMT")->secondsFromGMTForDate(zoneInstant), 0);
    auto newYork = NSTimeZone::timeZoneWithName("America/New_York");
    EXPECT_EQ(newYork->secondsFromGMTForDate(zoneInstant), -5 * 3600);
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
    EXPECT_EQ(NSTimeZone::systemTimeZone()->secondsFromGMTForDate(zoneInstant), 8 * 3600);
    if (saved) setenv("TZ", restore.c_str(), 1);
    else unsetenv("TZ");
}

}  // namespace
