#include "graphics/NSStringDrawing.h"

#include <string>

#include "graphics/NSAttributedString.h"

CGSize NSStringDrawing::sizeWithAttributes(std::string_view text, const NSStringAttributes& attributes) {
    return NSAttributedString(std::string(text), attributes).size();
}

CGRect NSStringDrawing::boundingRectWithSize(std::string_view text, CGSize size, NSStringDrawingOptions options,
                                             const NSStringAttributes& attributes) {
    return NSAttributedString(std::string(text), attributes).boundingRectWithSize(size, options);
}

void NSStringDrawing::drawAtPoint(std::string_view text, CGPoint point, const NSStringAttributes& attributes) {
    NSAttributedString(std::string(text), attributes).drawAtPoint(point);
}

void NSStringDrawing::drawInRect(std::string_view text, CGRect rect, const NSStringAttributes& attributes) {
    NSAttributedString(std::string(text), attributes).drawInRect(rect);
}
