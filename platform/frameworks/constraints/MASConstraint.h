#pragma once

#include <cstddef>
#include <optional>

#include "frameworks/constraints/ConstraintClauseList.h"
#include "frameworks/constraints/ConstraintTarget.h"

// The Objective-C-style DSL's constraint for the attributes named so far:
// a relation starts a clause and answers the same object, whose modifiers
// then apply to that clause:
//     make.top.equalTo(mas_bottom(other)).offset(10);
//     make.left.mas_equalTo(20);
//     make.edges.equalTo(superview).insets(UIEdgeInsetsMake(5, 10, 5, 10));
// `offset` adds a number to every attribute's constant, `insets`/`inset`
// move edges inwards, `sizeOffset` and `centerOffset` apply per axis; each
// replaces the constant set before. Modifiers before any relation do nothing.
class MASConstraint {
public:
    MASConstraint(ConstraintClauseList* list, ConstraintAttributes attributes) : list_(list), attributes_(attributes) {}
    MASConstraint(const MASConstraint&) = delete;
    MASConstraint& operator=(const MASConstraint&) = delete;

    MASConstraint& equalTo(const ConstraintTarget& target);
    MASConstraint& mas_equalTo(const ConstraintTarget& target) { return equalTo(target); }
    MASConstraint& greaterThanOrEqualTo(const ConstraintTarget& target);
    MASConstraint& mas_greaterThanOrEqualTo(const ConstraintTarget& target) { return greaterThanOrEqualTo(target); }
    MASConstraint& lessThanOrEqualTo(const ConstraintTarget& target);
    MASConstraint& mas_lessThanOrEqualTo(const ConstraintTarget& target) { return lessThanOrEqualTo(target); }

    MASConstraint& offset(CGFloat amount);
    MASConstraint& mas_offset(CGFloat amount) { return offset(amount); }
    MASConstraint& insets(UIEdgeInsets insets);
    MASConstraint& inset(CGFloat amount);
    MASConstraint& sizeOffset(CGSize amount);
    MASConstraint& centerOffset(CGPoint amount);
    MASConstraint& multipliedBy(CGFloat amount);
    MASConstraint& dividedBy(CGFloat amount);
    MASConstraint& priority(UILayoutPriority amount);
    MASConstraint& priorityLow() { return priority(UILayoutPriorityDefaultLow); }
    MASConstraint& priorityMedium() { return priority(500); }
    MASConstraint& priorityHigh() { return priority(UILayoutPriorityDefaultHigh); }

    // Reads better and does nothing: `equalTo(view).with.offset(10)`.
    MASConstraint& with = *this;

private:
    MASConstraint& relate(NSLayoutRelation relation, const ConstraintTarget& target);
    MASConstraint& setConstant(ConstraintConstant constant);

    ConstraintClauseList* list_;
    ConstraintAttributes attributes_;
    std::optional<std::size_t> clause_;
};
