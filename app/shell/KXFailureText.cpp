#include "app/shell/KXFailureText.h"

#include "app/shell/KXBlankText.h"

namespace KXFailureText {

std::string reasonOrUnknown(const std::string& reason) {
    return KXBlankText::isBlank(reason) ? std::string(kUnknownReason) : reason;
}

std::string refusal(const Value& answer) {
    if (!answer.isDictionary()) return kNoData;
    const Value& message = answer["message"];
    return reasonOrUnknown(message.isNil() || message.isNull() ? std::string() : message.description());
}

}  // namespace KXFailureText
