#pragma once

#include "graphics/CGGeometry.h"
#include "graphics/UIColor.h"

// In-between values for a title bar caught between two items.
struct JXSegmentedViewTool {
    static CGFloat interpolate(CGFloat from, CGFloat to, CGFloat percent) { return from + (to - from) * percent; }
    static UIColor interpolateColor(const UIColor& from, const UIColor& to, CGFloat percent) {
        return UIColor::colorWithRed(interpolate(from.red(), to.red(), percent),
                                     interpolate(from.green(), to.green(), percent),
                                     interpolate(from.blue(), to.blue(), percent),
                                     interpolate(from.alpha(), to.alpha(), percent));
    }
    static CGRect interpolateRect(CGRect from, CGRect to, CGFloat percent) {
        return {{interpolate(from.origin.x, to.origin.x, percent), interpolate(from.origin.y, to.origin.y, percent)},
                {interpolate(from.size.width, to.size.width, percent),
                 interpolate(from.size.height, to.size.height, percent)}};
    }
};

// Why an item became the selected one.
enum class JXSegmentedViewItemSelectedType {
    Unknown,
    // selectItemAt from code.
    Code,
    // A tap on the item.
    Click,
    // The list container scrolled to its page.
    Scroll,
};
