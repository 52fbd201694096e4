#include "app/components/JXCircleRatioView.h"

#include <cmath>
#include <numbers>

#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "graphics/NSStringDrawing.h"
#include "graphics/UIGraphics.h"
#include "uikit/UIScreen.h"

namespace {

constexpr CGFloat kLeaderOffset = 10;   // from the sector's edge to the dot, and the line's first leg
constexpr CGFloat kLeaderLength = 60;   // the line's horizontal leg
constexpr CGFloat kDotRadius = 4;
constexpr CGFloat kCenterDiscRadius = 70;

float valueOf(const Ref<JXCircleModel>& item) { return item ? NSString::floatValue(item->number()) : 0.0f; }

}  // namespace

void JXCircleRatioView::setDataArray(std::vector<Ref<JXCircleModel>> dataArray) {
    dataArray_ = std::move(dataArray);
    setNeedsDisplay();
}

double JXCircleRatioView::getShareNumber(const std::vector<Ref<JXCircleModel>>& items) {
    double total = 0;
    for (const auto& item : items) total += valueOf(item);
    return 2 * std::numbers::pi / total;
}

void JXCircleRatioView::drawRect(CGRect /*rect*/) {
    auto context = UIGraphicsGetCurrentContext();
    if (!context) return;
    const double scale = getShareNumber(dataArray_);
    // A total of zero (or less, or not a number) has no shares to draw.
    if (std::isfinite(scale) && scale > 0) {
        const CGSize size = frame().size;
        float start = 0;
        for (std::size_t index = 0; index < dataArray_.size(); ++index) {
            const auto& item = dataArray_[index];
            const float end = static_cast<float>(start + scale * valueOf(item));
            NSLog("angle_end == %f", end);
            if (item && item->color())
                drawArcWithCGContextRef(context, {size.width / 2, size.height / 2}, start, end, *item->color(), index);
            start = end;
        }
    }
    addCenterCircle(context);
}

void JXCircleRatioView::drawArcWithCGContextRef(const CGContextRef& context, CGPoint center, float angleStart,
                                                float angleEnd, const UIColor& color, std::size_t index) {
    CGContextMoveToPoint(context, center.x, center.y);
    CGContextSetFillColorWithColor(context, color);
    CGContextAddArc(context, center.x, center.y, circleRadius_, angleStart, angleEnd, false);
    CGContextFillPath(context);

    const CGFloat middle = (angleStart + angleEnd) / 2;
    const CGSize size = frame().size;
    const CGFloat anchorX = size.width / 2 + std::cos(middle) * (circleRadius_ + kLeaderOffset);
    const CGFloat anchorY = size.height / 2 + std::sin(middle) * (circleRadius_ + kLeaderOffset);
    addLineAndnumber(color, context, anchorX, anchorY, index, middle);
}

void JXCircleRatioView::addLineAndnumber(const UIColor& color, const CGContextRef& context, CGFloat x, CGFloat y,
                                         std::size_t index, CGFloat angle) {
    const auto& item = dataArray_[index];
    const NSStringAttributes measured{.font = UIFont::systemFontOfSize(16)};
    const NSStringAttributes drawn{.font = UIFont::systemFontOfSize(10), .foregroundColor = color};
    const CGSize columnSize = NSStringDrawing::sizeWithAttributes(item->column(), measured);
    const CGSize nameSize = NSStringDrawing::sizeWithAttributes(item->name(), drawn);

    const CGPoint elbow{x + kLeaderOffset * std::cos(angle), y + kLeaderOffset * std::sin(angle)};
    const bool rightSide = bounds().size.width / 2 < x;
    const CGFloat lineEndX = rightSide ? elbow.x + kLeaderLength : elbow.x - kLeaderLength;

    CGContextSetFillColorWithColor(context, color);
    CGContextSetStrokeColorWithColor(context, color);
    CGContextAddArc(context, x, y, kDotRadius, 0, 2 * std::numbers::pi, false);
    CGContextDrawPath(context, kCGPathFillStroke);

    CGContextMoveToPoint(context, x, y);
    CGContextAddLineToPoint(context, elbow.x, elbow.y);
    CGContextAddLineToPoint(context, lineEndX, elbow.y);
    CGContextSetLineWidth(context, 1);
    CGContextStrokePath(context);

    // The upper label is placed by its size in the larger font but drawn in
    // the smaller one, as the chart always has.
    const CGFloat columnX = rightSide ? elbow.x + kLeaderLength - columnSize.width : elbow.x - kLeaderLength;
    NSStringDrawing::drawAtPoint(item->column(), {columnX + 2, elbow.y - columnSize.height}, drawn);

    NSStringAttributes nameAttributes = drawn;
    NSParagraphStyle paragraph;
    paragraph.alignment = lineEndX < UIScreen::mainScreen()->bounds().size.width / 2 ? NSTextAlignment::Left
                                                                                      : NSTextAlignment::Right;
    nameAttributes.paragraphStyle = paragraph;
    const CGFloat nameX = rightSide ? elbow.x + kLeaderLength - nameSize.width : elbow.x - kLeaderLength;
    NSStringDrawing::drawInRect(item->name(), {nameX, elbow.y, nameSize.width, nameSize.height}, nameAttributes);
}

void JXCircleRatioView::addCenterCircle(const CGContextRef& context) {
    const CGSize size = frame().size;
    CGContextSetFillColorWithColor(context, UIColor::whiteColor());
    CGContextSetStrokeColorWithColor(context, UIColor::whiteColor());
    CGContextAddArc(context, size.width / 2, size.height / 2, kCenterDiscRadius, 0, 2 * std::numbers::pi, false);
    CGContextDrawPath(context, kCGPathFillStroke);
}
