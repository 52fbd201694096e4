#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <unicode/uversion.h>

#include "foundation/NSDate.h"
#include "foundation/NSLocale.h"
#include "foundation/NSObject.h"
#include "foundation/NSTimeZone.h"

U_NAMESPACE_BEGIN
class SimpleDateFormat;
U_NAMESPACE_END

// Writes and reads dates with a Unicode date pattern ("yyyy-MM-dd HH:mm:ss",
// "yyyyMMddHHmmss", "MM-dd") in a time zone and locale. A new formatter
// takes the default time zone and the current locale. Not for use from two
// threads at once.
class NSDateFormatter : public NSObject {
public:
    NSDateFormatter();
    ~NSDateFormatter() override;

    const std::string& dateFormat() const { return dateFormat_; }
    void setDateFormat(std::string_view pattern);
    Ref<NSTimeZone> timeZone() const { return timeZone_; }
    // Nothing restores the default time zone.
    void setTimeZone(Ref<NSTimeZone> zone);
    Ref<NSLocale> locale() const { return locale_; }
    // Nothing restores the current locale.
    void setLocale(Ref<NSLocale> locale);

    std::string stringFromDate(const NSDate& date) const;
    // The date the whole text stands for under the pattern; nothing when the
    // text does not match it (other characters, trailing text, a field out of
    // range such as month 13). Fields the pattern lacks are taken from
    // 2000-01-01 00:00:00 in the formatter's zone.
    std::optional<NSDate> dateFromString(std::string_view text) const;

private:
    // The ICU formatter for the current settings, built on first use.
    icu::SimpleDateFormat* format() const;

    std::string dateFormat_;
    Ref<NSTimeZone> timeZone_;
    Ref<NSLocale> locale_;
    mutable std::unique_ptr<icu::SimpleDateFormat> format_;
};
