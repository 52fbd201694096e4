#pragma once

#include <string>

#include "graphics/UIColor.h"
#include "uikit/UILabel.h"

// The pieces of the team screens' grids: cells of text between thin lines.
namespace KXGridViews {

// A grid cell's label: `text` centred in black at alpha `alpha`, system font
// 12, at most `lines` lines, on `background`. Wrapped text shrinks to keep
// its words whole.
Ref<UILabel> label(CGRect frame, const std::string& text, UIColor background, double alpha = 0.65, long lines = 2);
// A line of the grid colour (KXTeamColors::gridLine).
Ref<UIView> line(CGRect frame);

}  // namespace KXGridViews
