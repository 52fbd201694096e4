#pragma once

#include <optional>
#include <string>
#include <utility>

#include "foundation/NSData.h"

// The kit's value classes carry plain read-write fields. A text or a data
// field may be absent (nil), which the message format tells apart from an
// empty value, hence the optional types.
using RPText = std::optional<std::string>;
using RPBytes = std::optional<NSData>;

// Declares a private field with its getter `name()` and setter `setter()`.
// Leaves the class in its private section: put these last.
#define RP_PROPERTY(Type, name, setter) RP_PROPERTY_INIT(Type, name, setter, {})
#define RP_PROPERTY_INIT(Type, name, setter, initial)                       \
public:                                                                     \
    const Type& name() const { return name##_; }                            \
    void setter(Type value) { name##_ = std::move(value); }                 \
                                                                            \
private:                                                                    \
    Type name##_ = initial;
