#pragma once

#include "frameworks/constraints/AttributeChain.h"
#include "frameworks/constraints/MASConstraint.h"

// What a mas_makeConstraints block is handed:
//     mas_makeConstraints(view, [&](MASConstraintMaker& make) {
//         make.top.equalTo(mas_bottom(other)).offset(10);
//         make.left.right.equalTo(superview);
//         make.height.mas_equalTo(44);
//     });
class MASConstraintMaker : public AttributeChainStarts<MASConstraint> {
public:
    explicit MASConstraintMaker(ConstraintClauseList* list) : AttributeChainStarts(list) {}
};
