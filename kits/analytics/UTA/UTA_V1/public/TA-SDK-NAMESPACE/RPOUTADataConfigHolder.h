#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTADataConfig.h"

// The online configuration the report server sends back: the held library
// record (type 1), whose keys switch the service's settings, and the held
// application record (type 2), a free dictionary of application properties.
// A record replaces the held one only with a higher version; it is then
// stored and applied again at every start.
class RPOUTADataConfigHolder : public NSObject {
public:
    // Makes the holder once: it applies the records stored by earlier runs,
    // then calls `block`. Later calls answer the same holder.
    static Ref<RPOUTADataConfigHolder> initSingleton(const std::function<void()>& block);
    // The holder, or nothing before `initSingleton`.
    static Ref<RPOUTADataConfigHolder> getInstance();
    std::string className() const override { return "RPOUTADataConfigHolder"; }

    // Parses a record's content and applies it; a content that is not a JSON
    // object is logged and reported as an error event.
    void setConfig(const Ref<RPOUTADataConfig>& config);
    // The held record of type 1 or 2; nothing for other types.
    Ref<RPOUTADataConfig> getConfig(std::uint32_t type) const;
    // Takes a record of a server answer when its version is above the held one.
    void updateConfig(const Value& record, std::uint32_t type);
    // A decoded server answer: its records (unless it carries "mid"), then the
    // once-per-process "RPOUTA_CONFIG_UPDATED" notification.
    void updateOnlineConfig(const Value& answer);
    // The versions held, as "cfg": {"1": {"v": ...}, "2": {...}}.
    void encode(Dictionary& dictionary) const;
    // An application property, or nil.
    Value getAppProperty(const std::string& key) const;

private:
    void applyLibraryKeys(const Dictionary& content);

    mutable std::mutex mutex_;
    Ref<RPOUTADataConfig> sdkCfg_;
    Ref<RPOUTADataConfig> appCfg_;
    Dictionary appProperties_;
};
