#pragma once

#include <cstddef>

#include "frameworks/constraints/ConstraintClauseList.h"

// What a relation of the Swift-style DSL answers: the clause's modifiers.
// `offset` adds a number to every attribute's constant; `inset` moves edges
// inwards (left and top by the amount, right and bottom by minus it, sizes
// by minus both sides); each replaces the constant set before.
class ConstraintMakerEditable {
public:
    ConstraintMakerEditable(ConstraintClauseList* list, std::size_t clause) : list_(list), clause_(clause) {}

    ConstraintMakerEditable& offset(CGFloat amount);
    ConstraintMakerEditable& inset(CGFloat amount);
    ConstraintMakerEditable& inset(UIEdgeInsets insets);
    ConstraintMakerEditable& multipliedBy(CGFloat amount);
    ConstraintMakerEditable& dividedBy(CGFloat amount);
    ConstraintMakerEditable& priority(UILayoutPriority amount);

private:
    ConstraintClause& clause() { return (*list_)[clause_]; }

    ConstraintClauseList* list_;
    std::size_t clause_;
};
