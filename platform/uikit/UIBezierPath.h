#pragma once

#include <cstdint>
#include <vector>

#include "foundation/NSObject.h"
#include "graphics/CGAffineTransform.h"
#include "graphics/CGContext.h"
#include "graphics/CGGeometry.h"
#include "graphics/CGPath.h"

enum UIRectCorner : std::uint32_t {
    UIRectCornerTopLeft = 1u << 0,
    UIRectCornerTopRight = 1u << 1,
    UIRectCornerBottomLeft = 1u << 2,
    UIRectCornerBottomRight = 1u << 3,
    UIRectCornerAllCorners = 0xFu,
};
inline UIRectCorner operator|(UIRectCorner a, UIRectCorner b) {
    return static_cast<UIRectCorner>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

// An outline in a view's space (top-left origin, y down) with its line
// style, drawn into the current context with its colours. Arcs take UIKit's
// sense: `clockwise` means angles growing from +x toward +y, which is
// clockwise on screen.
class UIBezierPath : public NSObject {
public:
    static Ref<UIBezierPath> bezierPath() { return make<UIBezierPath>(); }
    static Ref<UIBezierPath> bezierPathWithRect(CGRect rect);
    static Ref<UIBezierPath> bezierPathWithOvalInRect(CGRect rect);
    // Radius clamped to half the shorter side.
    static Ref<UIBezierPath> bezierPathWithRoundedRect(CGRect rect, CGFloat cornerRadius);
    // Only the given corners rounded, by cornerRadii.width.
    static Ref<UIBezierPath> bezierPathWithRoundedRect(CGRect rect, UIRectCorner corners, CGSize cornerRadii);
    static Ref<UIBezierPath> bezierPathWithArcCenter(CGPoint center, CGFloat radius, CGFloat startAngle,
                                                     CGFloat endAngle, bool clockwise);
    static Ref<UIBezierPath> bezierPathWithCGPath(const CGPathRef& path);

    void moveToPoint(CGPoint point);
    void addLineToPoint(CGPoint point);
    void addArcWithCenter(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise);
    void addCurveToPoint(CGPoint end, CGPoint control1, CGPoint control2);
    void addQuadCurveToPoint(CGPoint end, CGPoint control);
    void closePath();
    void appendPath(const Ref<UIBezierPath>& other);
    void removeAllPoints();
    void applyTransform(CGAffineTransform transform);

    // The outline itself (shared, not copied).
    CGPathRef CGPath() const { return path_; }
    bool isEmpty() const { return path_->isEmpty(); }
    CGPoint currentPoint() const { return path_->currentPoint(); }
    // The box of every point, control points included.
    CGRect bounds() const;
    bool containsPoint(CGPoint point) const;

    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat width) { lineWidth_ = width; }
    CGLineCap lineCapStyle() const { return lineCap_; }
    void setLineCapStyle(CGLineCap cap) { lineCap_ = cap; }
    CGLineJoin lineJoinStyle() const { return lineJoin_; }
    void setLineJoinStyle(CGLineJoin join) { lineJoin_ = join; }
    bool usesEvenOddFillRule() const { return evenOdd_; }
    void setUsesEvenOddFillRule(bool evenOdd) { evenOdd_ = evenOdd; }
    void setLineDash(std::vector<CGFloat> pattern, CGFloat phase);

    // Paint the outline into the current context with its fill/stroke colour.
    void fill() const;
    void stroke() const;
    // Narrows the current context's clip to the outline.
    void addClip() const;

private:
    CGMutablePathRef path_ = CGPathCreateMutable();
    CGFloat lineWidth_ = 1;
    CGLineCap lineCap_ = kCGLineCapButt;
    CGLineJoin lineJoin_ = kCGLineJoinMiter;
    bool evenOdd_ = false;
    std::vector<CGFloat> dash_;
    CGFloat dashPhase_ = 0;
};
