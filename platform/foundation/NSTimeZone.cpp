#include "foundation/NSTimeZone.h"

#include <cstdio>
#include <mutex>

#include <unicode/timezone.h>
#include <unicode/unistr.h>

namespace {

bool isKnown(const icu::TimeZone* zone) {
    icu::UnicodeString id;
    return zone && zone->getID(id) != icu::UnicodeString(UCAL_UNKNOWN_ZONE_ID, -1, US_INV);
}

std::mutex defaultZoneLock;
Ref<NSTimeZone> defaultZone;

}  // namespace

NSTimeZone::NSTimeZone(std::unique_ptr<icu::TimeZone> zone) : zone_(std::move(zone)) {}

NSTimeZone::~NSTimeZone() = default;

Ref<NSTimeZone> NSTimeZone::timeZoneWithName(std::string_view name) {
    if (name.empty()) return nullptr;
    auto id = icu::UnicodeString::fromUTF8(icu::StringPiece(name.data(), static_cast<int32_t>(name.size())));
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(id));
    if (!isKnown(zone.get())) return nullptr;
    return make<NSTimeZone>(std::move(zone));
}

Ref<NSTimeZone> NSTimeZone::systemTimeZone() {
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::detectHostTimeZone());
    if (!isKnown(zone.get())) return timeZoneWithName("GMT");
    return make<NSTimeZone>(std::move(zone));
}

Ref<NSTimeZone> NSTimeZone::defaultTimeZone() {
    std::lock_guard lock(defaultZoneLock);
    if (!defaultZone) defaultZone = systemTimeZone();
    return defaultZone;
}

void NSTimeZone::setDefaultTimeZone(Ref<NSTimeZone> zone) {
    std::lock_guard lock(defaultZoneLock);
    defaultZone = std::move(zone);
}

std::string NSTimeZone::name() const {
    icu::UnicodeString id;
    std::string text;
    zone_->getID(id).toUTF8String(text);
    return text;
}

long NSTimeZone::secondsFromGMTForDate(const NSDate& date) const {
    int32_t raw = 0, daylight = 0;
    UErrorCode status = U_ZERO_ERROR;
    zone_->getOffset(date.timeIntervalSince1970() * 1000.0, false, raw, daylight, status);
    if (U_FAILURE(status)) return 0;
    return (raw + daylight) / 1000;
}

std::string NSTimeZone::description() const {
    long offset = secondsFromGMT();
    long magnitude = offset < 0 ? -offset : offset;
    char sign = offset < 0 ? '-' : '+';
    char text[160];
    if (magnitude % 3600)
        std::snprintf(text, sizeof text, "%s (GMT%c%ld:%02ld) offset %ld", name().c_str(), sign, magnitude / 3600,
                      magnitude % 3600 / 60, offset);
    else
        std::snprintf(text, sizeof text, "%s (GMT%c%ld) offset %ld", name().c_str(), sign, magnitude / 3600, offset);
    return text;
}

bool NSTimeZone::isEqual(const NSObject& other) const {
    auto zone = dynamic_cast<const NSTimeZone*>(&other);
    return zone && *zone->zone_ == *zone_;
}
