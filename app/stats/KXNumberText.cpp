#include "app/stats/KXNumberText.h"

#include <charconv>

std::string shortestDoubleText(double value) {
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (error != std::errc()) return "0.0";
    std::string text(buffer, end);
    if (text.find_first_of(".en") == std::string::npos) text += ".0";
    return text;
}
