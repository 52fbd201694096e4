#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The last error of the login layer and of the share layer, kept for later
// inquiry.
class NBOError {
public:
    NBOError() = delete;

    static void setLastOAuthError(std::int32_t code, std::optional<std::string> msg);
    static void setLastPalApiError(std::int32_t code, std::optional<std::string> msg);
    // Nothing before the first error.
    static std::optional<std::string> getLastOAuthError();
    static std::optional<std::string> getLastPalApiError();
    static std::int64_t lastOAuthErrorCode();
    static std::int64_t lastPalApiErrorCode();
};
