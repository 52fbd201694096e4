#include "foundation/NSString.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <cctype>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string>

#include "foundation/UTF16.h"

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view skipSpace(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && isSpace(text[at])) ++at;
    return text.substr(at);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

constexpr char hexDigits[] = "0123456789ABCDEF";

void appendEscaped(std::string& out, unsigned char byte) {
    out += '%';
    out += hexDigits[byte >> 4];
    out += hexDigits[byte & 0x0F];
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Case mapping of the whole text with ICU's root locale.
template <class Mapping> std::string mapCase(std::string_view text, Mapping mapping) {
    std::u16string units = UTF16::encode(text);
    std::u16string mapped(units.size() + 16, u'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        UErrorCode status = U_ZERO_ERROR;
        int32_t length = mapping(reinterpret_cast<UChar*>(mapped.data()), static_cast<int32_t>(mapped.size()),
                                 reinterpret_cast<const UChar*>(units.data()), static_cast<int32_t>(units.size()), "",
                                 &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            mapped.assign(static_cast<std::size_t>(length), u'\0');
            continue;
        }
        if (U_FAILURE(status)) return std::string(text);
        mapped.resize(static_cast<std::size_t>(length));
        return UTF16::decode(mapped);
    }
    return std::string(text);
}

// An ICU converter that stops at the first character it cannot map.
struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter strictConverter(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(name, &status));
    if (U_FAILURE(status)) return nullptr;
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    return U_FAILURE(status) ? nullptr : std::move(converter);
}

std::optional<NSData> encodeGB18030(std::string_view text) {
    Converter converter = strictConverter("GB18030");
    if (!converter) return std::nullopt;
    std::u16string units = UTF16::encode(text);
    std::vector<std::uint8_t> bytes(units.size() * 4 + 4);
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = ucnv_fromUChars(converter.get(), reinterpret_cast<char*>(bytes.data()), static_cast<int32_t>(bytes.size()),
                                     reinterpret_cast<const UChar*>(units.data()), static_cast<int32_t>(units.size()), &status);
    if (U_FAILURE(status)) return std::nullopt;
    bytes.resize(static_cast<std::size_t>(length));
    return NSData(std::move(bytes));
}

std::optional<std::string> decodeGB18030(const NSData& data) {
    Converter converter = strictConverter("GB18030");
    if (!converter) return std::nullopt;
    std::u16string units(data.length() * 2 + 2, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(units.data()), static_cast<int32_t>(units.size()),
                                   reinterpret_cast<const char*>(data.bytes()), static_cast<int32_t>(data.length()), &status);
    if (U_FAILURE(status)) return std::nullopt;
    units.resize(static_cast<std::size_t>(length));
    return UTF16::decode(units);
}

}  // namespace

long long NSString::longLongValue(std::string_view text) {
    text = skipSpace(text);
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    unsigned long long magnitude = 0;
    bool overflow = false;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
        unsigned digit = static_cast<unsigned>(text[at] - '0');
        if (magnitude > (ULLONG_MAX - digit) / 10) overflow = true;
        else magnitude = magnitude * 10 + digit;
    }
    if (negative) {
        if (overflow || magnitude > static_cast<unsigned long long>(LLONG_MAX) + 1) return LLONG_MIN;
        return magnitude == static_cast<unsigned long long>(LLONG_MAX) + 1 ? LLONG_MIN : -static_cast<long long>(magnitude);
    }
    if (overflow || magnitude > static_cast<unsigned long long>(LLONG_MAX)) return LLONG_MAX;
    return static_cast<long long>(magnitude);
}

int NSString::intValue(std::string_view text) {
    long long value = longLongValue(text);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

double NSString::doubleValue(std::string_view text) {
    text = skipSpace(text);
    // Only a plain decimal number with an optional exponent is read: no hex,
    // no "inf" or "nan".
    std::size_t at = 0;
    auto digits = [&] {
        std::size_t from = at;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
        return at - from;
    };
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    std::size_t mantissa = digits();
    if (at < text.size() && text[at] == '.') {
        ++at;
        mantissa += digits();
    }
    if (mantissa == 0) return 0;
    std::size_t end = at;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        if (digits() > 0) end = at;
    }
    return std::strtod(std::string(text.substr(0, end)).c_str(), nullptr);
}

bool NSString::boolValue(std::string_view text) {
    text = skipSpace(text);
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    while (at < text.size() && text[at] == '0') ++at;
    if (at >= text.size()) return false;
    char c = text[at];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

std::optional<long long> NSString::strictInteger(std::string_view text) {
    std::size_t at = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    if (at == text.size()) return std::nullopt;
    for (std::size_t i = at; i < text.size(); ++i) {
        if (!isDigit(text[i])) return std::nullopt;
    }
    long long value = 0;
    // from_chars takes a minus sign but no plus sign.
    std::size_t from = text[0] == '+' ? 1 : 0;
    auto result = std::from_chars(text.data() + from, text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<double> NSString::strictDouble(std::string_view text) {
    std::size_t at = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    // Digits or a point must come first: no "inf", "nan" or hex.
    if (at == text.size() || !(isDigit(text[at]) || text[at] == '.')) return std::nullopt;
    double value = 0;
    std::size_t from = text[0] == '+' ? 1 : 0;
    auto result = std::from_chars(text.data() + from, text.data() + text.size(), value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

std::size_t NSString::length(std::string_view text) { return UTF16::length(text); }

unichar NSString::characterAtIndex(std::string_view text, std::size_t index) {
    std::u16string units = UTF16::encode(text);
    return index < units.size() ? units[index] : 0;
}

std::string NSString::substringWithRange(std::string_view text, NSRange range) {
    std::u16string units = UTF16::encode(text);
    if (range.location >= units.size()) return "";
    return UTF16::decode(std::u16string_view(units).substr(range.location, range.length));
}

std::string NSString::substringToIndex(std::string_view text, std::size_t index) {
    return substringWithRange(text, {0, index});
}

std::string NSString::substringFromIndex(std::string_view text, std::size_t index) {
    return substringWithRange(text, {index, std::string_view::npos});
}

NSRange NSString::rangeOfString(std::string_view text, std::string_view search) {
    std::size_t at = search.empty() ? std::string_view::npos : text.find(search);
    if (at == std::string_view::npos) return {NSNotFound, 0};
    return {UTF16::index(text, at), UTF16::length(search)};
}

NSComparisonResult NSString::compare(std::string_view text, std::string_view other) {
    int order = UTF16::encode(text).compare(UTF16::encode(other));
    return order < 0 ? NSOrderedAscending : order > 0 ? NSOrderedDescending : NSOrderedSame;
}

bool NSString::hasPrefix(std::string_view text, std::string_view prefix) {
    return !prefix.empty() && text.substr(0, prefix.size()) == prefix;
}

bool NSString::hasSuffix(std::string_view text, std::string_view suffix) {
    return !suffix.empty() && text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool NSString::containsString(std::string_view text, std::string_view part) {
    return !part.empty() && text.find(part) != std::string_view::npos;
}

std::string NSString::uppercaseString(std::string_view text) { return mapCase(text, u_strToUpper); }

std::string NSString::lowercaseString(std::string_view text) { return mapCase(text, u_strToLower); }

std::string NSString::stringByTrimmingCharactersInSet(std::string_view text, const NSCharacterSet& set) {
    std::size_t begin = 0, end = 0;
    bool seenKept = false;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t from = at;
        if (set.characterIsMember(UTF16::decodeNext(text, at))) continue;
        if (!seenKept) begin = from;
        seenKept = true;
        end = at;
    }
    return seenKept ? std::string(text.substr(begin, end - begin)) : std::string();
}

std::vector<std::string> NSString::componentsSeparatedByString(std::string_view text, std::string_view separator) {
    if (separator.empty()) return {std::string(text)};
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(separator, from)) != std::string_view::npos; from = at + separator.size()) {
        parts.emplace_back(text.substr(from, at - from));
    }
    parts.emplace_back(text.substr(from));
    return parts;
}

std::string NSString::componentsJoinedByString(const std::vector<std::string>& parts, std::string_view separator) {
    std::string joined;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) joined += separator;
        joined += parts[i];
    }
    return joined;
}

std::string NSString::componentsJoinedByString(const Array& parts, std::string_view separator) {
    std::vector<std::string> texts;
    texts.reserve(parts.size());
    for (const Value& part : parts) texts.push_back(part.description());
    return componentsJoinedByString(texts, separator);
}

std::string NSString::stringByReplacingOccurrencesOfString(std::string_view text, std::string_view target,
                                                           std::string_view replacement) {
    if (target.empty()) return std::string(text);
    std::string out;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(target, from)) != std::string_view::npos; from = at + target.size()) {
        out.append(text.substr(from, at - from));
        out.append(replacement);
    }
    out.append(text.substr(from));
    return out;
}

std::optional<NSData> NSString::dataUsingEncoding(std::string_view text, NSStringEncoding encoding) {
    if (!UTF16::isValidUTF8(text)) return std::nullopt;
    switch (encoding) {
    case NSUTF8StringEncoding: return NSData::fromString(text);
    case NSGB18030StringEncoding: return encodeGB18030(text);
    }
    return std::nullopt;
}

std::optional<std::string> NSString::initWithData(const NSData& data, NSStringEncoding encoding) {
    switch (encoding) {
    case NSUTF8StringEncoding: {
        std::string text = data.toString();
        if (!UTF16::isValidUTF8(text)) return std::nullopt;
        return text;
    }
    case NSGB18030StringEncoding: return decodeGB18030(data);
    }
    return std::nullopt;
}

std::string NSString::stringByAddingPercentEncodingWithAllowedCharacters(std::string_view text,
                                                                        const NSCharacterSet& allowed) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        std::size_t from = at;
        char32_t character = UTF16::decodeNext(text, at);
        bool wellFormed = character != UTF16::replacement || at - from == 3;
        if (wellFormed && allowed.characterIsMember(character)) {
            out.append(text.substr(from, at - from));
            continue;
        }
        for (std::size_t i = from; i < at; ++i) appendEscaped(out, static_cast<unsigned char>(text[i]));
    }
    return out;
}

std::optional<std::string> NSString::stringByAddingPercentEscapes(std::string_view text, std::string_view leaveUnescaped,
                                                                  std::string_view escapeAlso, NSStringEncoding encoding) {
    std::optional<NSData> bytes = dataUsingEncoding(text, encoding);
    if (!bytes) return std::nullopt;
    NSCharacterSet kept = NSCharacterSet::alphanumericCharacterSet();
    kept.addCharactersInString("!#$&'()*+,-./:;=?@_~");
    kept.removeCharactersInString(escapeAlso);
    kept.addCharactersInString(leaveUnescaped);
    std::string out;
    out.reserve(bytes->length());
    for (std::uint8_t byte : bytes->vector()) {
        if (byte < 0x80 && kept.characterIsMember(byte)) out += static_cast<char>(byte);
        else appendEscaped(out, byte);
    }
    return out;
}

std::optional<std::string> NSString::stringByRemovingPercentEncoding(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '%') {
            out += text[at];
            continue;
        }
        if (text.size() - at < 3) return std::nullopt;
        int high = hexValue(text[at + 1]), low = hexValue(text[at + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        at += 2;
    }
    if (!UTF16::isValidUTF8(out)) return std::nullopt;
    return out;
}
