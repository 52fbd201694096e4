#include "app/promotion/KXAnswerText.h"

std::string KXAnswerText::text(const Value& value) {
    return value.isNil() || value.isNull() ? std::string() : value.description();
}

Ref<NSURL> KXAnswerText::imageURL(const Value& value) {
    const std::string* address = value.text();
    return address ? NSURL::URLWithString(*address) : nullptr;
}

Ref<NSURL> KXAnswerText::imageURL(const std::optional<std::string>& address) {
    return address ? NSURL::URLWithString(*address) : nullptr;
}
