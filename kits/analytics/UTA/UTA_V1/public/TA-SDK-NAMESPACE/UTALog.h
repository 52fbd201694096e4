#pragma once

#include <string>
#include <string_view>

#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"

// The analytics library's debug sink: while `debugEnable` is on, one line
// "[UTA] <message>" on the system log; otherwise nothing.
template <class... Args> void UTALog(std::string_view format, const Args&... args) {
    if (!RPOUTAConfig::getInstance()->debugEnable()) return;
    NSLog("[UTA] " + NSString::stringWithFormat(format, args...));
}
