#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

// An amount of money as a whole number of fen, never a binary float. Every
// amount the money screens parse, compute, show or send goes through it.
class KXMoney {
public:
    constexpr KXMoney() = default;
    static constexpr KXMoney fromFen(long long fen) { return KXMoney(fen); }

    constexpr long long fen() const { return fen_; }

    // An amount written in yuan as the back end writes and accepts it:
    // digits, then optionally a point and at most two decimals ("10",
    // "10.5", "0.01", "12."). No sign, blanks or exponent; at most fifteen
    // whole digits after any leading zeros ("0001" is 1). Nothing for any
    // other text.
    static std::optional<KXMoney> parse(std::string_view text);
    // As parse, but any number of decimals, the ones past the fen cut off
    // (a settleable amount of "600.505" is 600.50: no more can be paid out).
    static std::optional<KXMoney> parseCutToFen(std::string_view text);

    // What the back end charges for this amount at a discount `zhekou` (a
    // fraction: 0.3 is 30 % off): the amount less its discount, rounded to
    // the fen with halves up. The discount is taken to the millionth; one
    // outside 0 to 1 is held at its end.
    KXMoney discounted(double zhekou) const;

    // Yuan with two decimals: 12345 fen -> "123.45".
    std::string format() const;

    constexpr KXMoney operator+(KXMoney other) const { return KXMoney(fen_ + other.fen_); }
    constexpr KXMoney operator-(KXMoney other) const { return KXMoney(fen_ - other.fen_); }
    constexpr auto operator<=>(const KXMoney&) const = default;

private:
    constexpr explicit KXMoney(long long fen) : fen_(fen) {}

    long long fen_ = 0;
};
