#include "foundation/BinaryPropertyListReader.h"

#include <bit>
#include <cstring>
#include <string>

#include "foundation/PropertyListFormat.h"
#include "foundation/UTF16.h"

namespace {

constexpr std::string_view magic = "bplist00";
constexpr std::size_t trailerSize = 32;
using PropertyListFormat::maximumDepth;
using PropertyListFormat::secondsFrom1970To2001;

// Object markers: the high nibble is the kind, the low one a size or count.
enum Marker : std::uint8_t {
    Simple = 0x0,
    Integer = 0x1,
    Real = 0x2,
    Date = 0x3,
    Data = 0x4,
    AsciiText = 0x5,
    Utf16Text = 0x6,
    Uid = 0x8,
    ArrayMarker = 0xA,
    DictionaryMarker = 0xD,
};

}  // namespace

std::optional<Value> BinaryPropertyListReader::read(std::string_view bytes) {
    if (bytes.size() < magic.size() + trailerSize || bytes.substr(0, magic.size()) != magic) return std::nullopt;
    BinaryPropertyListReader reader(bytes);
    if (!reader.readTrailer()) return std::nullopt;
    return reader.object(reader.topObject_, 0);
}

bool BinaryPropertyListReader::readTrailer() {
    std::size_t trailer = bytes_.size() - trailerSize;
    offsetSize_ = static_cast<std::uint8_t>(bytes_[trailer + 6]);
    referenceSize_ = static_cast<std::uint8_t>(bytes_[trailer + 7]);
    objectCount_ = *unsignedAt(trailer + 8, 8);
    topObject_ = *unsignedAt(trailer + 16, 8);
    std::uint64_t table = *unsignedAt(trailer + 24, 8);
    // Offsets and references may be any whole number of bytes from 1 to 8.
    auto validWidth = [](std::size_t width) { return width >= 1 && width <= 8; };
    if (!validWidth(offsetSize_) || !validWidth(referenceSize_)) return false;
    if (objectCount_ == 0 || topObject_ >= objectCount_) return false;
    // The offset table lies between the header and the trailer.
    if (table < magic.size() || table > trailer) return false;
    if (objectCount_ > (trailer - table) / offsetSize_) return false;
    offsetTable_ = static_cast<std::size_t>(table);
    inProgress_.assign(static_cast<std::size_t>(objectCount_), false);
    budget_ = 4 * static_cast<std::uint64_t>(bytes_.size()) + 1024;
    return true;
}

std::optional<std::uint64_t> BinaryPropertyListReader::unsignedAt(std::size_t at, std::size_t width) const {
    if (at > bytes_.size() || width > bytes_.size() - at) return std::nullopt;
    std::uint64_t number = 0;
    for (std::size_t i = 0; i < width; ++i) number = (number << 8) | static_cast<std::uint8_t>(bytes_[at + i]);
    return number;
}

std::optional<std::uint64_t> BinaryPropertyListReader::referenceAt(std::size_t& at) const {
    auto reference = unsignedAt(at, referenceSize_);
    at += referenceSize_;
    return reference;
}

std::optional<std::uint64_t> BinaryPropertyListReader::count(std::uint8_t info, std::size_t& at) const {
    if (info != 0xF) return info;
    // A larger count follows as an integer object of 1, 2, 4 or 8 bytes.
    if (at >= bytes_.size()) return std::nullopt;
    auto marker = static_cast<std::uint8_t>(bytes_[at]);
    if (marker >> 4 != Integer || (marker & 0xF) > 3) return std::nullopt;
    std::size_t width = std::size_t{1} << (marker & 0xF);
    auto number = unsignedAt(at + 1, width);
    at += 1 + width;
    return number;
}

std::optional<Value> BinaryPropertyListReader::object(std::uint64_t reference, int depth) {
    if (reference >= objectCount_ || depth > maximumDepth || budget_ == 0) return std::nullopt;
    --budget_;
    auto index = static_cast<std::size_t>(reference);
    if (inProgress_[index]) return std::nullopt;
    auto offset = unsignedAt(offsetTable_ + index * offsetSize_, offsetSize_);
    if (!offset || *offset < magic.size() || *offset >= offsetTable_) return std::nullopt;
    inProgress_[index] = true;
    auto value = decode(static_cast<std::size_t>(*offset), depth);
    inProgress_[index] = false;
    return value;
}

std::optional<Value> BinaryPropertyListReader::decode(std::size_t at, int depth) {
    auto marker = static_cast<std::uint8_t>(bytes_[at]);
    std::uint8_t kind = marker >> 4, info = marker & 0xF;
    ++at;
    switch (kind) {
    case Simple:
        // false and true; null and fill have no place in our values.
        if (info == 0x8 || info == 0x9) return Value(info == 0x9);
        return std::nullopt;
    case Integer: {
        if (info <= 3) {
            std::size_t width = std::size_t{1} << info;
            auto bits = unsignedAt(at, width);
            if (!bits) return std::nullopt;
            // Widths below 8 bytes hold unsigned numbers, 8 bytes a signed one.
            return Value(static_cast<std::int64_t>(*bits));
        }
        if (info == 4) {
            // 16 bytes: an unsigned number beyond the signed range, or a
            // sign-extended signed one.
            auto high = unsignedAt(at, 8), low = unsignedAt(at + 8, 8);
            if (!high || !low) return std::nullopt;
            if (*high == 0) return *low > static_cast<std::uint64_t>(INT64_MAX) ? Value(*low)
                                                                                 : Value(static_cast<std::int64_t>(*low));
            if (*high == UINT64_MAX && static_cast<std::int64_t>(*low) < 0) return Value(static_cast<std::int64_t>(*low));
        }
        return std::nullopt;
    }
    case Real: {
        if (info == 2) {
            auto bits = unsignedAt(at, 4);
            if (!bits) return std::nullopt;
            return Value(static_cast<double>(std::bit_cast<float>(static_cast<std::uint32_t>(*bits))));
        }
        if (info == 3) {
            auto bits = unsignedAt(at, 8);
            if (!bits) return std::nullopt;
            return Value(std::bit_cast<double>(*bits));
        }
        return std::nullopt;
    }
    case Date: {
        auto bits = unsignedAt(at, 8);
        if (info != 3 || !bits) return std::nullopt;
        const double seconds = std::bit_cast<double>(*bits) + secondsFrom1970To2001;
        if (!NSDate::isRepresentable(seconds)) return std::nullopt;
        return Value(NSDate(seconds));
    }
    case Data: {
        auto length = count(info, at);
        if (!length || at > offsetTable_ || *length > offsetTable_ - at) return std::nullopt;
        return Value(NSData(bytes_.data() + at, static_cast<std::size_t>(*length)));
    }
    case AsciiText:
    case Utf16Text: {
        auto units = count(info, at);
        if (!units) return std::nullopt;
        return text(at, *units, kind == Utf16Text);
    }
    case Uid: {
        if (info > 7) return std::nullopt;
        auto uid = unsignedAt(at, std::size_t{info} + 1);
        if (!uid) return std::nullopt;
        return PropertyListFormat::uid(*uid);
    }
    case ArrayMarker: {
        auto items = count(info, at);
        if (!items || *items > (offsetTable_ - std::min(at, offsetTable_)) / referenceSize_) return std::nullopt;
        Array array;
        array.reserve(static_cast<std::size_t>(*items));
        for (std::uint64_t i = 0; i < *items; ++i) {
            auto reference = referenceAt(at);
            auto item = reference ? object(*reference, depth + 1) : std::nullopt;
            if (!item) return std::nullopt;
            array.push_back(std::move(*item));
        }
        return Value(std::move(array));
    }
    case DictionaryMarker: {
        auto entries = count(info, at);
        if (!entries || *entries > (offsetTable_ - std::min(at, offsetTable_)) / referenceSize_ / 2) return std::nullopt;
        std::size_t keyAt = at, valueAt = at + static_cast<std::size_t>(*entries) * referenceSize_;
        Dictionary dictionary;
        for (std::uint64_t i = 0; i < *entries; ++i) {
            auto keyReference = referenceAt(keyAt);
            auto key = keyReference ? object(*keyReference, depth + 1) : std::nullopt;
            if (!key || !key->isText()) return std::nullopt;
            auto valueReference = referenceAt(valueAt);
            auto value = valueReference ? object(*valueReference, depth + 1) : std::nullopt;
            if (!value) return std::nullopt;
            dictionary.set(*key->text(), std::move(*value));
        }
        return Value(std::move(dictionary));
    }
    default: return std::nullopt;
    }
}

std::optional<Value> BinaryPropertyListReader::text(std::size_t at, std::uint64_t units, bool utf16) const {
    std::uint64_t width = utf16 ? 2 : 1;
    if (at > offsetTable_ || units > (offsetTable_ - at) / width) return std::nullopt;
    std::string result;
    if (!utf16) {
        result.assign(bytes_.data() + at, static_cast<std::size_t>(units));
    } else {
        result.reserve(static_cast<std::size_t>(units));
        for (std::uint64_t i = 0; i < units; ++i) {
            auto unit = static_cast<char32_t>(*unsignedAt(at + 2 * i, 2));
            if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
                auto low = static_cast<char32_t>(*unsignedAt(at + 2 * (i + 1), 2));
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    UTF16::append(result, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                    ++i;
                    continue;
                }
            }
            if (unit >= 0xD800 && unit <= 0xDFFF) return std::nullopt;  // an unpaired surrogate
            UTF16::append(result, unit);
        }
    }
    // Texts are Unicode, as the writers require.
    if (!UTF16::isValidUTF8(result)) return std::nullopt;
    return Value(std::move(result));
}
