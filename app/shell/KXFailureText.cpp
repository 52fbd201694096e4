#include "app/shell/KXFailureText.h"

#include "app/promotion/KXAnswerText.h"
#include "app/shell/KXBlankText.h"

namespace KXFailureText {

std::string reasonOrUnknown(const std::string& reason) {
    return KXBlankText::isBlank(reason) ? std::string(kUnknownReason) : reason;
}

std::string refusal(const Value& answer) {
    if (!answer.isDictionary()) return kNoData;
    return reasonOrUnknown(KXAnswerText::text(answer["message"]));
}

}  // namespace KXFailureText
