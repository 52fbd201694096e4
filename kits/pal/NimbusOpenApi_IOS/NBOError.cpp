#include "kits/pal/NimbusOpenApi_IOS/NBOError.h"

namespace {

struct LastError {
    std::int64_t code = 0;
    std::optional<std::string> msg;
};

LastError& lastOAuth() {
    static LastError error;
    return error;
}

LastError& lastPalApi() {
    static LastError error;
    return error;
}

}  // namespace

void NBOError::setLastOAuthError(std::int32_t code, std::optional<std::string> msg) {
    lastOAuth() = {code, std::move(msg)};
}

void NBOError::setLastPalApiError(std::int32_t code, std::optional<std::string> msg) {
    lastPalApi() = {code, std::move(msg)};
}

std::optional<std::string> NBOError::getLastOAuthError() { return lastOAuth().msg; }
std::optional<std::string> NBOError::getLastPalApiError() { return lastPalApi().msg; }
std::int64_t NBOError::lastOAuthErrorCode() { return lastOAuth().code; }
std::int64_t NBOError::lastPalApiErrorCode() { return lastPalApi().code; }
