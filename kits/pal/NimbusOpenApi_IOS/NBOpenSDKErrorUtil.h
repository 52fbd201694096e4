#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/NSError.h"
#include "kits/pal/NimbusOpenApi_IOS/APIResponse.h"

// The kit's SDK error codes (-2 to 13 and 0x10000) with their fixed
// messages, and the mapping of server "ret" codes and URL-loading errors
// onto them.
class NBOpenSDKErrorUtil {
public:
    NBOpenSDKErrorUtil() = delete;

    static constexpr const char* kExtraInfoKey = "NBOpenSDKErrorExtraInfoKey";

    // Nothing for a code without a message.
    static std::optional<std::string> openSDKErrorMsgForErrorCode(std::int32_t code);
    // {"ret": code, "msg": message, "NBOpenSDKErrorExtraInfoKey": extra};
    // a code without a message becomes 1.
    static Dictionary openSDKErrorWithCode(std::int32_t code, const Value& extraInfo);
    static Dictionary openSDKErrorWithCommonServerCode(std::int64_t serverCode, const Value& extraInfo);
    static Dictionary openSDKErrorFromOSError(const Ref<NSError>& error);
    static std::int32_t filterURLErrorCode(long urlErrorCode);

    // The "ret" of an answer or error map, the one reading of it: nothing
    // when it is missing or not a number. A number that is not whole (0.5,
    // -0.9) is no code of the services and reads as kNotAWholeRet, a failure
    // like any code outside the tables, never as the 0 it would truncate to.
    static constexpr std::int64_t kNotAWholeRet = -1;
    static std::optional<std::int64_t> retValue(const Value& answer);

    // Null for anything but a dictionary.
    static Ref<APIResponse> apiResponse(const Value& error);
    static Ref<APIResponse> apiResponseFromErrorCode(std::int32_t code);
    // Maps the answer's server "ret" onto the response's detail code and message.
    static void apiResponseConvert(const Ref<APIResponse>& response);
};
