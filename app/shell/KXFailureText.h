#pragma once

#include <string>

#include "foundation/Value.h"

// What the screens show for a failed request when the back end gives no
// reason of its own, so that no failure ends in an empty message or in
// nothing at all.
namespace KXFailureText {

// No usable answer: the request failed, or its answer was empty, not JSON,
// code 100, or held a `data` that could not be read.
inline constexpr const char* kNoData = "获取数据失败";
// A refusal that names no reason.
inline constexpr const char* kUnknownReason = "请求失败，请稍后重试";

// The refusal's reason as the user sees it: `reason` itself, or
// kUnknownReason when it is blank (KXBlankText).
std::string reasonOrUnknown(const std::string& reason);
// What a refused GET answer shows: its `message` as "%@" gives it, or
// kUnknownReason when that is missing, null or blank; kNoData for an
// answer that was not a JSON object.
std::string refusal(const Value& answer);

}  // namespace KXFailureText
