#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "foundation/Value.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"

// A small class-method facade over operations of the library.
class RPOUTABaseFunction {
public:
    // Compact JSON text of a dictionary or array ("{}" on failure).
    static std::string objToJson(const Value& object);
    // While `debugEnable` is on, logs the message behind the tag "[RPORPOUTADebug]".
    template <class... Args> static void logDebug(std::string_view format, const Args&... args) {
        if (!RPOUTAConfig::getInstance()->debugEnable()) return;
        NSLog(NSString::stringWithFormat("[%@Debug] %@", std::string("RPORPOUTA"),
                                         NSString::stringWithFormat(format, args...)));
    }
    static std::optional<std::string> md5encrypt(const std::optional<std::string>& text);
    static Dictionary fetchSSIDInfo();
    // The store's ".uta" folder.
    static std::string getUTAStorePath();
};
