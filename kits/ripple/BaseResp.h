#pragma once

#include <cstdint>

#include "foundation/NSObject.h"
#include "kits/ripple/RPProperty.h"

// The base of every response: the outcome code, its text, and a kind. The
// kit itself sets 0 (success), -1 (no outcome: an authorisation answer
// without a code, or a reply of the Ripple app that could not be read), -2
// (the user gave up the web authorisation) and -4 (the user denied it);
// other codes are passed on as the Ripple app sent them.
class BaseResp : public NSObject {
public:
    static constexpr std::int32_t kSuccess = 0;
    static constexpr std::int32_t kFailed = -1;
    static constexpr std::int32_t kUserCancelled = -2;
    static constexpr std::int32_t kAuthDenied = -4;

    RP_PROPERTY(std::int32_t, errCode, setErrCode)
    RP_PROPERTY(RPText, errStr, setErrStr)
    RP_PROPERTY(std::int32_t, type, setType)
};
