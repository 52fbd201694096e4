#pragma once

#include <cstdint>
#include <string>

#include "foundation/NSObject.h"

// The base of every request the kit carries between the host app and the
// Ripple app.
class BaseReq : public NSObject {
public:
    std::int32_t type() const { return type_; }
    void setType(std::int32_t type) { type_ = type; }
    const std::string& openID() const { return openID_; }
    void setOpenID(std::string openID) { openID_ = std::move(openID); }

private:
    std::int32_t type_ = 0;
    std::string openID_;
};
