#pragma once

#include <climits>
#include <cstddef>

// "Not found", as range searches answer it in `location`.
inline constexpr std::size_t NSNotFound = static_cast<std::size_t>(LONG_MAX);

// A range of UTF-16 units (or of any other index the caller counts).
struct NSRange {
    std::size_t location = 0;
    std::size_t length = 0;

    std::size_t max() const { return location + length; }
    bool operator==(const NSRange&) const = default;
};

inline NSRange NSMakeRange(std::size_t location, std::size_t length) { return {location, length}; }
