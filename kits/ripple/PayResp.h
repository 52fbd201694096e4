#pragma once

#include <optional>
#include <string>

#include "kits/ripple/BaseResp.h"

// The Ripple app's answer to a payment.
class PayResp : public BaseResp {
public:
    const std::optional<std::string>& returnKey() const { return returnKey_; }
    void setReturnKey(std::optional<std::string> key) { returnKey_ = std::move(key); }

private:
    std::optional<std::string> returnKey_;
};
