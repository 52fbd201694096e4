#pragma once

#include <optional>
#include <string>

#include "foundation/NSURL.h"
#include "foundation/Value.h"

// How the screens show what an answer gives them: values as "%@" does,
// except that a missing (or null) value shows nothing rather than "(null)";
// image addresses exactly as sent, and no address for a missing or invalid
// one (the image view then stays empty).
class KXAnswerText {
public:
    KXAnswerText() = delete;

    static std::string text(const Value& value);
    static std::string text(const std::optional<std::string>& value) { return value.value_or(std::string()); }
    static Ref<NSURL> imageURL(const Value& value);
    static Ref<NSURL> imageURL(const std::optional<std::string>& address);
};
