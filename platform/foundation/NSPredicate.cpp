#include "foundation/NSPredicate.h"

#include <unicode/uregex.h>

#include <sstream>
#include <string>
#include <vector>

#include "foundation/UTF16.h"

namespace {

std::string asciiUppercase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

}  // namespace

Ref<NSPredicate> NSPredicate::predicateWithFormat(std::string_view format, const Value& argument) {
    std::istringstream words{std::string(format)};
    std::vector<std::string> tokens;
    for (std::string word; words >> word;) tokens.push_back(asciiUppercase(word));
    // The comparison's modifiers: "c" ignores case; "d" (diacritics) is taken as written.
    const bool wellFormed = tokens.size() == 3 && tokens[0] == "SELF" && tokens[2] == "%@" && argument.isText();
    const bool plain = wellFormed && (tokens[1] == "MATCHES" || tokens[1] == "MATCHES[D]");
    const bool ignoringCase = wellFormed && (tokens[1] == "MATCHES[C]" || tokens[1] == "MATCHES[CD]");
    if (!plain && !ignoringCase) return make<NSPredicate>(std::nullopt);
    return make<NSPredicate>(ICURegex::compile(UTF16::encode(*argument.text()), ignoringCase ? UREGEX_CASE_INSENSITIVE : 0));
}

bool NSPredicate::evaluateWithObject(const Value& object) const {
    return pattern_ && object.isText() && pattern_->matchesWhole(UTF16::encode(*object.text()));
}
