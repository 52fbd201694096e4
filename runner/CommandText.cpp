#include "runner/CommandText.h"

#include "foundation/NSString.h"

namespace {

std::string withoutSurroundingSpaces(const std::string& text) {
    return NSString::stringByTrimmingCharactersInSet(text, NSCharacterSet::whitespaceCharacterSet());
}

}  // namespace

namespace CommandText {

std::optional<std::string> parse(const std::string& rest, std::string& problem) {
    const std::string text = withoutSurroundingSpaces(rest);
    if (text.empty() || text.front() != '"') return text;
    std::string unquoted;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) {
            unquoted += text[++i];
        } else if (c == '"') {
            if (i + 1 != text.size()) {
                problem = "nothing may follow the closing quote (write \\\" for a quote inside the text)";
                return std::nullopt;
            }
            return unquoted;
        } else {
            unquoted += c;
        }
    }
    problem = "the quoted text has no closing quote";
    return std::nullopt;
}

std::pair<std::string, std::string> firstWord(const std::string& line) {
    const std::string text = withoutSurroundingSpaces(line);
    const std::size_t space = text.find(' ');
    if (space == std::string::npos) return {text, ""};
    return {text.substr(0, space), withoutSurroundingSpaces(text.substr(space + 1))};
}

}  // namespace CommandText
