#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "foundation/NSCoder.h"

class NSKeyedUnarchiver;

// Asked when an archive names a class that is not known here.
class NSKeyedUnarchiverDelegate {
public:
    virtual ~NSKeyedUnarchiverDelegate() = default;
    // The name of a known class to decode the object as instead, or nothing
    // to fail the decoding. `classNames` is the archive's class chain.
    virtual std::optional<std::string> unarchiverCannotDecodeObjectOfClassName(
        NSKeyedUnarchiver& unarchiver, const std::string& name, const std::vector<std::string>& classNames) = 0;
};

// Reads keyed archives (see KeyedArchiveFormat.h), ours and the phone's.
// Plain texts, numbers and data come back as such; the platform's strings,
// data, dates, arrays, sets (as arrays), dictionaries with text keys, null
// and URLs as the matching Value; other classes are made through the
// registry below and filled by their initWithCoder. Malformed archives fail
// cleanly with an error in NSCocoaErrorDomain: the input may come from
// another app's pasteboard.
class NSKeyedUnarchiver : public NSObject, public NSCoder {
public:
    // Nothing (and the error) when the data is not a keyed archive.
    static Ref<NSKeyedUnarchiver> initForReadingFromData(const NSData& data, Ref<NSError>* error = nullptr);

    // The root object of an archive, any known class accepted; nil (and the
    // error) when the archive cannot be read or has no top object "root".
    static Value unarchiveObjectWithData(const NSData& data, Ref<NSError>* error = nullptr);
    // The same, decoding only the named classes (also inside containers and
    // objects): any other class fails the whole decoding. "NSString",
    // "NSNumber", "NSData", "NSDate", "NSArray", "NSDictionary", "NSNull" and
    // "NSURL" name the platform's kinds; "NSObject" allows everything.
    static Value unarchivedObjectOfClasses(const std::vector<std::string>& classNames, const NSData& data,
                                           Ref<NSError>* error = nullptr);
    static Value unarchivedObjectOfClass(const std::string& className, const NSData& data,
                                         Ref<NSError>* error = nullptr) {
        return unarchivedObjectOfClasses({className}, data, error);
    }

    // Process-wide registry of the classes that archives may name. A class
    // registers under its className(); T needs a default constructor (used
    // through make<T>()) and NSCoding.
    template <class T> static void registerClass() {
        static_assert(std::is_base_of_v<NSObject, T> && std::is_base_of_v<NSCoding, T>);
        registerClassMaker(make<T>()->className(), [] { return Ref<NSObject>(make<T>()); });
    }
    static bool isClassRegistered(const std::string& className);
    // Process-wide: archives naming `codedName` decode as the registered
    // class `className` (nothing or "" removes the mapping).
    static void setClass(const std::string& className, const std::string& codedName);

    void setDelegate(WeakRef<NSKeyedUnarchiverDelegate> delegate) { delegate_ = std::move(delegate); }
    // On: objects decode only through decodeObjectOfClasses (or inside a
    // call of it), as the secure form asks.
    void setRequiresSecureCoding(bool secure) { requiresSecureCoding_ = secure; }
    bool requiresSecureCoding() const override { return requiresSecureCoding_; }
    Ref<NSError> error() const { return error_; }

    bool containsValueForKey(std::string_view key) override;
    Value decodeObjectForKey(std::string_view key) override;
    Value decodeObjectOfClasses(const std::vector<std::string>& classNames, std::string_view key) override;
    bool decodeBoolForKey(std::string_view key) override;
    std::int64_t decodeInt64ForKey(std::string_view key) override;
    std::int32_t decodeInt32ForKey(std::string_view key) override;
    double decodeDoubleForKey(std::string_view key) override;
    std::optional<NSData> decodeBytesForKey(std::string_view key) override;
    void failWithError(Ref<NSError> error) override;

    // Public only for make<T>(); use initForReadingFromData.
    NSKeyedUnarchiver(Array objects, Dictionary top);

private:
    using AllowedClasses = std::optional<std::set<std::string>>;
    // A decoded entry kept for later references, with the kinds of class it
    // holds (checked again against the classes allowed there) and its size.
    struct Decoded {
        Value value;
        std::set<std::string> classes;
        std::size_t size = 0;
    };

    static void registerClassMaker(const std::string& className, std::function<Ref<NSObject>()> maker);

    const Value* field(std::string_view key);
    Value decodeField(std::string_view key, AllowedClasses allowed);
    // The object under the top key "root"; an archive without one fails.
    Value decodeRoot(AllowedClasses allowed);
    Value decode(std::uint64_t index, const AllowedClasses& allowed);
    Value decodeEntry(std::uint64_t index, const AllowedClasses& allowed, std::set<std::string>& classesUsed);
    Value decodeInstance(std::uint64_t index, const Dictionary& fields, const AllowedClasses& allowed,
                         std::set<std::string>& classesUsed);
    Value decodeBuiltIn(const std::string& kind, const Dictionary& fields, const AllowedClasses& allowed);
    std::optional<Array> decodeList(const Value* references, const AllowedClasses& allowed);
    std::optional<Value> scalar(std::string_view key);
    bool allows(const AllowedClasses& allowed, const std::string& kind, const std::string& name);
    void fail(long code, std::string reason);

    Array objects_;
    Dictionary top_;
    // The keyed fields being read: "$top" first, then one per object in progress.
    std::vector<const Dictionary*> containers_;
    // The allowed classes of the innermost decodeObjectOfClasses call.
    std::vector<AllowedClasses> allowedStack_;
    std::vector<std::optional<Decoded>> decoded_;
    // Entries being decoded; the objects among them, for references back.
    std::vector<bool> inProgress_;
    std::unordered_map<std::uint64_t, Ref<NSObject>> objectsInProgress_;
    std::size_t valuesMade_ = 0;
    int depth_ = 0;
    bool requiresSecureCoding_ = false;
    WeakRef<NSKeyedUnarchiverDelegate> delegate_;
    Ref<NSError> error_;
};
