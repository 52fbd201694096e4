#include "app/payment/KXMoney.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr std::size_t kLongestWhole = 15;
constexpr long long kMillion = 1'000'000;

// Leading zeros add nothing to a number ("0001" is 1), so they do not count
// toward its digits; "000" keeps one.
std::string_view withoutLeadingZeros(std::string_view digits) {
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string_view::npos) return digits.substr(digits.empty() ? 0 : digits.size() - 1);
    return digits.substr(first);
}

}  // namespace

std::optional<KXMoney> KXMoney::parse(std::string_view text) {
    const std::size_t point = text.find('.');
    const std::string_view whole = withoutLeadingZeros(text.substr(0, point));
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() || whole.size() > kLongestWhole || fraction.size() > 2) return std::nullopt;
    long long fen = 0;
    for (char digit : whole) {
        if (digit < '0' || digit > '9') return std::nullopt;
        fen = fen * 10 + (digit - '0');
    }
    fen *= 100;
    long long scale = 10;
    for (char digit : fraction) {
        if (digit < '0' || digit > '9') return std::nullopt;
        fen += (digit - '0') * scale;
        scale /= 10;
    }
    return KXMoney(fen);
}

std::optional<KXMoney> KXMoney::parseCutToFen(std::string_view text) {
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos || text.size() - point <= 3) return parse(text);
    const std::string_view cut = text.substr(point + 3);
    if (cut.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    return parse(text.substr(0, point + 3));
}

KXMoney KXMoney::discounted(double zhekou) const {
    // The back end sends the rate as a fraction of a whole number of
    // permille; read back to the millionth it is that number exactly.
    const double clamped = std::isnan(zhekou) ? 0.0 : std::fmin(std::fmax(zhekou, 0.0), 1.0);
    const long long rate = std::llround(clamped * kMillion);
    const __int128 paid = static_cast<__int128>(fen_) * (kMillion - rate);
    // Halves go up: floor(paid / million + 1/2).
    const __int128 shifted = paid + kMillion / 2;
    const __int128 rounded = shifted >= 0 ? shifted / kMillion : -((-shifted + kMillion - 1) / kMillion);
    return KXMoney(static_cast<long long>(rounded));
}

std::string KXMoney::format() const {
    char text[32];
    const unsigned long long magnitude =
        fen_ < 0 ? 0ULL - static_cast<unsigned long long>(fen_) : static_cast<unsigned long long>(fen_);
    std::snprintf(text, sizeof text, "%s%llu.%02llu", fen_ < 0 ? "-" : "", magnitude / 100, magnitude % 100);
    return text;
}
