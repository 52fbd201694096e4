#pragma once

#include <cstdint>
#include <vector>

#include "uikit/NSLayoutConstraint.h"

// The attributes one clause of a constraint DSL constrains, as a set
// (`make.left.right`, `make.edges`).
enum ConstraintAttributes : std::uint32_t {
    ConstraintAttributesNone = 0,
    ConstraintAttributesLeft = 1u << 0,
    ConstraintAttributesTop = 1u << 1,
    ConstraintAttributesRight = 1u << 2,
    ConstraintAttributesBottom = 1u << 3,
    ConstraintAttributesLeading = 1u << 4,
    ConstraintAttributesTrailing = 1u << 5,
    ConstraintAttributesWidth = 1u << 6,
    ConstraintAttributesHeight = 1u << 7,
    ConstraintAttributesCenterX = 1u << 8,
    ConstraintAttributesCenterY = 1u << 9,
    ConstraintAttributesEdges = ConstraintAttributesLeft | ConstraintAttributesTop | ConstraintAttributesRight |
                                ConstraintAttributesBottom,
    ConstraintAttributesSize = ConstraintAttributesWidth | ConstraintAttributesHeight,
    ConstraintAttributesCenter = ConstraintAttributesCenterX | ConstraintAttributesCenterY,
};

inline ConstraintAttributes operator|(ConstraintAttributes a, ConstraintAttributes b) {
    return static_cast<ConstraintAttributes>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

// The layout attributes of the set, in a fixed order (left, top, right,
// bottom, leading, trailing, width, height, centre X, centre Y).
std::vector<NSLayoutAttribute> layoutAttributesOf(ConstraintAttributes attributes);
