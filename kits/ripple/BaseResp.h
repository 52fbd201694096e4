#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/NSObject.h"

// The base of every response: the outcome code (0 success; other values as
// the Ripple app sent them), its text, and a kind.
class BaseResp : public NSObject {
public:
    std::int32_t errCode() const { return errCode_; }
    void setErrCode(std::int32_t code) { errCode_ = code; }
    const std::optional<std::string>& errStr() const { return errStr_; }
    void setErrStr(std::optional<std::string> text) { errStr_ = std::move(text); }
    std::int32_t type() const { return type_; }
    void setType(std::int32_t type) { type_ = type; }

private:
    std::int32_t errCode_ = 0;
    std::optional<std::string> errStr_;
    std::int32_t type_ = 0;
};
