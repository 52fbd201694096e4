#include "app/components/RSCollectionViewRoundFlowLayoutSwiftAlignmentType.h"

std::optional<RSCollectionViewRoundFlowLayoutSwiftAlignmentType> RSCollectionViewRoundFlowLayoutSwiftAlignmentTypeFromRawValue(
    long rawValue) {
    if (rawValue < 0 || rawValue > 4) return std::nullopt;
    return static_cast<RSCollectionViewRoundFlowLayoutSwiftAlignmentType>(rawValue);
}
