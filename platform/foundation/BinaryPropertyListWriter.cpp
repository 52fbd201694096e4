#include "foundation/BinaryPropertyListWriter.h"

#include <bit>
#include <cstdint>

#include "foundation/PropertyListFormat.h"
#include "foundation/UTF16.h"

namespace {

enum Marker : std::uint8_t {
    False = 0x08,
    True = 0x09,
    Integer = 0x10,
    Real = 0x20,
    Date = 0x30,
    Data = 0x40,
    AsciiText = 0x50,
    Utf16Text = 0x60,
    Uid = 0x80,
    ArrayMarker = 0xA0,
    DictionaryMarker = 0xD0,
};

// The fewest bytes (1 to 8) that hold the number.
std::size_t bytesFor(std::uint64_t number) {
    std::size_t width = 1;
    while (width < 8 && number >> (8 * width) != 0) ++width;
    return width;
}

// Widths of offsets and references are powers of two, which every reader takes.
std::size_t powerOfTwoBytesFor(std::uint64_t number) { return std::bit_ceil(bytesFor(number)); }

void appendBigEndian(std::string& out, std::uint64_t number, std::size_t width) {
    for (std::size_t i = width; i-- > 0;) out += static_cast<char>(number >> (8 * i));
}

// An integer object: 1, 2, 4 or 8 bytes; the 8-byte form is signed, so
// unsigned numbers beyond the signed range take the 16-byte form.
std::string integerObject(std::uint64_t bits, bool negative) {
    std::string out;
    if (!negative && bits > static_cast<std::uint64_t>(INT64_MAX)) {
        out += static_cast<char>(Integer | 4);
        appendBigEndian(out, 0, 8);
        appendBigEndian(out, bits, 8);
        return out;
    }
    std::size_t width = negative ? 8 : powerOfTwoBytesFor(bits);
    out += static_cast<char>(Integer | std::countr_zero(width));
    appendBigEndian(out, bits, width);
    return out;
}

// A marker whose low nibble holds a count, or 0xF and the count as an integer object.
std::string markerWithCount(Marker marker, std::uint64_t count) {
    if (count < 15) return std::string(1, static_cast<char>(marker | count));
    return static_cast<char>(marker | 0xF) + integerObject(count, false);
}

std::string doubleObject(Marker marker, double number) {
    std::string out(1, static_cast<char>(marker | 3));
    appendBigEndian(out, std::bit_cast<std::uint64_t>(number), 8);
    return out;
}

}  // namespace

std::optional<std::string> BinaryPropertyListWriter::write(const Value& value) {
    BinaryPropertyListWriter writer;
    if (!writer.add(value, 0)) return std::nullopt;
    return writer.layout();
}

std::optional<std::uint64_t> BinaryPropertyListWriter::addScalar(std::string bytes) {
    auto [found, added] = scalars_.try_emplace(bytes, objects_.size());
    if (added) objects_.push_back({std::move(bytes), {}});
    return found->second;
}

std::optional<std::uint64_t> BinaryPropertyListWriter::addText(const std::string& text) {
    if (!UTF16::isValidUTF8(text)) return std::nullopt;
    bool ascii = true;
    for (unsigned char c : text) ascii = ascii && c < 0x80;
    if (ascii) return addScalar(markerWithCount(AsciiText, text.size()) + text);
    std::u16string units = UTF16::encode(text);
    std::string bytes = markerWithCount(Utf16Text, units.size());
    for (char16_t unit : units) appendBigEndian(bytes, unit, 2);
    return addScalar(std::move(bytes));
}

std::optional<std::uint64_t> BinaryPropertyListWriter::add(const Value& value, int depth) {
    if (depth > PropertyListFormat::maximumDepth) return std::nullopt;
    switch (value.kind()) {
    case Value::Kind::Bool: return addScalar(std::string(1, static_cast<char>(*value.boolean() ? True : False)));
    case Value::Kind::Integer: {
        auto number = *value.integer();
        return addScalar(integerObject(static_cast<std::uint64_t>(number), number < 0));
    }
    case Value::Kind::Unsigned: return addScalar(integerObject(*value.unsignedInteger(), false));
    case Value::Kind::Real: return addScalar(doubleObject(Real, *value.real()));
    case Value::Kind::Date:
        return addScalar(
            doubleObject(Date, value.date()->timeIntervalSince1970() - PropertyListFormat::secondsFrom1970To2001));
    case Value::Kind::Text: return addText(*value.text());
    case Value::Kind::Data: {
        const NSData& data = *value.data();
        return addScalar(markerWithCount(Data, data.length()) +
                         std::string(reinterpret_cast<const char*>(data.bytes()), data.length()));
    }
    case Value::Kind::Array: {
        const Array& items = *value.array();
        std::uint64_t index = objects_.size();
        objects_.push_back({markerWithCount(ArrayMarker, items.size()), {}});
        std::vector<std::uint64_t> references;
        references.reserve(items.size());
        for (const Value& item : items) {
            auto reference = add(item, depth + 1);
            if (!reference) return std::nullopt;
            references.push_back(*reference);
        }
        objects_[index].references = std::move(references);
        return index;
    }
    case Value::Kind::Dictionary: {
        const Dictionary& entries = *value.dictionary();
        if (auto uid = PropertyListFormat::uidOf(entries)) {
            std::size_t width = bytesFor(*uid);
            std::string bytes(1, static_cast<char>(Uid | (width - 1)));
            appendBigEndian(bytes, *uid, width);
            return addScalar(std::move(bytes));
        }
        std::uint64_t index = objects_.size();
        objects_.push_back({markerWithCount(DictionaryMarker, entries.count()), {}});
        // All keys first, then the values in the same order.
        std::vector<std::uint64_t> keys, values;
        keys.reserve(entries.count());
        values.reserve(entries.count());
        for (const auto& [key, item] : entries) {
            auto keyReference = addText(key);
            auto valueReference = keyReference ? add(item, depth + 1) : std::nullopt;
            if (!valueReference) return std::nullopt;
            keys.push_back(*keyReference);
            values.push_back(*valueReference);
        }
        keys.insert(keys.end(), values.begin(), values.end());
        objects_[index].references = std::move(keys);
        return index;
    }
    case Value::Kind::Nil:
    case Value::Kind::Null:
    case Value::Kind::Object: break;
    }
    return std::nullopt;
}

std::string BinaryPropertyListWriter::layout() const {
    std::size_t referenceWidth = powerOfTwoBytesFor(objects_.size() - 1);
    std::string file = "bplist00";
    std::vector<std::uint64_t> offsets;
    offsets.reserve(objects_.size());
    for (const Object& object : objects_) {
        offsets.push_back(file.size());
        file += object.bytes;
        for (std::uint64_t reference : object.references) appendBigEndian(file, reference, referenceWidth);
    }
    std::uint64_t table = file.size();
    std::size_t offsetWidth = powerOfTwoBytesFor(offsets.back());
    for (std::uint64_t offset : offsets) appendBigEndian(file, offset, offsetWidth);
    // Trailer: five unused bytes and a sort version, the two widths, the
    // object count, the top object (always the first) and the table's offset.
    file.append(6, '\0');
    file += static_cast<char>(offsetWidth);
    file += static_cast<char>(referenceWidth);
    appendBigEndian(file, objects_.size(), 8);
    appendBigEndian(file, 0, 8);
    appendBigEndian(file, table, 8);
    return file;
}
