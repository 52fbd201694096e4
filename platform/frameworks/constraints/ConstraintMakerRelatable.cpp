#include "frameworks/constraints/ConstraintMakerRelatable.h"

ConstraintMakerEditable ConstraintMakerRelatable::relate(NSLayoutRelation relation,
                                                         const ConstraintTarget& target) const {
    return {list_, list_->add(attributes_, relation, target)};
}

ConstraintMakerEditable ConstraintMakerRelatable::equalTo(const ConstraintTarget& target) const {
    return relate(NSLayoutRelation::Equal, target);
}

ConstraintMakerEditable ConstraintMakerRelatable::lessThanOrEqualTo(const ConstraintTarget& target) const {
    return relate(NSLayoutRelation::LessThanOrEqual, target);
}

ConstraintMakerEditable ConstraintMakerRelatable::greaterThanOrEqualTo(const ConstraintTarget& target) const {
    return relate(NSLayoutRelation::GreaterThanOrEqual, target);
}

ConstraintMakerEditable ConstraintMakerRelatable::equalToSuperview() const {
    return relate(NSLayoutRelation::Equal, ConstraintTarget::superview());
}

ConstraintMakerEditable ConstraintMakerRelatable::lessThanOrEqualToSuperview() const {
    return relate(NSLayoutRelation::LessThanOrEqual, ConstraintTarget::superview());
}

ConstraintMakerEditable ConstraintMakerRelatable::greaterThanOrEqualToSuperview() const {
    return relate(NSLayoutRelation::GreaterThanOrEqual, ConstraintTarget::superview());
}
