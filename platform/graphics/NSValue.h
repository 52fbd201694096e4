#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

// A point boxed as an object, so that it can sit in arrays of objects.
class NSValue : public NSObject {
public:
    explicit NSValue(CGPoint point) : point_(point) {}

    static Ref<NSValue> valueWithCGPoint(CGPoint point) { return make<NSValue>(point); }
    CGPoint CGPointValue() const { return point_; }

    bool isEqual(const NSObject& other) const override {
        auto value = dynamic_cast<const NSValue*>(&other);
        return value && value->point_ == point_;
    }

private:
    CGPoint point_;
};
