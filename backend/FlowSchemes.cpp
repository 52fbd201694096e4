#include "backend/FlowSchemes.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <utility>

#include "backend/Format.h"

namespace backend {

namespace {

// The named character references that stand for what decides a scheme:
// its end (':'), what ends an address's first part ('/', '?', '#'), the
// characters a scheme may hold besides letters and digits, and the white
// space a browser drops. (No name stands for an ASCII letter or digit.)
constexpr std::pair<std::string_view, char> kNamedReferences[] = {
    {"colon", ':'},  {"sol", '/'}, {"quest", '?'},     {"num", '#'},   {"plus", '+'},
    {"period", '.'}, {"Tab", '\t'}, {"NewLine", '\n'}, {"amp", '&'},
};

constexpr char kBeyondASCII = '\x80';

// A numeric character reference at `text` (after "&#"): its code point and
// length, as a browser reads it: decimal or hexadecimal digits, the ';'
// optional; nothing without a digit.
std::optional<std::pair<std::uint32_t, std::size_t>> numericReference(std::string_view text) {
    const bool hex = !text.empty() && (text[0] == 'x' || text[0] == 'X');
    std::size_t at = hex ? 1 : 0;
    std::uint32_t code = 0;
    const std::size_t digitsStart = at;
    for (; at < text.size(); ++at) {
        const auto c = static_cast<unsigned char>(text[at]);
        const int digit = std::isdigit(c) ? c - '0' : hex && std::isxdigit(c) ? std::tolower(c) - 'a' + 10 : -1;
        if (digit < 0) break;
        code = std::min<std::uint32_t>(code * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit), 0x110000);
    }
    if (at == digitsStart) return std::nullopt;
    if (at < text.size() && text[at] == ';') ++at;
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
    return std::pair{code, at};
}

// `text` with the character references decoded that can make or end a
// scheme: numeric ones (the ';' optional, as browsers take them) and the
// named ones above. Only ASCII can be part of a scheme, so a character
// beyond it stands as one byte that no scheme holds.
std::string decodeCharacterReferences(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] != '&') {
            out += text[at++];
            continue;
        }
        const std::string_view rest = text.substr(at + 1);
        if (rest.starts_with("#")) {
            if (auto reference = numericReference(rest.substr(1))) {
                out += reference->first < 0x80 ? static_cast<char>(reference->first) : kBeyondASCII;
                at += 2 + reference->second;
                continue;
            }
        }
        bool named = false;
        for (const auto& [name, character] : kNamedReferences) {
            if (rest.starts_with(name) && rest.substr(name.size()).starts_with(";")) {
                out += character;
                at += 2 + name.size();
                named = true;
                break;
            }
        }
        if (!named) out += text[at++];
    }
    return out;
}

}  // namespace

bool isFlowScheme(std::string_view scheme) {
    std::string name(scheme);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    const std::string_view lower = name;
    if (lower == "http" || lower == "https" || lower == "auth") return true;
    if (lower.starts_with("nimbus")) return isDigits(lower.substr(6));
    return isRippleAppScheme(lower);
}

bool isRippleAppScheme(std::string_view scheme) {
    return scheme.size() > 2 && std::tolower(static_cast<unsigned char>(scheme[0])) == 'r' &&
           std::tolower(static_cast<unsigned char>(scheme[1])) == 'p' &&
           std::all_of(scheme.begin() + 2, scheme.end(), [](unsigned char c) { return std::isalnum(c) != 0; });
}

std::string schemeOf(std::string_view address) {
    std::string scheme;
    bool started = false;
    for (char c : decodeCharacterReferences(address)) {
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
