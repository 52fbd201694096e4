#include "foundation/NSDateFormatter.h"

#include <unicode/calendar.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

namespace {

icu::UnicodeString unicode(std::string_view text) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

}  // namespace

NSDateFormatter::NSDateFormatter()
    : timeZone_(NSTimeZone::defaultTimeZone()), locale_(NSLocale::currentLocale()) {}

NSDateFormatter::~NSDateFormatter() = default;

void NSDateFormatter::setDateFormat(std::string_view pattern) {
    dateFormat_ = pattern;
    format_.reset();
}

void NSDateFormatter::setTimeZone(Ref<NSTimeZone> zone) {
    timeZone_ = zone ? std::move(zone) : NSTimeZone::defaultTimeZone();
    format_.reset();
}

void NSDateFormatter::setLocale(Ref<NSLocale> locale) {
    locale_ = locale ? std::move(locale) : NSLocale::currentLocale();
    format_.reset();
}

icu::SimpleDateFormat* NSDateFormatter::format() const {
    if (format_) return format_.get();
    UErrorCode status = U_ZERO_ERROR;
    auto format = std::make_unique<icu::SimpleDateFormat>(
        unicode(dateFormat_), icu::Locale::createFromName(locale_->localeIdentifier().c_str()), status);
    if (U_FAILURE(status)) return nullptr;
    format->setTimeZone(timeZone_->icuTimeZone());
    format->setLenient(false);
    format_ = std::move(format);
    return format_.get();
}

std::string NSDateFormatter::stringFromDate(const NSDate& date) const {
    auto formatter = format();
    if (!formatter) return {};
    icu::UnicodeString text;
    formatter->format(date.timeIntervalSince1970() * 1000.0, text);
    std::string utf8;
    return text.toUTF8String(utf8);
}

std::optional<NSDate> NSDateFormatter::dateFromString(std::string_view text) const {
    auto formatter = format();
    if (!formatter || text.empty()) return std::nullopt;
    // Fields the pattern leaves out come from 2000-01-01 00:00:00, as on the platform.
    std::unique_ptr<icu::Calendar> calendar(formatter->getCalendar()->clone());
    calendar->clear();
    calendar->set(2000, UCAL_JANUARY, 1, 0, 0, 0);
    auto input = unicode(text);
    icu::ParsePosition position(0);
    formatter->parse(input, *calendar, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != input.length()) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    UDate milliseconds = calendar->getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    return NSDate(milliseconds / 1000.0);
}
