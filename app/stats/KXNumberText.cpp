#include "app/stats/KXNumberText.h"

#include <charconv>
#include <cmath>

namespace {

// Below this magnitude a count is written without an exponent.
constexpr double kLargestDecimal = 1e16;

}  // namespace

std::string shortestDoubleText(double value) {
    // Room for the longest decimal form: a value just above zero has some
    // 330 digits after the point.
    char buffer[400];
    auto [end, error] = std::fabs(value) < kLargestDecimal
                            ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
                            : std::to_chars(buffer, buffer + sizeof buffer, value);
    if (error != std::errc()) return "0.0";
    std::string text(buffer, end);
    // "nan" and "inf" take no fraction; whole numbers do.
    if (text.find_first_of(".en") == std::string::npos) text += ".0";
    return text;
}
