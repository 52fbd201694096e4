#include "backend/FlowSchemes.h"

#include <algorithm>
#include <cctype>

namespace backend {

namespace {

bool allOf(std::string_view text, int (*kind)(int)) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [kind](char c) { return kind(static_cast<unsigned char>(c)) != 0; });
}

}  // namespace

bool isFlowScheme(std::string_view scheme) {
    std::string name(scheme);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    const std::string_view lower = name;
    if (lower == "http" || lower == "https" || lower == "auth") return true;
    if (lower.starts_with("nimbus")) return allOf(lower.substr(6), ::isdigit);
    if (lower.starts_with("rp")) return allOf(lower.substr(2), ::isalnum);
    return false;
}

std::string schemeOf(std::string_view address) {
    std::string scheme;
    bool started = false;
    for (char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\t' || c == '\n' || c == '\r') continue;
        if (!started && byte <= ' ') continue;
        started = true;
        if (c == ':') {
            std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char x) { return std::tolower(x); });
            return scheme;
        }
        if (c == '/' || c == '?' || c == '#') return {};
        scheme += c;
    }
    return {};
}

}  // namespace backend
