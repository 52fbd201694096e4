#pragma once

#include <optional>

// How the rounded-section layout moves the cells of each line after the
// flow layout has placed them.
enum class RSCollectionViewRoundFlowLayoutSwiftAlignmentType : long {
    system = 0,       // the flow layout's placement stands
    left = 1,         // packed from the section's left inset
    center = 2,       // packed around the middle of the collection view
    right = 3,        // flush right, cells in their own order
    rightToLeft = 4,  // from the right edge in item order: the first cell rightmost
};

// The type of a raw value; nothing outside 0 to 4.
std::optional<RSCollectionViewRoundFlowLayoutSwiftAlignmentType> RSCollectionViewRoundFlowLayoutSwiftAlignmentTypeFromRawValue(
    long rawValue);
