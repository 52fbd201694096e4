#include "foundation/NSPropertyListSerialization.h"

#include <plist/plist.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>

#include "foundation/BinaryPropertyListReader.h"
#include "foundation/UTF16.h"

namespace {

// Property-list dates count from 2001-01-01; ours from 1970-01-01.
constexpr double secondsFrom1970To2001 = 978307200.0;
// Deeper nesting than this is treated as malformed rather than risking the stack.
constexpr int maximumDepth = 512;
constexpr std::string_view binaryMagic = "bplist00";
constexpr std::string_view uidKey = "CF$UID";

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistNode = std::unique_ptr<void, PlistFree>;

struct MallocFree {
    void operator()(void* pointer) const { std::free(pointer); }
};
using MallocText = std::unique_ptr<char, MallocFree>;

// Texts are Unicode: valid UTF-8 without NUL characters (which the library's
// C strings cannot carry). The reader refuses other texts too, so that
// whatever it accepts can be written back.
bool isWritableText(std::string_view text) {
    return text.find('\0') == std::string_view::npos && UTF16::isValidUTF8(text);
}

// ------------------------------------------------------------------ reading

std::optional<Value> toValue(plist_t node, int depth);

std::optional<Value> arrayToValue(plist_t node, int depth) {
    Array items;
    uint32_t count = plist_array_get_size(node);
    items.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        auto item = toValue(plist_array_get_item(node, i), depth + 1);
        if (!item) return std::nullopt;
        items.push_back(std::move(*item));
    }
    return Value(std::move(items));
}

std::optional<Value> dictionaryToValue(plist_t node, int depth) {
    Dictionary entries;
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node, &iterator);
    std::unique_ptr<void, MallocFree> ownIterator(iterator);
    while (true) {
        char* rawKey = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, iterator, &rawKey, &item);
        MallocText key(rawKey);
        if (!item) break;
        if (!key || !isWritableText(key.get())) return std::nullopt;
        auto value = toValue(item, depth + 1);
        if (!value) return std::nullopt;
        entries.set(key.get(), std::move(*value));
    }
    return Value(std::move(entries));
}

std::optional<Value> toValue(plist_t node, int depth) {
    if (!node || depth > maximumDepth) return std::nullopt;
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t flag = 0;
        plist_get_bool_val(node, &flag);
        return Value(flag != 0);
    }
    case PLIST_UINT: {
        // The library keeps every integer as 64 raw bits; negative ones are
        // stored in two's complement.
        uint64_t bits = 0;
        plist_get_uint_val(node, &bits);
        return Value(static_cast<int64_t>(bits));
    }
    case PLIST_REAL: {
        double number = 0;
        plist_get_real_val(node, &number);
        return Value(number);
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        std::string string(text ? text : "", text ? length : 0);
        if (!isWritableText(string)) return std::nullopt;
        return Value(std::move(string));
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        return Value(NSData(bytes, bytes ? length : 0));
    }
    case PLIST_DATE: {
        int32_t seconds = 0, microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        return Value(NSDate(seconds + microseconds / 1e6 + secondsFrom1970To2001));
    }
    case PLIST_UID: {
        uint64_t uid = 0;
        plist_get_uid_val(node, &uid);
        return Value(Dictionary{{std::string(uidKey), uid}});
    }
    case PLIST_ARRAY: return arrayToValue(node, depth);
    case PLIST_DICT: return dictionaryToValue(node, depth);
    case PLIST_NONE: break;
    }
    return std::nullopt;
}

// The XML text without a leading byte-order mark, or nothing when it does
// not start (after white space) with markup.
std::optional<std::string_view> xmlText(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    auto start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos || text[start] != '<') return std::nullopt;
    return text;
}

// ------------------------------------------------------------------ writing

PlistNode toNode(const Value& value, int depth);

plist_t newDate(const NSDate& date) {
    double since2001 = date.timeIntervalSince1970() - secondsFrom1970To2001;
    if (std::isnan(since2001)) return nullptr;
    // The library stores dates as 32-bit seconds (1933 to 2069); dates beyond
    // that, such as the distant past and future, are pinned to its ends.
    constexpr double lowest = std::numeric_limits<int32_t>::min(), highest = std::numeric_limits<int32_t>::max();
    double whole = std::floor(since2001);
    if (whole < lowest) return plist_new_date(std::numeric_limits<int32_t>::min(), 0);
    if (whole > highest) return plist_new_date(std::numeric_limits<int32_t>::max(), 0);
    auto microseconds = static_cast<int32_t>(std::lround((since2001 - whole) * 1e6));
    auto seconds = static_cast<int32_t>(whole);
    if (microseconds >= 1000000 && seconds < std::numeric_limits<int32_t>::max()) {
        microseconds -= 1000000;
        ++seconds;
    }
    return plist_new_date(seconds, std::min(microseconds, 999999));
}

// A dictionary {"CF$UID": n} stands for a keyed-archive UID.
std::optional<uint64_t> uidOf(const Dictionary& dictionary) {
    if (dictionary.count() != 1) return std::nullopt;
    const Value* uid = dictionary.find(uidKey);
    if (!uid) return std::nullopt;
    return uid->unsignedInteger();
}

PlistNode toNode(const Value& value, int depth) {
    if (depth > maximumDepth) return nullptr;
    switch (value.kind()) {
    case Value::Kind::Bool: return PlistNode(plist_new_bool(*value.boolean() ? 1 : 0));
    case Value::Kind::Integer: return PlistNode(plist_new_uint(static_cast<uint64_t>(*value.integer())));
    case Value::Kind::Unsigned: {
        // Kept as raw 64 bits, such a number would read back negative.
        auto number = value.integer();
        return number ? PlistNode(plist_new_uint(static_cast<uint64_t>(*number))) : nullptr;
    }
    case Value::Kind::Real: return PlistNode(plist_new_real(*value.real()));
    case Value::Kind::Text: {
        const std::string& text = *value.text();
        if (!isWritableText(text)) return nullptr;
        return PlistNode(plist_new_string(text.c_str()));
    }
    case Value::Kind::Data: {
        const NSData& data = *value.data();
        return PlistNode(plist_new_data(reinterpret_cast<const char*>(data.bytes()), data.length()));
    }
    case Value::Kind::Date: return PlistNode(newDate(*value.date()));
    case Value::Kind::Array: {
        PlistNode array(plist_new_array());
        for (const Value& item : *value.array()) {
            PlistNode child = toNode(item, depth + 1);
            if (!child) return nullptr;
            plist_array_append_item(array.get(), child.release());
        }
        return array;
    }
    case Value::Kind::Dictionary: {
        const Dictionary& entries = *value.dictionary();
        if (auto uid = uidOf(entries)) return PlistNode(plist_new_uid(*uid));
        PlistNode dictionary(plist_new_dict());
        for (const auto& [key, item] : entries) {
            if (!isWritableText(key)) return nullptr;
            PlistNode child = toNode(item, depth + 1);
            if (!child) return nullptr;
            plist_dict_set_item(dictionary.get(), key.c_str(), child.release());
        }
        return dictionary;
    }
    case Value::Kind::Nil:
    case Value::Kind::Null:
    case Value::Kind::Object: break;
    }
    return nullptr;
}

}  // namespace

std::optional<Value> NSPropertyListSerialization::propertyListWithData(const NSData& data, Format* format) {
    try {
        if (data.empty() || data.length() > std::numeric_limits<uint32_t>::max()) return std::nullopt;
        std::string_view bytes(reinterpret_cast<const char*>(data.bytes()), data.length());
        if (bytes.substr(0, binaryMagic.size()) == binaryMagic) {
            // The library's binary reader trusts the file too much; ours checks it.
            auto value = BinaryPropertyListReader::read(bytes);
            if (value && format) *format = Format::Binary;
            return value;
        }
        auto xml = xmlText(bytes);
        if (!xml) return std::nullopt;
        plist_t root = nullptr;
        plist_from_xml(xml->data(), static_cast<uint32_t>(xml->size()), &root);
        PlistNode owner(root);
        auto value = toValue(root, 0);
        if (value && format) *format = Format::XML;
        return value;
    } catch (...) {
        return std::nullopt;
    }
}

bool NSPropertyListSerialization::propertyList(const Value& plist, Format) {
    try {
        return toNode(plist, 0) != nullptr;
    } catch (...) {
        return false;
    }
}

std::optional<NSData> NSPropertyListSerialization::dataWithPropertyList(const Value& plist, Format format) {
    try {
        PlistNode root = toNode(plist, 0);
        if (!root) return std::nullopt;
        char* bytes = nullptr;
        uint32_t length = 0;
        if (format == Format::Binary) plist_to_bin(root.get(), &bytes, &length);
        else plist_to_xml(root.get(), &bytes, &length);
        if (!bytes) return std::nullopt;
        NSData data(bytes, length);
        if (format == Format::Binary) plist_to_bin_free(bytes);
        else plist_to_xml_free(bytes);
        return data;
    } catch (...) {
        return std::nullopt;
    }
}
