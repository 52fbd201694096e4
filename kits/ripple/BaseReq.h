#pragma once

#include <cstdint>

#include "foundation/NSObject.h"
#include "kits/ripple/RPProperty.h"

// The base of every request the kit carries between the host app and the
// Ripple app. `type` is the web-view kind of an RPOpenTypeWebViewReq (1 to 5).
class BaseReq : public NSObject {
    RP_PROPERTY(std::int32_t, type, setType)
    RP_PROPERTY(RPText, openID, setOpenID)
};
