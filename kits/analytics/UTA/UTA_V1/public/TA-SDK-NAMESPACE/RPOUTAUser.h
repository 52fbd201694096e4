#pragma once

#include <cstdint>
#include <string>

#include "foundation/NSObject.h"
// Stored beside the user row by the same store.
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTADataConfig.h"

// The analytics user: the device identifier, its type (0 on the day it was
// made, 1 once seen on another day, plus 2 after an app version change),
// the tag time in seconds since 1970 and the app version it was seen with.
class RPOUTAUser : public NSObject {
public:
    std::string className() const override { return "RPOUTAUser"; }

    std::int32_t userType = 0;
    std::uint32_t tagTime = 0;
    std::string uid;
    std::string appVer;
};
