#include "foundation/JSONWriter.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

// The length of the well-formed UTF-8 sequence that starts `text` (which is
// not empty and starts with a byte of 0x80 or more), or 0 when it is not one:
// overlong forms, surrogates and code points beyond U+10FFFF are refused.
std::size_t utf8SequenceLength(std::string_view text) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(0);
    std::size_t length;
    unsigned char secondLow = 0x80, secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) secondLow = 0xA0;
        if (lead == 0xED) secondHigh = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) secondLow = 0x90;
        if (lead == 0xF4) secondHigh = 0x8F;
    } else return 0;
    if (text.size() < length) return 0;
    if (byte(1) < secondLow || byte(1) > secondHigh) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

}  // namespace

bool JSONWriter::write(const Value& value) { return write(value, 0); }

bool JSONWriter::write(const Value& value, int depth) {
    switch (value.kind()) {
    case Value::Kind::Null: text_ += "null"; return true;
    case Value::Kind::Bool: text_ += *value.boolean() ? "true" : "false"; return true;
    case Value::Kind::Integer: text_ += std::to_string(*value.integer()); return true;
    case Value::Kind::Unsigned: text_ += std::to_string(*value.unsignedInteger()); return true;
    case Value::Kind::Real: {
        double number = *value.real();
        if (!std::isfinite(number)) return false;
        writeReal(number);
        return true;
    }
    case Value::Kind::Text: return writeText(*value.text());
    case Value::Kind::Array: return depth < maxDepth_ && writeArray(*value.array(), depth + 1);
    case Value::Kind::Dictionary: return depth < maxDepth_ && writeDictionary(*value.dictionary(), depth + 1);
    case Value::Kind::Nil:
    case Value::Kind::Data:
    case Value::Kind::Date:
    case Value::Kind::Object: return false;
    }
    return false;
}

// An empty container prints as "[]" compactly and, in the pretty form, with
// an empty line inside, as the platform's pretty writer does.
bool JSONWriter::writeArray(const Array& items, int depth) {
    text_ += '[';
    bool first = true;
    for (const Value& item : items) {
        if (!first) text_ += ',';
        first = false;
        newLine(depth);
        if (!write(item, depth)) return false;
    }
    if (items.empty()) newLine(0);
    newLine(depth - 1);
    text_ += ']';
    return true;
}

bool JSONWriter::writeDictionary(const Dictionary& members, int depth) {
    text_ += '{';
    bool first = true;
    for (const auto& [key, item] : members) {
        if (!first) text_ += ',';
        first = false;
        newLine(depth);
        if (!writeText(key)) return false;
        text_ += pretty_ ? " : " : ":";
        if (!write(item, depth)) return false;
    }
    if (members.empty()) newLine(0);
    newLine(depth - 1);
    text_ += '}';
    return true;
}

void JSONWriter::newLine(int depth) {
    if (!pretty_) return;
    text_ += '\n';
    text_.append(static_cast<std::size_t>(depth) * 2, ' ');
}

bool JSONWriter::writeText(std::string_view text) {
    static const char hexDigits[] = "0123456789abcdef";
    text_ += '"';
    for (std::size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            std::size_t length = utf8SequenceLength(text.substr(i));
            if (length == 0) return false;
            text_.append(text.substr(i, length));
            i += length;
            continue;
        }
        switch (c) {
        case '"': text_ += "\\\""; break;
        case '\\': text_ += "\\\\"; break;
        case '/': text_ += "\\/"; break;
        case '\b': text_ += "\\b"; break;
        case '\f': text_ += "\\f"; break;
        case '\n': text_ += "\\n"; break;
        case '\r': text_ += "\\r"; break;
        case '\t': text_ += "\\t"; break;
        default:
            if (c < 0x20) {
                text_ += "\\u00";
                text_ += hexDigits[c >> 4];
                text_ += hexDigits[c & 0xF];
            } else {
                text_ += static_cast<char>(c);
            }
        }
        ++i;
    }
    text_ += '"';
    return true;
}

// Shortest text that reads back as the same double; integral values have no
// fraction ("1", "1e+21").
void JSONWriter::writeReal(double number) {
    char digits[32];
    auto result = std::to_chars(digits, digits + sizeof digits, number);
    text_.append(digits, result.ptr);
}
