#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace backend {

// The named values of one request: the URL query and, for a form-encoded
// POST, the body's fields, merged. When a name comes more than once the
// first occurrence counts.
class Parameters {
public:
    Parameters() = default;
    explicit Parameters(const std::multimap<std::string, std::string>& values);

    // The value as sent; nothing when the name is absent.
    std::optional<std::string> text(std::string_view name) const;
    // The value, or the empty text when the name is absent.
    std::string textOrEmpty(std::string_view name) const;

private:
    std::map<std::string, std::string, std::less<>> values_;
};

// The largest id read from a request: ids are positive whole numbers well
// inside SQLite's integers.
inline constexpr long long kLargestId = 1'000'000'000'000LL;

// A whole, non-negative decimal number made only of the digits 0-9 (no
// sign, no blanks, no fraction), within `limit`; nothing otherwise.
std::optional<long long> parseWholeNumber(std::string_view text, long long limit);

}  // namespace backend
