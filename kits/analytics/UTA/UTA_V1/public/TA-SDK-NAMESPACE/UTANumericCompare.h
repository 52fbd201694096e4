#pragma once

#include <string_view>

// Orders two texts as a numeric string comparison does: runs of digits
// compare by their value, other characters one by one; -1, 0 or 1.
// "2.1.10" orders after "2.1.9", "3" after "2.1.1".
int UTANumericCompare(std::string_view left, std::string_view right);

// The library's own version.
inline constexpr std::string_view kUTASdkVersion = "2.1.1";
