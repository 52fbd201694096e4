#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "foundation/NSObject.h"
#include "foundation/Value.h"

// One argument of a printf-style format, whatever C++ type the caller passed:
// the conversion in the format decides how it is read. Holds views and
// pointers only, so it lives no longer than the call that formats it.
class FormatArgument {
public:
    enum class Kind { Nil, Bool, Signed, Unsigned, Real, Text, Value, Object, Pointer };

    FormatArgument(bool flag) : kind_(Kind::Bool), signed_(flag ? 1 : 0) {}
    template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> && std::is_signed_v<T>, int> = 0>
    FormatArgument(T number) : kind_(Kind::Signed), signed_(number) {}
    template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> && std::is_unsigned_v<T>, int> = 0>
    FormatArgument(T number) : kind_(Kind::Unsigned), unsigned_(number) {}
    template <class T, std::enable_if_t<std::is_enum_v<T>, int> = 0>
    FormatArgument(T item) : FormatArgument(static_cast<std::underlying_type_t<T>>(item)) {}
    template <class T, std::enable_if_t<std::is_floating_point_v<T>, int> = 0>
    FormatArgument(T number) : kind_(Kind::Real), real_(static_cast<double>(number)) {}
    // A C string; a null one is nil.
    FormatArgument(const char* text) : kind_(text ? Kind::Text : Kind::Nil), text_(text ? text : "") {}
    FormatArgument(char* text) : FormatArgument(static_cast<const char*>(text)) {}
    FormatArgument(const std::string& text) : kind_(Kind::Text), text_(text) {}
    FormatArgument(std::string_view text) : kind_(Kind::Text), text_(text) {}
    FormatArgument(const Value& value) : kind_(Kind::Value), value_(&value) {}
    FormatArgument(std::nullptr_t) : kind_(Kind::Nil) {}
    // A reference object; a null reference is nil.
    template <class T, std::enable_if_t<std::is_base_of_v<NSObject, T>, int> = 0>
    FormatArgument(const Ref<T>& object) : FormatArgument(static_cast<const T*>(object.get())) {}
    // Any other pointer; pointers to reference objects describe the object.
    template <class T, std::enable_if_t<!std::is_same_v<std::remove_cv_t<T>, char>, int> = 0>
    FormatArgument(const T* pointer) : pointer_(pointer) {
        if constexpr (std::is_base_of_v<NSObject, T>) {
            kind_ = pointer ? Kind::Object : Kind::Nil;
            object_ = pointer;
        } else {
            kind_ = Kind::Pointer;
        }
    }

    Kind kind() const { return kind_; }
    // Read for an integer conversion: numbers convert (reals truncate), texts
    // give their leading integer, anything else 0.
    long long integer() const;
    // Read for a floating-point conversion, by the same rules.
    double real() const;
    // Read for "%@" and "%s": the object's description; "(null)" for nil.
    std::string description() const;
    // Read for "%p": the address; 0 for non-pointers.
    const void* address() const;

private:
    Kind kind_ = Kind::Nil;
    union {
        long long signed_ = 0;
        unsigned long long unsigned_;
        double real_;
    };
    std::string_view text_;
    const Value* value_ = nullptr;
    const NSObject* object_ = nullptr;
    const void* pointer_ = nullptr;
};
