#include "graphics/CGPath.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

CGPoint apply(const CGAffineTransform* m, CGPoint point) { return m ? CGPointApplyAffineTransform(point, *m) : point; }

// The cubic curves of an arc, in pieces of at most a quarter turn.
void addArcCurves(CGPath& path, const CGAffineTransform* m, CGPoint center, CGFloat radius, CGFloat start,
                  CGFloat sweep) {
    int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / (std::numbers::pi / 2) - 1e-9)));
    CGFloat step = sweep / pieces;
    CGFloat handle = 4.0 / 3.0 * std::tan(step / 4) * radius;
    auto on = [&](CGFloat angle) {
        return CGPoint{center.x + radius * std::cos(angle), center.y + radius * std::sin(angle)};
    };
    for (int piece = 0; piece < pieces; ++piece) {
        CGFloat from = start + step * piece, to = from + step;
        CGPoint p0 = on(from), p3 = on(to);
        CGPoint c1{p0.x - handle * std::sin(from), p0.y + handle * std::cos(from)};
        CGPoint c2{p3.x + handle * std::sin(to), p3.y - handle * std::cos(to)};
        path.curveTo(apply(m, c1), apply(m, c2), apply(m, p3));
    }
}

// A quarter ellipse from the current point around a corner, as one cubic.
void addCorner(CGPath& path, const CGAffineTransform* m, CGPoint from, CGPoint corner, CGPoint to) {
    constexpr CGFloat kappa = 0.5522847498307936;  // 4/3 * (sqrt(2) - 1)
    CGPoint c1{from.x + (corner.x - from.x) * kappa, from.y + (corner.y - from.y) * kappa};
    CGPoint c2{to.x + (corner.x - to.x) * kappa, to.y + (corner.y - to.y) * kappa};
    path.curveTo(apply(m, c1), apply(m, c2), apply(m, to));
}

}  // namespace

void CGPath::moveTo(CGPoint point) {
    elements_.push_back({Element::Kind::MoveTo, {point}});
    current_ = subpathStart_ = point;
}

void CGPath::lineTo(CGPoint point) {
    if (elements_.empty()) moveTo(current_);
    elements_.push_back({Element::Kind::LineTo, {point}});
    current_ = point;
}

void CGPath::curveTo(CGPoint control1, CGPoint control2, CGPoint end) {
    if (elements_.empty()) moveTo(current_);
    elements_.push_back({Element::Kind::CurveTo, {control1, control2, end}});
    current_ = end;
}

void CGPath::close() {
    if (elements_.empty() || elements_.back().kind == Element::Kind::Close) return;
    elements_.push_back({Element::Kind::Close, {}});
    current_ = subpathStart_;
}

void CGPath::append(const CGPath& other, const CGAffineTransform& t) {
    for (const Element& element : other.elements_) {
        const CGPoint* p = element.points;
        switch (element.kind) {
            case Element::Kind::MoveTo: moveTo(CGPointApplyAffineTransform(p[0], t)); break;
            case Element::Kind::LineTo: lineTo(CGPointApplyAffineTransform(p[0], t)); break;
            case Element::Kind::CurveTo:
                curveTo(CGPointApplyAffineTransform(p[0], t), CGPointApplyAffineTransform(p[1], t),
                        CGPointApplyAffineTransform(p[2], t));
                break;
            case Element::Kind::Close: close(); break;
        }
    }
}

void CGPath::addToCairo(cairo_t* cr) const {
    for (const Element& element : elements_) {
        const CGPoint* p = element.points;
        switch (element.kind) {
            case Element::Kind::MoveTo: cairo_move_to(cr, p[0].x, p[0].y); break;
            case Element::Kind::LineTo: cairo_line_to(cr, p[0].x, p[0].y); break;
            case Element::Kind::CurveTo: cairo_curve_to(cr, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y); break;
            case Element::Kind::Close: cairo_close_path(cr); break;
        }
    }
}

CGMutablePathRef CGPathCreateMutable() { return make<CGPath>(); }

CGMutablePathRef CGPathCreateMutableCopy(const CGPathRef& path) {
    auto copy = make<CGPath>();
    if (path) copy->append(*path, CGAffineTransformIdentity);
    return copy;
}

CGPathRef CGPathCreateWithRect(CGRect rect, const CGAffineTransform* transform) {
    auto path = make<CGPath>();
    CGPathAddRect(path, transform, rect);
    return path;
}

CGPathRef CGPathCreateWithEllipseInRect(CGRect rect, const CGAffineTransform* transform) {
    auto path = make<CGPath>();
    CGPathAddEllipseInRect(path, transform, rect);
    return path;
}

CGPathRef CGPathCreateWithRoundedRect(CGRect rect, CGFloat cornerWidth, CGFloat cornerHeight,
                                      const CGAffineTransform* transform) {
    auto path = make<CGPath>();
    CGPathAddRoundedRect(path, transform, rect, cornerWidth, cornerHeight);
    return path;
}

void CGPathMoveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x, CGFloat y) {
    if (path) path->moveTo(apply(m, {x, y}));
}

void CGPathAddLineToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x, CGFloat y) {
    if (path) path->lineTo(apply(m, {x, y}));
}

void CGPathAddQuadCurveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat cpx, CGFloat cpy,
                               CGFloat x, CGFloat y) {
    if (!path) return;
    // The cubic with the same shape: controls two thirds of the way to the
    // quadratic's control point.
    CGPoint start = path->currentPoint();
    if (m) start = CGPointApplyAffineTransform(start, CGAffineTransformInvert(*m));
    CGPoint c1{start.x + 2.0 / 3 * (cpx - start.x), start.y + 2.0 / 3 * (cpy - start.y)};
    CGPoint c2{x + 2.0 / 3 * (cpx - x), y + 2.0 / 3 * (cpy - y)};
    path->curveTo(apply(m, c1), apply(m, c2), apply(m, {x, y}));
}

void CGPathAddCurveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat cp1x, CGFloat cp1y,
                           CGFloat cp2x, CGFloat cp2y, CGFloat x, CGFloat y) {
    if (path) path->curveTo(apply(m, {cp1x, cp1y}), apply(m, {cp2x, cp2y}), apply(m, {x, y}));
}

void CGPathCloseSubpath(const CGMutablePathRef& path) {
    if (path) path->close();
}

void CGPathAddRect(const CGMutablePathRef& path, const CGAffineTransform* m, CGRect rect) {
    if (!path || CGRectIsNull(rect)) return;
    CGFloat minX = CGRectGetMinX(rect), minY = CGRectGetMinY(rect);
    CGFloat maxX = CGRectGetMaxX(rect), maxY = CGRectGetMaxY(rect);
    path->moveTo(apply(m, {minX, minY}));
    path->lineTo(apply(m, {maxX, minY}));
    path->lineTo(apply(m, {maxX, maxY}));
    path->lineTo(apply(m, {minX, maxY}));
    path->close();
}

void CGPathAddEllipseInRect(const CGMutablePathRef& path, const CGAffineTransform* m, CGRect rect) {
    CGPathAddRoundedRect(path, m, rect, CGRectGetWidth(rect) / 2, CGRectGetHeight(rect) / 2);
}

void CGPathAddRoundedRect(const CGMutablePathRef& path, const CGAffineTransform* m, CGRect rect,
                          CGFloat cornerWidth, CGFloat cornerHeight) {
    if (!path || CGRectIsNull(rect)) return;
    CGFloat minX = CGRectGetMinX(rect), minY = CGRectGetMinY(rect);
    CGFloat maxX = CGRectGetMaxX(rect), maxY = CGRectGetMaxY(rect);
    CGFloat rx = std::clamp(cornerWidth, 0.0, (maxX - minX) / 2);
    CGFloat ry = std::clamp(cornerHeight, 0.0, (maxY - minY) / 2);
    if (rx == 0 || ry == 0) return CGPathAddRect(path, m, rect);
    path->moveTo(apply(m, {maxX, minY + ry}));
    path->lineTo(apply(m, {maxX, maxY - ry}));
    addCorner(*path, m, {maxX, maxY - ry}, {maxX, maxY}, {maxX - rx, maxY});
    path->lineTo(apply(m, {minX + rx, maxY}));
    addCorner(*path, m, {minX + rx, maxY}, {minX, maxY}, {minX, maxY - ry});
    path->lineTo(apply(m, {minX, minY + ry}));
    addCorner(*path, m, {minX, minY + ry}, {minX, minY}, {minX + rx, minY});
    path->lineTo(apply(m, {maxX - rx, minY}));
    addCorner(*path, m, {maxX - rx, minY}, {maxX, minY}, {maxX, minY + ry});
    path->close();
}

void CGPathAddArc(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x, CGFloat y, CGFloat radius,
                  CGFloat startAngle, CGFloat endAngle, bool clockwise) {
    if (!path || radius < 0) return;
    constexpr CGFloat turn = 2 * std::numbers::pi;
    CGFloat sweep = endAngle - startAngle;
    // A sweep is normalised into one turn in the chosen direction; a whole
    // turn or more stays a full circle.
    if (clockwise) {
        sweep = sweep <= -turn ? -turn : -std::fmod(turn - std::fmod(sweep, turn), turn);
    } else {
        sweep = sweep >= turn ? turn : std::fmod(std::fmod(sweep, turn) + turn, turn);
    }
    CGPoint start{x + radius * std::cos(startAngle), y + radius * std::sin(startAngle)};
    if (path->isEmpty()) {
        path->moveTo(apply(m, start));
    } else {
        path->lineTo(apply(m, start));
    }
    if (sweep != 0) addArcCurves(*path, m, {x, y}, radius, startAngle, sweep);
}

void CGPathAddPath(const CGMutablePathRef& path, const CGAffineTransform* m, const CGPathRef& other) {
    if (path && other) path->append(*other, m ? *m : CGAffineTransformIdentity);
}

bool CGPathIsEmpty(const CGPathRef& path) { return !path || path->isEmpty(); }

CGPoint CGPathGetCurrentPoint(const CGPathRef& path) { return path ? path->currentPoint() : CGPointZero; }

CGRect CGPathGetBoundingBox(const CGPathRef& path) {
    CGRect box = CGRectNull;
    if (!path) return box;
    for (const CGPath::Element& element : path->elements()) {
        int count = element.kind == CGPath::Element::Kind::CurveTo ? 3
                    : element.kind == CGPath::Element::Kind::Close ? 0
                                                                    : 1;
        for (int i = 0; i < count; ++i) box = CGRectUnion(box, {element.points[i], {0, 0}});
    }
    return box;
}

bool CGPathContainsPoint(const CGPathRef& path, const CGAffineTransform* m, CGPoint point, bool eoFill) {
    if (!path || path->isEmpty()) return false;
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    cairo_set_fill_rule(cr, eoFill ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    CGPath transformed;
    transformed.append(*path, m ? *m : CGAffineTransformIdentity);
    transformed.addToCairo(cr);
    bool inside = cairo_in_fill(cr, point.x, point.y);
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    return inside;
}
