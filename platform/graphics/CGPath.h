#pragma once

#include <vector>

#include "foundation/NSObject.h"
#include "graphics/CGAffineTransform.h"
#include "graphics/CGGeometry.h"

typedef struct _cairo cairo_t;

// A resolution-independent outline: sub-paths of straight and cubic segments.
// Arcs, ellipses and quadratic curves are stored as the cubic curves that
// draw them, so every consumer (contexts, hit tests, bounds) sees one form.
// Each add function takes an optional transform applied to its points.
class CGPath : public NSObject {
public:
    struct Element {
        enum class Kind { MoveTo, LineTo, CurveTo, Close };
        Kind kind;
        CGPoint points[3];  // MoveTo/LineTo: [0]; CurveTo: control, control, end
    };

    const std::vector<Element>& elements() const { return elements_; }
    bool isEmpty() const { return elements_.empty(); }
    // The last point added; the sub-path's start after a close.
    CGPoint currentPoint() const { return current_; }

    void moveTo(CGPoint point);
    void lineTo(CGPoint point);
    void curveTo(CGPoint control1, CGPoint control2, CGPoint end);
    void close();
    // The elements, transformed, appended after this path's.
    void append(const CGPath& other, const CGAffineTransform& transform);

    // Replays the path into a cairo context as its current path's next part.
    void addToCairo(cairo_t* cr) const;

private:
    std::vector<Element> elements_;
    CGPoint current_{};
    CGPoint subpathStart_{};
};

using CGPathRef = Ref<CGPath>;
using CGMutablePathRef = Ref<CGPath>;

CGMutablePathRef CGPathCreateMutable();
CGMutablePathRef CGPathCreateMutableCopy(const CGPathRef& path);
CGPathRef CGPathCreateWithRect(CGRect rect, const CGAffineTransform* transform);
CGPathRef CGPathCreateWithEllipseInRect(CGRect rect, const CGAffineTransform* transform);
CGPathRef CGPathCreateWithRoundedRect(CGRect rect, CGFloat cornerWidth, CGFloat cornerHeight,
                                      const CGAffineTransform* transform);

void CGPathMoveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x, CGFloat y);
void CGPathAddLineToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x, CGFloat y);
void CGPathAddQuadCurveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat cpx, CGFloat cpy,
                               CGFloat x, CGFloat y);
void CGPathAddCurveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat cp1x, CGFloat cp1y,
                           CGFloat cp2x, CGFloat cp2y, CGFloat x, CGFloat y);
void CGPathCloseSubpath(const CGMutablePathRef& path);
// A closed sub-path around the rectangle: min corner, then along x first.
void CGPathAddRect(const CGMutablePathRef& path, const CGAffineTransform* m, CGRect rect);
void CGPathAddEllipseInRect(const CGMutablePathRef& path, const CGAffineTransform* m, CGRect rect);
// Corner radii are clamped to half the rectangle's sides.
void CGPathAddRoundedRect(const CGMutablePathRef& path, const CGAffineTransform* m, CGRect rect,
                          CGFloat cornerWidth, CGFloat cornerHeight);
// A circular arc around (x, y) from `startAngle` to `endAngle` (radians),
// with angles growing from +x toward +y unless `clockwise`. A line joins the
// current point to the arc's start when the path has one.
void CGPathAddArc(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x, CGFloat y, CGFloat radius,
                  CGFloat startAngle, CGFloat endAngle, bool clockwise);
void CGPathAddPath(const CGMutablePathRef& path, const CGAffineTransform* m, const CGPathRef& other);

bool CGPathIsEmpty(const CGPathRef& path);
CGPoint CGPathGetCurrentPoint(const CGPathRef& path);
// The box of every point, control points included; CGRectNull when empty.
CGRect CGPathGetBoundingBox(const CGPathRef& path);
// Whether the point is inside the filled path (non-zero or even-odd rule).
bool CGPathContainsPoint(const CGPathRef& path, const CGAffineTransform* m, CGPoint point, bool eoFill);
