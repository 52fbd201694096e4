#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "foundation/NSCoder.h"

// Writes objects into a keyed archive (see KeyedArchiveFormat.h), the form
// the phone's own archiver reads. Texts, numbers and data are stored as they
// are; dates, arrays, dictionaries, null and URLs as the platform's classes
// store them; NSCoding objects through their encodeWithCoder. An object
// reached twice is written once and referred to, so cycles through objects
// are kept.
class NSKeyedArchiver : public NSObject, public NSCoder {
public:
    NSKeyedArchiver();

    // The archive of `root` under the key "root"; nothing (and the error)
    // when something in it cannot be archived.
    static std::optional<NSData> archivedDataWithRootObject(const Value& root, Ref<NSError>* error = nullptr);

    // Process-wide: objects whose className() is `className` are archived
    // under `codedName` (nothing or "" removes the mapping).
    static void setClassName(const std::string& codedName, const std::string& className);
    static std::optional<std::string> classNameForClass(const std::string& className);

    // Ends the archive; further encoding is ignored. Nothing when an object
    // could not be archived.
    std::optional<NSData> encodedData();
    Ref<NSError> error() const { return error_; }

    void encodeObject(const Value& object, std::string_view key) override;
    void encodeBool(bool value, std::string_view key) override;
    void encodeInt64(std::int64_t value, std::string_view key) override;
    void encodeDouble(double value, std::string_view key) override;
    void encodeBytes(const std::uint8_t* bytes, std::size_t length, std::string_view key) override;
    void failWithError(Ref<NSError> error) override;

private:
    void encodeInline(Value value, std::string_view key);
    // The UID of a value's entry in "$objects", writing it when new.
    std::uint64_t uidOf(const Value& value);
    std::uint64_t append(Value entry);
    std::uint64_t instance(Dictionary fields, const std::string& className);
    std::uint64_t classUID(const std::string& className);
    std::uint64_t encodeArray(const Array& items);
    std::uint64_t encodeDictionary(const Dictionary& entries);
    std::uint64_t encodeReference(const Ref<NSObject>& object);
    void fail(std::string reason);

    Array objects_;
    // The keyed fields being written: "$top" first, then one per object in progress.
    std::vector<Dictionary> containers_;
    // Held so that no object's address is reused while the archive is written.
    std::unordered_map<Ref<NSObject>, std::uint64_t> objectUIDs_;
    std::unordered_map<std::string, std::uint64_t> textUIDs_;
    std::unordered_map<std::string, std::uint64_t> classUIDs_;
    std::optional<std::uint64_t> nullUID_;
    std::optional<NSData> finished_;
    Ref<NSError> error_;
};
