#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "foundation/NSObject.h"
#include "foundation/NSUUID.h"

// Facts about the device that every event carries. The helper owns one,
// collected when it is made; the shared one keeps the fingerprint and a copy
// of the carrier code. Fields are guarded: the carrier lookup fills
// `mccmnc` later, from the main queue.
class RPOUTAEnv : public NSObject {
public:
    static Ref<RPOUTAEnv> getInstance();
    std::string className() const override { return "RPOUTAEnv"; }

#define RPOUTA_ENV_FIELD(type, name, setter)    \
public:                                         \
    type name() const {                         \
        std::lock_guard lock(mutex_);           \
        return name##_;                         \
    }                                           \
    void setter(type value) {                   \
        std::lock_guard lock(mutex_);           \
        name##_ = std::move(value);             \
    }                                           \
                                                \
private:                                        \
    type name##_{};

    RPOUTA_ENV_FIELD(std::string, platform, setPlatform)
    RPOUTA_ENV_FIELD(std::string, os_version, setOs_version)
    RPOUTA_ENV_FIELD(std::string, language, setLanguage)
    RPOUTA_ENV_FIELD(std::string, resolution, setResolution)
    RPOUTA_ENV_FIELD(std::string, deviceid, setDeviceid)
    RPOUTA_ENV_FIELD(std::optional<std::string>, mccmnc, setMccmnc)
    RPOUTA_ENV_FIELD(std::string, timezone, setTimezone)
    RPOUTA_ENV_FIELD(std::string, app_version, setApp_version)
    RPOUTA_ENV_FIELD(std::string, sdk_version, setSdk_version)
    RPOUTA_ENV_FIELD(std::string, devicename, setDevicename)
    RPOUTA_ENV_FIELD(std::string, modulename, setModulename)
    RPOUTA_ENV_FIELD(Ref<NSUUID>, ifa, setIfa)
    RPOUTA_ENV_FIELD(Ref<NSUUID>, ifv, setIfv)
    RPOUTA_ENV_FIELD(std::string, wf, setWf)
    RPOUTA_ENV_FIELD(std::vector<std::string>, instantEventList, setInstantEventList)
    RPOUTA_ENV_FIELD(std::vector<std::string>, ignoreEventList, setIgnoreEventList)
    RPOUTA_ENV_FIELD(std::optional<std::string>, tmpID, setTmpID)

#undef RPOUTA_ENV_FIELD

private:
    mutable std::mutex mutex_;
};
