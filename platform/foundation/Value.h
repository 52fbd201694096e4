#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

#include "foundation/NSData.h"
#include "foundation/NSDate.h"
#include "foundation/NSObject.h"

class Value;

// An array of dynamic values (the platform's array).
using Array = std::vector<Value>;

// A dictionary with text keys that keeps insertion order, as enumeration of
// the platform's dictionaries in parameter lists and JSON answers does.
class Dictionary {
public:
    using Entry = std::pair<std::string, Value>;

    Dictionary() = default;
    Dictionary(std::initializer_list<Entry> entries);

    // Defined below Value, which they need complete.
    std::size_t count() const;
    bool empty() const;
    bool contains(std::string_view key) const { return indexOf(key) != npos; }
    // The value for a key, or nullptr.
    const Value* find(std::string_view key) const;
    Value* find(std::string_view key);
    // The value for a key, nil when missing.
    const Value& operator[](std::string_view key) const;
    // Sets (or, for nil, removes) the value for a key; a new key goes last.
    void set(std::string_view key, Value value);
    // Sets a value that is not nil, as set() does, and answers where it is kept.
    Value& put(std::string key, Value value);
    void remove(std::string_view key);
    void clear();
    std::vector<std::string> keys() const;

    // Iteration in insertion order. Values may be changed in place; keys not.
    std::vector<Entry>::const_iterator begin() const { return entries_.begin(); }
    std::vector<Entry>::const_iterator end() const { return entries_.end(); }
    std::vector<Entry>::iterator begin() { return entries_.begin(); }
    std::vector<Entry>::iterator end() { return entries_.end(); }

    bool operator==(const Dictionary& other) const;

private:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    // Small dictionaries search linearly; larger ones keep a hash index. The
    // threshold sits above the size of typical JSON records, for which
    // building the index costs more than it saves.
    static constexpr std::size_t indexThreshold = 24;
    std::size_t indexOf(std::string_view key) const;
    void rebuildIndex();

    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
    };
    std::vector<Entry> entries_;
    std::unordered_map<std::string, std::size_t, KeyHash, std::equal_to<>> index_;
};


// The one type of dynamic data: JSON answers, parameter dictionaries,
// property lists, user defaults. It keeps the number 1, the real 1.0, the
// text "1" and true apart, and tells nil (nothing at all) from null (the
// explicit null object that JSON's `null` becomes).
class Value {
public:
    enum class Kind { Nil, Null, Bool, Integer, Unsigned, Real, Text, Data, Date, Array, Dictionary, Object };
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };

    Value() = default;
    static Value null() { return Value(NullTag{}); }
    Value(NullTag) : storage_(NullTag{}) {}
    Value(bool flag) : storage_(flag) {}
    template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> && std::is_signed_v<T>, int> = 0>
    Value(T number) : storage_(static_cast<std::int64_t>(number)) {}
    template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> && std::is_unsigned_v<T>, int> = 0>
    Value(T number) : storage_(static_cast<std::uint64_t>(number)) {}
    template <class T, std::enable_if_t<std::is_floating_point_v<T>, int> = 0>
    Value(T number) : storage_(static_cast<double>(number)) {}
    Value(const char* text);  // nullptr gives nil
    Value(std::string text) : storage_(std::move(text)) {}
    Value(std::string_view text) : storage_(std::string(text)) {}
    Value(NSData data) : storage_(std::move(data)) {}
    Value(NSDate date) : storage_(date) {}
    Value(Array array) : storage_(std::move(array)) {}
    Value(Dictionary dictionary) : storage_(std::move(dictionary)) {}
    // A reference object; a null reference gives nil.
    template <class T, std::enable_if_t<std::is_base_of_v<NSObject, T>, int> = 0>
    Value(Ref<T> object) {
        if (object) storage_ = Ref<NSObject>(std::move(object));
    }

    Kind kind() const { return static_cast<Kind>(storage_.index()); }
    bool isNil() const { return kind() == Kind::Nil; }
    bool isNull() const { return kind() == Kind::Null; }
    bool isBool() const { return kind() == Kind::Bool; }
    // Integer or unsigned.
    bool isInteger() const { return kind() == Kind::Integer || kind() == Kind::Unsigned; }
    bool isReal() const { return kind() == Kind::Real; }
    // Any number, bools included (as the platform's number class holds bools).
    bool isNumber() const { return isBool() || isInteger() || isReal(); }
    bool isText() const { return kind() == Kind::Text; }
    bool isData() const { return kind() == Kind::Data; }
    bool isDate() const { return kind() == Kind::Date; }
    bool isArray() const { return kind() == Kind::Array; }
    bool isDictionary() const { return kind() == Kind::Dictionary; }
    bool isObject() const { return kind() == Kind::Object; }
    explicit operator bool() const = delete;  // say isNil() or boolValue()

    // Typed access: nothing on the wrong kind, never a throw.
    std::optional<bool> boolean() const;
    // Integers, and unsigned ones that fit.
    std::optional<std::int64_t> integer() const;
    // Unsigned, and integers that are not negative.
    std::optional<std::uint64_t> unsignedInteger() const;
    // Any number but a bool, as a double.
    std::optional<double> real() const;
    const std::string* text() const { return std::get_if<std::string>(&storage_); }
    std::string* text() { return std::get_if<std::string>(&storage_); }
    const NSData* data() const { return std::get_if<NSData>(&storage_); }
    NSData* data() { return std::get_if<NSData>(&storage_); }
    std::optional<NSDate> date() const;
    const Array* array() const { return std::get_if<Array>(&storage_); }
    Array* array() { return std::get_if<Array>(&storage_); }
    const Dictionary* dictionary() const { return std::get_if<Dictionary>(&storage_); }
    Dictionary* dictionary() { return std::get_if<Dictionary>(&storage_); }
    Ref<NSObject> object() const;
    template <class T> Ref<T> objectAs() const { return std::dynamic_pointer_cast<T>(object()); }

    // Conversions as numbers and texts answer them: numbers convert, texts
    // parse their leading number, anything else gives 0 / false / nothing.
    int intValue() const;
    long long longLongValue() const;
    long integerValue() const { return static_cast<long>(longLongValue()); }
    double doubleValue() const;
    float floatValue() const { return static_cast<float>(doubleValue()); }
    bool boolValue() const;
    // A text as it is, a number as its description; nothing for other kinds.
    std::optional<std::string> stringValue() const;

    // Lookups that never fail: a missing key, an index out of range or the
    // wrong kind all give nil.
    const Value& operator[](std::string_view key) const;
    const Value& operator[](std::size_t index) const;
    const Value& operator[](int index) const { return (*this)[static_cast<std::size_t>(index < 0 ? SIZE_MAX : index)]; }
    // Entries of an array or dictionary; 0 for anything else.
    std::size_t count() const;

    // "%@" of the value: "(null)" for nil, "<null>" for null, numbers in their
    // shortest form, bools "1"/"0", texts as they are, containers as the
    // platform prints them.
    std::string description() const;

    // Equality as the platform's isEqual: numbers compare by value across
    // kinds (1 equals 1.0 and true), everything else by kind and content.
    bool operator==(const Value& other) const;

private:
    friend class Dictionary;
    void describe(std::string& out, int indent) const;

    std::variant<std::monostate, NullTag, bool, std::int64_t, std::uint64_t, double, std::string, NSData, NSDate,
                 Array, Dictionary, Ref<NSObject>>
        storage_;
};

inline std::size_t Dictionary::count() const { return entries_.size(); }
inline bool Dictionary::empty() const { return entries_.empty(); }
