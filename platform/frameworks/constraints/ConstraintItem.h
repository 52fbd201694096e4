#pragma once

#include "foundation/NSObject.h"
#include "frameworks/constraints/ConstraintAttributes.h"

// A view's or layout guide's attribute(s) that a clause relates to:
// `snp(other).bottom`, `mas_bottom(other)`.
struct ConstraintItem {
    Ref<NSObject> target;
    ConstraintAttributes attributes = ConstraintAttributesNone;
};
