#include "runner/LogEntry.h"

#include <sstream>

#include "foundation/NSString.h"

namespace {

// The first `count` characters (UTF-8 code points) of `text`, with "…" when
// it is longer.
std::string cut(const std::string& text, std::size_t count) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == count) return text.substr(0, i) + "…";
    }
    return text;
}

}  // namespace

std::string LogEntry::oneLine(const std::string& entry) {
    if (entry.find('\n') == std::string::npos) return entry;
    std::istringstream lines(entry);
    std::string line;
    std::string joined;
    while (std::getline(lines, line)) {
        line = NSString::stringByTrimmingCharactersInSet(line, NSCharacterSet::whitespaceAndNewlineCharacterSet());
        if (line.empty()) continue;
        if (!joined.empty()) joined += ' ';
        joined += line;
    }
    return cut(joined, kAnswerWidth);
}
