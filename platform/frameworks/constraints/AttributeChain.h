#pragma once

#include "frameworks/constraints/ConstraintAttributes.h"

class ConstraintClauseList;

// `make.left.right.top`: each attribute member is a `Relatable` (the object
// with equalTo...) for the attributes named so far, with members of its own
// for one more, up to three in a row (`edges`, `size` and `center` cover the
// longer sets). `Relatable` is built from the clause list and the set.
template <class Relatable, int Depth> class AttributeChain : public Relatable {
public:
    using Next = AttributeChain<Relatable, Depth + 1>;

    AttributeChain(ConstraintClauseList* list, ConstraintAttributes attributes)
        : Relatable(list, attributes),
          left(list, attributes | ConstraintAttributesLeft),
          right(list, attributes | ConstraintAttributesRight),
          top(list, attributes | ConstraintAttributesTop),
          bottom(list, attributes | ConstraintAttributesBottom),
          leading(list, attributes | ConstraintAttributesLeading),
          trailing(list, attributes | ConstraintAttributesTrailing),
          width(list, attributes | ConstraintAttributesWidth),
          height(list, attributes | ConstraintAttributesHeight),
          centerX(list, attributes | ConstraintAttributesCenterX),
          centerY(list, attributes | ConstraintAttributesCenterY) {}

    Next left, right, top, bottom, leading, trailing, width, height, centerX, centerY;
};

template <class Relatable> class AttributeChain<Relatable, 3> : public Relatable {
public:
    using Relatable::Relatable;
};

// The members a maker starts chains from.
template <class Relatable> struct AttributeChainStarts {
    using Chain = AttributeChain<Relatable, 1>;
    using Set = AttributeChain<Relatable, 3>;

    explicit AttributeChainStarts(ConstraintClauseList* list)
        : left(list, ConstraintAttributesLeft),
          right(list, ConstraintAttributesRight),
          top(list, ConstraintAttributesTop),
          bottom(list, ConstraintAttributesBottom),
          leading(list, ConstraintAttributesLeading),
          trailing(list, ConstraintAttributesTrailing),
          width(list, ConstraintAttributesWidth),
          height(list, ConstraintAttributesHeight),
          centerX(list, ConstraintAttributesCenterX),
          centerY(list, ConstraintAttributesCenterY),
          edges(list, ConstraintAttributesEdges),
          size(list, ConstraintAttributesSize),
          center(list, ConstraintAttributesCenter) {}

    Chain left, right, top, bottom, leading, trailing, width, height, centerX, centerY;
    Set edges, size, center;
};
