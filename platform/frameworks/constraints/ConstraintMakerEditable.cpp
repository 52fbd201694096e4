#include "frameworks/constraints/ConstraintMakerEditable.h"

ConstraintMakerEditable& ConstraintMakerEditable::offset(CGFloat amount) {
    clause().constant = amount;
    return *this;
}

ConstraintMakerEditable& ConstraintMakerEditable::inset(CGFloat amount) {
    return inset(UIEdgeInsetsMake(amount, amount, amount, amount));
}

ConstraintMakerEditable& ConstraintMakerEditable::inset(UIEdgeInsets insets) {
    clause().constant = insets;
    return *this;
}

ConstraintMakerEditable& ConstraintMakerEditable::multipliedBy(CGFloat amount) {
    clause().multiplier = amount;
    return *this;
}

ConstraintMakerEditable& ConstraintMakerEditable::dividedBy(CGFloat amount) {
    if (amount != 0) clause().multiplier = 1 / amount;
    return *this;
}

ConstraintMakerEditable& ConstraintMakerEditable::priority(UILayoutPriority amount) {
    clause().priority = amount;
    return *this;
}
