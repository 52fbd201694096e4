#include "backend/Parameters.h"

namespace backend {

Parameters::Parameters(const std::multimap<std::string, std::string>& values) {
    // A multimap keeps equal keys in insertion order, and emplace keeps the
    // first value of a name.
    for (const auto& [name, value] : values) values_.emplace(name, value);
}

std::optional<std::string> Parameters::text(std::string_view name) const {
    auto found = values_.find(name);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

std::string Parameters::textOrEmpty(std::string_view name) const { return text(name).value_or(""); }

std::optional<long long> parseWholeNumber(std::string_view text, long long limit) {
    if (text.empty()) return std::nullopt;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit) return std::nullopt;
    }
    return value;
}

}  // namespace backend
