#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTANumericCompare.h"

#include <cctype>

namespace {

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// The digit run starting at `position`, without its leading zeros; moves past it.
std::string_view digitRun(std::string_view text, std::size_t& position) {
    const std::size_t start = position;
    while (position < text.size() && isDigit(text[position])) ++position;
    std::string_view run = text.substr(start, position - start);
    while (run.size() > 1 && run.front() == '0') run.remove_prefix(1);
    return run;
}

}  // namespace

int UTANumericCompare(std::string_view left, std::string_view right) {
    std::size_t i = 0, j = 0;
    while (i < left.size() && j < right.size()) {
        if (isDigit(left[i]) && isDigit(right[j])) {
            const std::string_view a = digitRun(left, i);
            const std::string_view b = digitRun(right, j);
            if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
            if (const int order = a.compare(b); order != 0) return order < 0 ? -1 : 1;
            continue;
        }
        if (left[i] != right[j]) return static_cast<unsigned char>(left[i]) < static_cast<unsigned char>(right[j]) ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < left.size()) return 1;
    if (j < right.size()) return -1;
    return 0;
}
