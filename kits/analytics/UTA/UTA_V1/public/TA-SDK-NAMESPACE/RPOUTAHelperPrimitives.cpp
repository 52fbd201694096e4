// The byte-level tools of the report frames: RC4, gzip and gunzip, MD5
// text and JSON text.
#define OPENSSL_API_COMPAT 0x10100000L
#include <openssl/rc4.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "foundation/CommonDigest.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSString.h"
#include "foundation/UTF16.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTALog.h"

namespace {

// One key for requests and replies: its 32 characters are the key bytes.
constexpr char kRC4Key[] = "7c2e9a41d06b58f3e1a7c940b25d6e8f";
constexpr std::size_t kGZipChunk = 8192;

}  // namespace

void RPOUTAHelper::ChiperRC4(NSData& data) {
    if (data.empty()) return;
    RC4_KEY key;
    RC4_set_key(&key, static_cast<int>(sizeof kRC4Key - 1), reinterpret_cast<const unsigned char*>(kRC4Key));
    RC4(&key, data.length(), data.bytes(), data.mutableBytes());
}

int RPOUTAHelper::GZip(const NSData& data, NSData* out) {
    if (data.empty() || !out) return -1;
    z_stream stream{};
    stream.next_in = const_cast<Bytef*>(data.bytes());
    stream.avail_in = static_cast<uInt>(data.length());
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) != Z_OK) return -1;
    NSData compressed;
    compressed.setLength(kGZipChunk);
    do {
        if (stream.total_out >= compressed.length()) compressed.setLength(compressed.length() + kGZipChunk);
        stream.next_out = compressed.mutableBytes() + stream.total_out;
        stream.avail_out = static_cast<uInt>(compressed.length() - stream.total_out);
        deflate(&stream, Z_FINISH);
    } while (stream.avail_out == 0);
    deflateEnd(&stream);
    compressed.setLength(stream.total_out);
    *out = std::move(compressed);
    return 0;
}

int RPOUTAHelper::GUnzip(const NSData& data, NSData* out, std::size_t limit) {
    if (data.empty() || !out) return -1;
    const std::size_t growth = std::max<std::size_t>(data.length() / 2, 1);
    NSData inflated;
    inflated.setLength(data.length() + data.length() / 2);
    z_stream stream{};
    stream.next_in = const_cast<Bytef*>(data.bytes());
    stream.avail_in = static_cast<uInt>(data.length());
    if (inflateInit2(&stream, 47) != Z_OK) {
        UTALog("Failed to init gunzip.");
        return -1;
    }
    int status;
    do {
        if (stream.total_out >= inflated.length()) inflated.setLength(inflated.length() + growth);
        stream.next_out = inflated.mutableBytes() + stream.total_out;
        stream.avail_out = static_cast<uInt>(inflated.length() - stream.total_out);
        status = inflate(&stream, Z_SYNC_FLUSH);
        if (stream.total_out > limit) status = Z_BUF_ERROR;
    } while (status == Z_OK);
    if (inflateEnd(&stream) != Z_OK) {
        UTALog("Gunzip inflateEnd failed.");
        return -1;
    }
    if (status != Z_STREAM_END) {
        UTALog("Gunzip failed with status == %d", status);
        return -1;
    }
    inflated.setLength(stream.total_out);
    *out = std::move(inflated);
    return 0;
}

std::optional<std::string> RPOUTAHelper::md5encrypt(const std::optional<std::string>& text) {
    if (!text || text->empty()) return std::nullopt;
    // The digest covers the text up to its first zero byte.
    const std::size_t length = strnlen(text->c_str(), text->size());
    unsigned char digest[CC_MD5_DIGEST_LENGTH];
    CC_MD5(text->data(), static_cast<CC_LONG>(length), digest);
    std::string hex;
    for (unsigned char byte : digest) hex += NSString::stringWithFormat("%02x", static_cast<unsigned>(byte));
    return hex;
}

bool UTAHasMalformedText(const Value& value) {
    if (const std::string* text = value.text()) return !UTF16::isValidUTF8(*text);
    if (const Array* array = value.array()) return std::any_of(array->begin(), array->end(), UTAHasMalformedText);
    if (const Dictionary* dictionary = value.dictionary()) {
        return std::any_of(dictionary->begin(), dictionary->end(), [](const Dictionary::Entry& entry) {
            return !UTF16::isValidUTF8(entry.first) || UTAHasMalformedText(entry.second);
        });
    }
    return false;
}

namespace {

// A missing value (no arguments, no properties) is no value to write; one
// inside a container is.
bool unwritableElement(const Value& element) { return element.isNil() || UTAHasUnwritableValue(element); }

}  // namespace

bool UTAHasUnwritableValue(const Value& value) {
    switch (value.kind()) {
    case Value::Kind::Real: return !std::isfinite(*value.real());
    case Value::Kind::Data:
    case Value::Kind::Date:
    case Value::Kind::Object: return true;
    case Value::Kind::Array: return std::any_of(value.array()->begin(), value.array()->end(), unwritableElement);
    case Value::Kind::Dictionary:
        return std::any_of(value.dictionary()->begin(), value.dictionary()->end(),
                           [](const Dictionary::Entry& entry) { return unwritableElement(entry.second); });
    default: return false;
    }
}

namespace {

std::string repairedText(const std::string& text) { return UTF16::decode(UTF16::encode(text)); }

// The value with its texts and keys as well-formed UTF-8 and every value
// JSON has no form for as the text "%@" gives for it ("nan", a date, the
// bytes in hexadecimal); an object, whose text would carry its address, and
// a missing element as null.
Value repaired(const Value& value) {
    if (value.isObject() || value.isNil()) return Value::null();
    if (UTAHasUnwritableValue(value) && !value.isArray() && !value.isDictionary())
        return Value(repairedText(value.description()));
    if (const std::string* text = value.text()) return Value(repairedText(*text));
    if (const Array* array = value.array()) {
        Array items;
        items.reserve(array->size());
        for (const Value& item : *array) items.push_back(repaired(item));
        return Value(std::move(items));
    }
    if (const Dictionary* dictionary = value.dictionary()) {
        Dictionary entries;
        for (const auto& [key, item] : *dictionary) entries.set(repairedText(key), repaired(item));
        return Value(std::move(entries));
    }
    return value;
}

}  // namespace

std::string RPOUTAHelper::getJson(const Value& object) const {
    if (!object.isDictionary() && !object.isArray()) {
        UTALog("json error :%@", std::string("Invalid top-level type in JSON write"));
        return "{}";
    }
    std::optional<Value> mended;
    if (UTAHasMalformedText(object) || UTAHasUnwritableValue(object)) mended = repaired(object);
    auto data = NSJSONSerialization::dataWithJSONObject(mended ? *mended : object);
    if (!data) {
        UTALog("json error :%@", std::string("Invalid type in JSON write"));
        return "{}";
    }
    std::string text = data->toString();
    if (text.empty() || !UTF16::isValidUTF8(text)) return "{}";
    return text;
}
