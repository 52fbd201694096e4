#pragma once

#include "graphics/CGGeometry.h"

// Distances inward from each edge of a rectangle.
struct UIEdgeInsets {
    CGFloat top = 0, left = 0, bottom = 0, right = 0;
    bool operator==(const UIEdgeInsets&) const = default;
};

inline constexpr UIEdgeInsets UIEdgeInsetsZero{};

inline UIEdgeInsets UIEdgeInsetsMake(CGFloat top, CGFloat left, CGFloat bottom, CGFloat right) {
    return {top, left, bottom, right};
}

inline bool UIEdgeInsetsEqualToEdgeInsets(UIEdgeInsets a, UIEdgeInsets b) { return a == b; }

// The rectangle moved in by the insets (out by negative ones); the size may
// become negative, as the platform allows.
inline CGRect UIEdgeInsetsInsetRect(CGRect rect, UIEdgeInsets insets) {
    return CGRectMake(rect.origin.x + insets.left, rect.origin.y + insets.top,
                      rect.size.width - insets.left - insets.right, rect.size.height - insets.top - insets.bottom);
}
