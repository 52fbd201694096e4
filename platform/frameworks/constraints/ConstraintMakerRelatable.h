#pragma once

#include "frameworks/constraints/ConstraintMakerEditable.h"
#include "frameworks/constraints/ConstraintTarget.h"

// The relations of the Swift-style DSL, for the attributes named so far:
// `make.top.equalTo(snp(other).bottom)`, `make.width.equalTo(100)`,
// `make.left.right.equalToSuperview()`.
class ConstraintMakerRelatable {
public:
    ConstraintMakerRelatable(ConstraintClauseList* list, ConstraintAttributes attributes)
        : list_(list), attributes_(attributes) {}

    ConstraintMakerEditable equalTo(const ConstraintTarget& target) const;
    ConstraintMakerEditable lessThanOrEqualTo(const ConstraintTarget& target) const;
    ConstraintMakerEditable greaterThanOrEqualTo(const ConstraintTarget& target) const;
    ConstraintMakerEditable equalToSuperview() const;
    ConstraintMakerEditable lessThanOrEqualToSuperview() const;
    ConstraintMakerEditable greaterThanOrEqualToSuperview() const;

private:
    ConstraintMakerEditable relate(NSLayoutRelation relation, const ConstraintTarget& target) const;

    ConstraintClauseList* list_;
    ConstraintAttributes attributes_;
};
