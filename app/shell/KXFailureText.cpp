#include "app/shell/KXFailureText.h"

#include <algorithm>

namespace KXFailureText {

std::string reasonOrUnknown(const std::string& reason) {
    const bool blank = std::all_of(reason.begin(), reason.end(), [](unsigned char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r';
    });
    return blank ? std::string(kUnknownReason) : reason;
}

std::string refusal(const Value& answer) {
    if (!answer.isDictionary()) return kNoData;
    const Value& message = answer["message"];
    return reasonOrUnknown(message.isNil() || message.isNull() ? std::string() : message.description());
}

}  // namespace KXFailureText
