#pragma once

#include "graphics/CGGeometry.h"

enum class NSTextAlignment { Left, Center, Right, Justified, Natural };

enum class NSLineBreakMode {
    ByWordWrapping,
    ByCharWrapping,
    ByClipping,
    ByTruncatingHead,
    ByTruncatingTail,
    ByTruncatingMiddle,
};

// How lines of a paragraph are spaced, aligned and broken.
struct NSParagraphStyle {
    // Extra space between consecutive lines, in points.
    CGFloat lineSpacing = 0;
    NSTextAlignment alignment = NSTextAlignment::Natural;
    NSLineBreakMode lineBreakMode = NSLineBreakMode::ByWordWrapping;

    static NSParagraphStyle defaultParagraphStyle() { return {}; }
    bool operator==(const NSParagraphStyle&) const = default;
};

using NSMutableParagraphStyle = NSParagraphStyle;
