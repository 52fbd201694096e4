#pragma once

#include <cstdint>

#include "foundation/NSObject.h"

// The base of the requests a host app sends to Pal; `type` tells the kind
// (1 a share).
class PalBaseReq : public NSObject {
public:
    std::int32_t type() const { return type_; }
    void setType(std::int32_t type) { type_ = type; }

private:
    std::int32_t type_ = 0;
};
