#pragma once

#include <string_view>

#include "graphics/CGGeometry.h"
#include "graphics/NSStringAttributes.h"
#include "graphics/NSStringDrawingOptions.h"

// The platform's measuring and drawing of plain text with attributes over
// the whole of it: `[text sizeWithAttributes:a]` is
// `NSStringDrawing::sizeWithAttributes(text, a)`. Each behaves as the same
// method of NSAttributedString.
class NSStringDrawing {
public:
    static CGSize sizeWithAttributes(std::string_view text, const NSStringAttributes& attributes);
    static CGRect boundingRectWithSize(std::string_view text, CGSize size, NSStringDrawingOptions options,
                                       const NSStringAttributes& attributes);
    static void drawAtPoint(std::string_view text, CGPoint point, const NSStringAttributes& attributes);
    static void drawInRect(std::string_view text, CGRect rect, const NSStringAttributes& attributes);
};
