#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "foundation/NSData.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEnv.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAUser.h"
#include "system/CTTelephonyNetworkInfo.h"

// The library's device helper: the environment collected once at creation,
// the network questions, and the byte-level tools of the report frames
// (RC4, gzip, MD5 text, JSON text).
class RPOUTAHelper : public NSObject {
public:
    static Ref<RPOUTAHelper> getInstance();
    std::string className() const override { return "RPOUTAHelper"; }

    Ref<RPOUTAEnv> getEnv() const { return env_; }
    // The analytics user from the store, its type brought up to date (a new
    // calendar day, a new app version) and stored again when it changed.
    Ref<RPOUTAUser> getUser();
    bool checkUTAEnable() const;
    void setUTAEnableFlag(bool flag) { UTAEnableFlag_ = flag; }
    bool reportNewCrashReport() const { return reportNewCrashReport_; }
    void setReportNewCrashReport(bool flag) { reportNewCrashReport_ = flag; }
    std::string speedTestStr() const;
    void setSpeedTestStr(std::string text);

    // "ss" (network name) and "bs" (access point), "Not Found" when unknown.
    Dictionary fetchSSIDInfo() const;
    // "WIFI", "CellNetwork" or "".
    std::string getNetworkType() const;
    // Boot time in microseconds since 1970; 0 when unknown.
    static std::int64_t getBootTime();
    static bool isJB();
    // Calls `block` on the main queue with the process's telephony information.
    static void getCTTelephonyNetworkInfo(std::function<void(const Ref<CTTelephonyNetworkInfo>&)> block);

    // RC4 in place with the library's key (deciphers as well).
    static void ChiperRC4(NSData& data);
    // 0 and the gzip stream in `out`, or -1.
    static int GZip(const NSData& data, NSData* out);
    // 0 and the inflated bytes in `out` (gzip or zlib input), or -1 (also
    // when they would be longer than `limit`).
    static int GUnzip(const NSData& data, NSData* out, std::size_t limit = SIZE_MAX);
    // 32 lower-case hexadecimal characters; nothing for a missing or empty text.
    static std::optional<std::string> md5encrypt(const std::optional<std::string>& text);
    // Compact JSON text of a dictionary or array; "{}" on any failure. A
    // text or key that is not well-formed UTF-8 is written with each byte
    // that starts no well-formed sequence as U+FFFD, and a value JSON has no
    // form for (NaN, an infinity, a date, data) as the text "%@" gives for
    // it (an object as null), so that one such value does not cost the
    // whole object.
    std::string getJson(const Value& object) const;

    RPOUTAHelper();

protected:
    void didCreate() override;

private:
    void collectEnvironment();

    Ref<RPOUTAEnv> env_ = make<RPOUTAEnv>();
    std::atomic<bool> UTAEnableFlag_{false};  // set on start
    std::atomic<bool> reportNewCrashReport_{false};
    mutable std::mutex mutex_;
    std::string speedTestStr_;
    Ref<RPOUTAUser> user_;
};

// Whether a text, or a text or key anywhere in an array or dictionary, is
// not well-formed UTF-8.
bool UTAHasMalformedText(const Value& value);
// Whether a value, or one anywhere in an array or dictionary, has no JSON
// form: NaN, an infinity, a date, data, an object (or a missing element).
bool UTAHasUnwritableValue(const Value& value);
