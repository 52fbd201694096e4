#include "frameworks/constraints/MASConstraint.h"

MASConstraint& MASConstraint::relate(NSLayoutRelation relation, const ConstraintTarget& target) {
    clause_ = list_->add(attributes_, relation, target);
    return *this;
}

MASConstraint& MASConstraint::equalTo(const ConstraintTarget& target) {
    return relate(NSLayoutRelation::Equal, target);
}

MASConstraint& MASConstraint::greaterThanOrEqualTo(const ConstraintTarget& target) {
    return relate(NSLayoutRelation::GreaterThanOrEqual, target);
}

MASConstraint& MASConstraint::lessThanOrEqualTo(const ConstraintTarget& target) {
    return relate(NSLayoutRelation::LessThanOrEqual, target);
}

MASConstraint& MASConstraint::setConstant(ConstraintConstant constant) {
    if (clause_) (*list_)[*clause_].constant = constant;
    return *this;
}

MASConstraint& MASConstraint::offset(CGFloat amount) { return setConstant(amount); }

MASConstraint& MASConstraint::insets(UIEdgeInsets insets) { return setConstant(insets); }

MASConstraint& MASConstraint::inset(CGFloat amount) { return setConstant(UIEdgeInsetsMake(amount, amount, amount, amount)); }

MASConstraint& MASConstraint::sizeOffset(CGSize amount) { return setConstant(amount); }

MASConstraint& MASConstraint::centerOffset(CGPoint amount) { return setConstant(amount); }

MASConstraint& MASConstraint::multipliedBy(CGFloat amount) {
    if (clause_) (*list_)[*clause_].multiplier = amount;
    return *this;
}

MASConstraint& MASConstraint::dividedBy(CGFloat amount) {
    if (clause_ && amount != 0) (*list_)[*clause_].multiplier = 1 / amount;
    return *this;
}

MASConstraint& MASConstraint::priority(UILayoutPriority amount) {
    if (clause_) (*list_)[*clause_].priority = amount;
    return *this;
}
