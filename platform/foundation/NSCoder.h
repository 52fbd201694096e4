#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/NSData.h"
#include "foundation/NSError.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

// Error codes of archiving in NSCocoaErrorDomain.
constexpr long NSCoderReadCorruptError = 4864;
constexpr long NSCoderValueNotFoundError = 4865;
constexpr long NSCoderInvalidValueError = 4866;

class NSCoder;

// An object that writes itself into a keyed archive and is filled again from
// one. Decoding makes the object with make<T>() first (so that a reference
// back to it from inside its own fields resolves) and then asks it to read
// its fields.
class NSCoding {
public:
    virtual ~NSCoding() = default;
    virtual void encodeWithCoder(NSCoder& coder) const = 0;
    // Reads the fields; false when the archive does not hold a usable object,
    // which then decodes as nil.
    virtual bool initWithCoder(NSCoder& coder) = 0;
};

// The keyed coder that NSCoding objects talk to: the archiver while encoding,
// the unarchiver while decoding. Each side answers the other side's calls as
// a no-op (encoding) or nothing found (decoding).
class NSCoder {
public:
    virtual ~NSCoder() = default;

    // Objects are any Value: texts, numbers, data, dates, arrays,
    // dictionaries, null, URLs and NSCoding objects; nil is kept as nil.
    virtual void encodeObject(const Value& object, std::string_view key) { (void)object, (void)key; }
    virtual void encodeBool(bool value, std::string_view key) { (void)value, (void)key; }
    virtual void encodeInt(int value, std::string_view key) { encodeInt64(value, key); }
    virtual void encodeInt32(std::int32_t value, std::string_view key) { encodeInt64(value, key); }
    virtual void encodeInteger(long value, std::string_view key) { encodeInt64(value, key); }
    virtual void encodeInt64(std::int64_t value, std::string_view key) { (void)value, (void)key; }
    virtual void encodeFloat(float value, std::string_view key) { encodeDouble(value, key); }
    virtual void encodeDouble(double value, std::string_view key) { (void)value, (void)key; }
    virtual void encodeBytes(const std::uint8_t* bytes, std::size_t length, std::string_view key) {
        (void)bytes, (void)length, (void)key;
    }

    virtual bool containsValueForKey(std::string_view key) { return (void)key, false; }
    // The object under a key, nil when missing or unreadable.
    virtual Value decodeObjectForKey(std::string_view key) { return (void)key, Value(); }
    // The same, accepting only objects (and, inside containers, elements) of
    // the named classes; anything else fails the whole decoding.
    virtual Value decodeObjectOfClasses(const std::vector<std::string>& classNames, std::string_view key) {
        return (void)classNames, (void)key, Value();
    }
    Value decodeObjectOfClass(const std::string& className, std::string_view key) {
        return decodeObjectOfClasses({className}, key);
    }
    // Scalars: 0 / false when missing or not a number; a number out of the
    // asked type's range fails the decoding.
    virtual bool decodeBoolForKey(std::string_view key) { return (void)key, false; }
    virtual std::int64_t decodeInt64ForKey(std::string_view key) { return (void)key, 0; }
    virtual std::int32_t decodeInt32ForKey(std::string_view key) { return (void)key, 0; }
    int decodeIntForKey(std::string_view key) { return decodeInt32ForKey(key); }
    long decodeIntegerForKey(std::string_view key) { return static_cast<long>(decodeInt64ForKey(key)); }
    virtual double decodeDoubleForKey(std::string_view key) { return (void)key, 0; }
    float decodeFloatForKey(std::string_view key) { return static_cast<float>(decodeDoubleForKey(key)); }
    // The bytes under a key, nothing when missing.
    virtual std::optional<NSData> decodeBytesForKey(std::string_view key) { return (void)key, std::nullopt; }

    // Stops the coding with this error; the archiving or unarchiving call
    // then answers nothing and hands the error out.
    virtual void failWithError(Ref<NSError> error) { (void)error; }
    virtual bool requiresSecureCoding() const { return false; }
};
