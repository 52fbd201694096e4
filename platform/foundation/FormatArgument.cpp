#include "foundation/FormatArgument.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "foundation/NSString.h"

namespace {

long long truncated(double number) {
    if (std::isnan(number)) return 0;
    if (number >= 9.2233720368547758e18) return std::numeric_limits<long long>::max();
    if (number <= -9.2233720368547758e18) return std::numeric_limits<long long>::min();
    return static_cast<long long>(number);
}

}  // namespace

long long FormatArgument::integer() const {
    switch (kind_) {
    case Kind::Bool:
    case Kind::Signed: return signed_;
    case Kind::Unsigned: return static_cast<long long>(unsigned_);
    case Kind::Real: return truncated(real_);
    case Kind::Text: return NSString::longLongValue(text_);
    case Kind::Value: return value_->longLongValue();
    case Kind::Pointer:
    case Kind::Object: return static_cast<long long>(reinterpret_cast<std::uintptr_t>(pointer_));
    case Kind::Nil: break;
    }
    return 0;
}

double FormatArgument::real() const {
    switch (kind_) {
    case Kind::Bool:
    case Kind::Signed: return static_cast<double>(signed_);
    case Kind::Unsigned: return static_cast<double>(unsigned_);
    case Kind::Real: return real_;
    case Kind::Text: return NSString::doubleValue(text_);
    case Kind::Value: return value_->doubleValue();
    default: return 0;
    }
}

std::string FormatArgument::description() const {
    switch (kind_) {
    case Kind::Nil: return "(null)";
    case Kind::Bool: return signed_ ? "1" : "0";
    case Kind::Signed: return std::to_string(signed_);
    case Kind::Unsigned: return std::to_string(unsigned_);
    case Kind::Real: return Value(real_).description();
    case Kind::Text: return std::string(text_);
    case Kind::Value: return value_->description();
    case Kind::Object: return object_->description();
    case Kind::Pointer: break;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%p", pointer_);
    return text;
}

const void* FormatArgument::address() const {
    if (kind_ == Kind::Value) {
        if (auto object = value_->object()) return object.get();
        return nullptr;
    }
    return pointer_;
}
