#pragma once

#include "frameworks/constraints/AttributeChain.h"
#include "frameworks/constraints/ConstraintMakerRelatable.h"

// What a make-constraints block of the Swift-style DSL is handed:
//     snp(view).makeConstraints([&](ConstraintMaker& make) {
//         make.top.equalTo(snp(other).bottom).offset(10);
//         make.left.right.equalToSuperview().inset(15);
//         make.size.equalTo(CGSizeMake(40, 40));
//     });
class ConstraintMaker : public AttributeChainStarts<ConstraintMakerRelatable> {
public:
    explicit ConstraintMaker(ConstraintClauseList* list) : AttributeChainStarts(list) {}
};
