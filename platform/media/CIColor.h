#pragma once

#include "foundation/NSObject.h"
#include "graphics/UIColor.h"

// A colour handed to Core Image filters.
class CIColor : public NSObject {
public:
    explicit CIColor(UIColor color) : color_(color) {}

    static Ref<CIColor> colorWithCGColor(const UIColor& color) { return make<CIColor>(color); }
    static Ref<CIColor> colorWithRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha = 1) {
        return make<CIColor>(UIColor::colorWithRed(red, green, blue, alpha));
    }

    CGFloat red() const { return color_.red(); }
    CGFloat green() const { return color_.green(); }
    CGFloat blue() const { return color_.blue(); }
    CGFloat alpha() const { return color_.alpha(); }

private:
    UIColor color_;
};
