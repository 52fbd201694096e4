#pragma once

#include "uikit/UILabel.h"
#include "uikit/UIView.h"

// The pieces of the three-column table rows (the rankings' and the type
// statistics'): grid lines and column labels.
namespace KXRankRowParts {

// A grid line in "#F5F5F5" (placed by the caller).
Ref<UIView> gridLine(const char* identifier);
// A bold black column label of 14 points (scaled) with its first text.
Ref<UILabel> columnLabel(const char* text, const char* identifier);

}  // namespace KXRankRowParts
