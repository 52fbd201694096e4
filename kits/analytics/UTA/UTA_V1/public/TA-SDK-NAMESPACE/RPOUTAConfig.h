#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "foundation/NSObject.h"

// The analytics library's one settings object: every limit, switch and
// identity text the service, the events, the store and the report channel
// read at the moment of use. Setters store their argument unchanged.
// Numbers and switches are atomic; texts are copied under a lock.
class RPOUTAConfig : public NSObject {
public:
    static Ref<RPOUTAConfig> getInstance();
    std::string className() const override { return "RPOUTAConfig"; }

#define RPOUTA_ATOMIC_PROPERTY(type, name, setter, initial)              \
public:                                                                  \
    type name() const { return name##_.load(); }                         \
    void setter(type value) { name##_.store(value); }                    \
                                                                         \
private:                                                                 \
    std::atomic<type> name##_{initial};

#define RPOUTA_TEXT_PROPERTY(name, setter)                               \
public:                                                                  \
    std::optional<std::string> name() const {                            \
        std::lock_guard lock(textMutex_);                                \
        return name##_;                                                  \
    }                                                                    \
    void setter(std::optional<std::string> value) {                      \
        std::lock_guard lock(textMutex_);                                \
        name##_ = std::move(value);                                      \
    }                                                                    \
                                                                         \
private:                                                                 \
    std::optional<std::string> name##_;

    RPOUTA_ATOMIC_PROPERTY(bool, debugEnable, setDebugEnable, false)
    RPOUTA_ATOMIC_PROPERTY(std::uint32_t, sessionTimeoutSecs, setSessionTimeoutSecs, 30)
    RPOUTA_ATOMIC_PROPERTY(std::int32_t, reportStrategy, setReportStrategy, 3)
    RPOUTA_ATOMIC_PROPERTY(bool, autoTM, setAutoTM, true)
    RPOUTA_ATOMIC_PROPERTY(bool, autoTrackPage, setAutoTrackPage, true)
    RPOUTA_TEXT_PROPERTY(appkey, setAppkey)
    RPOUTA_TEXT_PROPERTY(channel, setChannel)
    RPOUTA_ATOMIC_PROPERTY(std::uint32_t, maxStoreEventCount, setMaxStoreEventCount, 1024)
    RPOUTA_ATOMIC_PROPERTY(std::uint32_t, maxLoadEventCount, setMaxLoadEventCount, 30)
    RPOUTA_ATOMIC_PROPERTY(std::uint32_t, minBatchReportCount, setMinBatchReportCount, 30)
    RPOUTA_ATOMIC_PROPERTY(std::uint32_t, maxSendRetryCount, setMaxSendRetryCount, 3)
    RPOUTA_ATOMIC_PROPERTY(std::uint32_t, sendPeriodMinutes, setSendPeriodMinutes, 1440)
    RPOUTA_ATOMIC_PROPERTY(std::uint32_t, maxParallelTimingEvents, setMaxParallelTimingEvents, 1024)
    RPOUTA_ATOMIC_PROPERTY(bool, smartReporting, setSmartReporting, true)
    RPOUTA_ATOMIC_PROPERTY(bool, autoExceptionCaught, setAutoExceptionCaught, true)
    RPOUTA_ATOMIC_PROPERTY(std::uint32_t, maxReportEventLength, setMaxReportEventLength, 4096)
    RPOUTA_ATOMIC_PROPERTY(bool, statEnable, setStatEnable, true)
    RPOUTA_TEXT_PROPERTY(ifa, setIfa)
    RPOUTA_TEXT_PROPERTY(customerAppVersion, setCustomerAppVersion)
    // All bits set (-1): no cap.
    RPOUTA_ATOMIC_PROPERTY(std::int32_t, maxSessionStatReportCount, setMaxSessionStatReportCount, -1)
    RPOUTA_TEXT_PROPERTY(statReportURL, setStatReportURL)
    RPOUTA_TEXT_PROPERTY(pushDeviceToken, setPushDeviceToken)
    RPOUTA_TEXT_PROPERTY(op, setOp)
    RPOUTA_TEXT_PROPERTY(cn, setCn)
    RPOUTA_TEXT_PROPERTY(customerUserID, setCustomerUserID)
    RPOUTA_TEXT_PROPERTY(account, setAccount)
    RPOUTA_ATOMIC_PROPERTY(std::int8_t, accountType, setAccountType, 0)
    RPOUTA_TEXT_PROPERTY(accountExt, setAccountExt)
    RPOUTA_TEXT_PROPERTY(pal, setPal)

#undef RPOUTA_ATOMIC_PROPERTY
#undef RPOUTA_TEXT_PROPERTY

public:
    RPOUTAConfig();

    // The application property `key` of the online configuration (type 2),
    // else `defaultValue`.
    std::string getCustomProperty(const std::string& key, const std::string& defaultValue) const;

private:
    mutable std::mutex textMutex_;
};
