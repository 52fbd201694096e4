#include "frameworks/constraints/ConstraintAttributes.h"

std::vector<NSLayoutAttribute> layoutAttributesOf(ConstraintAttributes attributes) {
    static constexpr std::pair<ConstraintAttributes, NSLayoutAttribute> kOrder[] = {
        {ConstraintAttributesLeft, NSLayoutAttribute::Left},
        {ConstraintAttributesTop, NSLayoutAttribute::Top},
        {ConstraintAttributesRight, NSLayoutAttribute::Right},
        {ConstraintAttributesBottom, NSLayoutAttribute::Bottom},
        {ConstraintAttributesLeading, NSLayoutAttribute::Leading},
        {ConstraintAttributesTrailing, NSLayoutAttribute::Trailing},
        {ConstraintAttributesWidth, NSLayoutAttribute::Width},
        {ConstraintAttributesHeight, NSLayoutAttribute::Height},
        {ConstraintAttributesCenterX, NSLayoutAttribute::CenterX},
        {ConstraintAttributesCenterY, NSLayoutAttribute::CenterY},
    };
    std::vector<NSLayoutAttribute> result;
    for (const auto& [bit, attribute] : kOrder)
        if (attributes & bit) result.push_back(attribute);
    return result;
}
