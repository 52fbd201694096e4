#include "uikit/UIBezierPath.h"

#include <algorithm>
#include <cmath>

#include "graphics/UIGraphics.h"

Ref<UIBezierPath> UIBezierPath::bezierPathWithRect(CGRect rect) {
    auto path = bezierPath();
    CGPathAddRect(path->path_, nullptr, rect);
    return path;
}

Ref<UIBezierPath> UIBezierPath::bezierPathWithOvalInRect(CGRect rect) {
    auto path = bezierPath();
    CGPathAddEllipseInRect(path->path_, nullptr, rect);
    return path;
}

Ref<UIBezierPath> UIBezierPath::bezierPathWithRoundedRect(CGRect rect, CGFloat cornerRadius) {
    return bezierPathWithRoundedRect(rect, UIRectCornerAllCorners, {cornerRadius, cornerRadius});
}

Ref<UIBezierPath> UIBezierPath::bezierPathWithRoundedRect(CGRect rect, UIRectCorner corners, CGSize cornerRadii) {
    rect = CGRectStandardize(rect);
    CGFloat radius = std::clamp(cornerRadii.width, 0.0, std::min(rect.size.width, rect.size.height) / 2);
    auto r = [&](UIRectCorner corner) { return (corners & corner) ? radius : 0.0; };
    CGFloat minX = CGRectGetMinX(rect), maxX = CGRectGetMaxX(rect);
    CGFloat minY = CGRectGetMinY(rect), maxY = CGRectGetMaxY(rect);
    const CGFloat pi = M_PI;
    auto path = bezierPath();
    path->moveToPoint({minX + r(UIRectCornerTopLeft), minY});
    path->addLineToPoint({maxX - r(UIRectCornerTopRight), minY});
    if (r(UIRectCornerTopRight) > 0)
        path->addArcWithCenter({maxX - radius, minY + radius}, radius, -pi / 2, 0, true);
    path->addLineToPoint({maxX, maxY - r(UIRectCornerBottomRight)});
    if (r(UIRectCornerBottomRight) > 0)
        path->addArcWithCenter({maxX - radius, maxY - radius}, radius, 0, pi / 2, true);
    path->addLineToPoint({minX + r(UIRectCornerBottomLeft), maxY});
    if (r(UIRectCornerBottomLeft) > 0)
        path->addArcWithCenter({minX + radius, maxY - radius}, radius, pi / 2, pi, true);
    path->addLineToPoint({minX, minY + r(UIRectCornerTopLeft)});
    if (r(UIRectCornerTopLeft) > 0)
        path->addArcWithCenter({minX + radius, minY + radius}, radius, pi, 3 * pi / 2, true);
    path->closePath();
    return path;
}

Ref<UIBezierPath> UIBezierPath::bezierPathWithArcCenter(CGPoint center, CGFloat radius, CGFloat startAngle,
                                                        CGFloat endAngle, bool clockwise) {
    auto path = bezierPath();
    path->addArcWithCenter(center, radius, startAngle, endAngle, clockwise);
    return path;
}

Ref<UIBezierPath> UIBezierPath::bezierPathWithCGPath(const CGPathRef& cgPath) {
    auto path = bezierPath();
    if (cgPath) CGPathAddPath(path->path_, nullptr, cgPath);
    return path;
}

void UIBezierPath::moveToPoint(CGPoint point) { CGPathMoveToPoint(path_, nullptr, point.x, point.y); }

void UIBezierPath::addLineToPoint(CGPoint point) { CGPathAddLineToPoint(path_, nullptr, point.x, point.y); }

void UIBezierPath::addArcWithCenter(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle,
                                    bool clockwise) {
    // The path's arcs take the mathematical sense; on a y-down screen the
    // platform's "clockwise" is the growing-angle direction.
    CGPathAddArc(path_, nullptr, center.x, center.y, radius, startAngle, endAngle, !clockwise);
}

void UIBezierPath::addCurveToPoint(CGPoint end, CGPoint control1, CGPoint control2) {
    CGPathAddCurveToPoint(path_, nullptr, control1.x, control1.y, control2.x, control2.y, end.x, end.y);
}

void UIBezierPath::addQuadCurveToPoint(CGPoint end, CGPoint control) {
    CGPathAddQuadCurveToPoint(path_, nullptr, control.x, control.y, end.x, end.y);
}

void UIBezierPath::closePath() { CGPathCloseSubpath(path_); }

void UIBezierPath::appendPath(const Ref<UIBezierPath>& other) {
    if (other) CGPathAddPath(path_, nullptr, other->path_);
}

void UIBezierPath::removeAllPoints() { path_ = CGPathCreateMutable(); }

void UIBezierPath::applyTransform(CGAffineTransform transform) {
    auto transformed = CGPathCreateMutable();
    CGPathAddPath(transformed, &transform, path_);
    path_ = transformed;
}

CGRect UIBezierPath::bounds() const { return isEmpty() ? CGRectZero : CGPathGetBoundingBox(path_); }

bool UIBezierPath::containsPoint(CGPoint point) const { return CGPathContainsPoint(path_, nullptr, point, evenOdd_); }

void UIBezierPath::setLineDash(std::vector<CGFloat> pattern, CGFloat phase) {
    dash_ = std::move(pattern);
    dashPhase_ = phase;
}

void UIBezierPath::fill() const {
    auto context = UIGraphicsGetCurrentContext();
    if (!context) return;
    CGContextAddPath(context, path_);
    if (evenOdd_)
        CGContextEOFillPath(context);
    else
        CGContextFillPath(context);
}

void UIBezierPath::stroke() const {
    auto context = UIGraphicsGetCurrentContext();
    if (!context) return;
    CGContextSaveGState(context);
    CGContextSetLineWidth(context, lineWidth_);
    CGContextSetLineCap(context, lineCap_);
    CGContextSetLineJoin(context, lineJoin_);
    CGContextSetLineDash(context, dashPhase_, dash_.data(), dash_.size());
    CGContextAddPath(context, path_);
    CGContextStrokePath(context);
    CGContextRestoreGState(context);
}

void UIBezierPath::addClip() const {
    auto context = UIGraphicsGetCurrentContext();
    if (!context) return;
    CGContextAddPath(context, path_);
    if (evenOdd_)
        CGContextEOClip(context);
    else
        CGContextClip(context);
}
