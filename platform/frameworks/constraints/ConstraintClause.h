#pragma once

#include <optional>

#include "frameworks/constraints/ConstraintAttributes.h"
#include "frameworks/constraints/ConstraintTarget.h"
#include "uikit/NSLayoutConstraint.h"

// One clause of a make-constraints block, e.g.
// `make.left.right.equalTo(other).inset(10).priority(750)`: the attributes,
// the relation and target, and the modifiers. A constant set by a modifier
// (offset, inset) replaces the target's; the last one set wins.
struct ConstraintClause {
    ConstraintAttributes attributes = ConstraintAttributesNone;
    NSLayoutRelation relation = NSLayoutRelation::Equal;
    ConstraintTarget target = CGFloat(0);
    std::optional<ConstraintConstant> constant;
    CGFloat multiplier = 1;
    UILayoutPriority priority = UILayoutPriorityRequired;
};
