#include "frameworks/charts/ChartUtils.h"


#include "graphics/NSStringDrawing.h"
#include "graphics/UIGraphics.h"

CGRect ChartUtils::textFrame(std::string_view text, CGPoint point, NSTextAlignment align,
                             const NSStringAttributes& attributes) {
    CGSize size = NSStringDrawing::sizeWithAttributes(text, attributes);
    CGFloat x = point.x;
    if (align == NSTextAlignment::Center) x -= size.width / 2;
    else if (align == NSTextAlignment::Right) x -= size.width;
    return {{x, point.y}, size};
}

CGRect ChartUtils::drawText(const CGContextRef& context, std::string_view text, CGPoint point, NSTextAlignment align,
                            const NSStringAttributes& attributes) {
    CGRect frame = textFrame(text, point, align, attributes);
    UIGraphicsPushContext(context);
    NSStringDrawing::drawAtPoint(text, frame.origin, attributes);
    UIGraphicsPopContext();
    return frame;
}

void ChartUtils::drawImage(const CGContextRef& context, const Ref<UIImage>& image, CGPoint center) {
    if (!image) return;
    CGSize size = image->size();
    UIGraphicsPushContext(context);
    image->drawInRect({{center.x - size.width / 2, center.y - size.height / 2}, size});
    UIGraphicsPopContext();
}

CGFloat ChartUtils::lineHeight(const UIFont& font) { return font.lineHeight(); }
