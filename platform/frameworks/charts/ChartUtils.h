#pragma once

#include <string_view>

#include "graphics/CGContext.h"
#include "graphics/NSParagraphStyle.h"
#include "graphics/NSStringAttributes.h"
#include "graphics/UIImage.h"

// The drawing helpers every chart part uses.
class ChartUtils {
public:
    // Draws one line of text with its top at point.y: starting at point.x
    // (left), centred on it, or ending at it (right). Answers the text's frame.
    static CGRect drawText(const CGContextRef& context, std::string_view text, CGPoint point, NSTextAlignment align,
                           const NSStringAttributes& attributes);
    // The frame drawText would use.
    static CGRect textFrame(std::string_view text, CGPoint point, NSTextAlignment align,
                            const NSStringAttributes& attributes);
    // Draws the image at its own size, centred on the point.
    static void drawImage(const CGContextRef& context, const Ref<UIImage>& image, CGPoint center);
    // The height of one line of the font.
    static CGFloat lineHeight(const UIFont& font);
};
