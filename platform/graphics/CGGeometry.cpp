#include "graphics/CGGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

namespace {

constexpr CGFloat infinity = std::numeric_limits<CGFloat>::infinity();
constexpr CGFloat huge = std::numeric_limits<CGFloat>::max();

std::string formatNumber(CGFloat value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

}  // namespace

const CGRect CGRectNull{{infinity, infinity}, {0, 0}};
const CGRect CGRectInfinite{{-huge / 2, -huge / 2}, {huge, huge}};

bool CGRectEqualToRect(CGRect a, CGRect b) {
    if (CGRectIsNull(a) || CGRectIsNull(b)) return CGRectIsNull(a) && CGRectIsNull(b);
    return CGRectStandardize(a) == CGRectStandardize(b);
}

CGRect CGRectStandardize(CGRect rect) {
    if (CGRectIsNull(rect)) return rect;
    if (rect.size.width < 0) {
        rect.origin.x += rect.size.width;
        rect.size.width = -rect.size.width;
    }
    if (rect.size.height < 0) {
        rect.origin.y += rect.size.height;
        rect.size.height = -rect.size.height;
    }
    return rect;
}

CGFloat CGRectGetMinX(CGRect rect) { return CGRectStandardize(rect).origin.x; }
CGFloat CGRectGetMinY(CGRect rect) { return CGRectStandardize(rect).origin.y; }
CGFloat CGRectGetMaxX(CGRect rect) {
    rect = CGRectStandardize(rect);
    return rect.origin.x + rect.size.width;
}
CGFloat CGRectGetMaxY(CGRect rect) {
    rect = CGRectStandardize(rect);
    return rect.origin.y + rect.size.height;
}
CGFloat CGRectGetMidX(CGRect rect) {
    rect = CGRectStandardize(rect);
    return rect.origin.x + rect.size.width / 2;
}
CGFloat CGRectGetMidY(CGRect rect) {
    rect = CGRectStandardize(rect);
    return rect.origin.y + rect.size.height / 2;
}
CGFloat CGRectGetWidth(CGRect rect) { return std::fabs(rect.size.width); }
CGFloat CGRectGetHeight(CGRect rect) { return std::fabs(rect.size.height); }

bool CGRectIsNull(CGRect rect) { return std::isinf(rect.origin.x) || std::isinf(rect.origin.y); }

bool CGRectIsEmpty(CGRect rect) {
    return CGRectIsNull(rect) || rect.size.width == 0 || rect.size.height == 0;
}

bool CGRectIsInfinite(CGRect rect) { return rect == CGRectInfinite; }

CGRect CGRectUnion(CGRect a, CGRect b) {
    if (CGRectIsNull(a)) return CGRectStandardize(b);
    if (CGRectIsNull(b)) return CGRectStandardize(a);
    CGFloat minX = std::min(CGRectGetMinX(a), CGRectGetMinX(b));
    CGFloat minY = std::min(CGRectGetMinY(a), CGRectGetMinY(b));
    CGFloat maxX = std::max(CGRectGetMaxX(a), CGRectGetMaxX(b));
    CGFloat maxY = std::max(CGRectGetMaxY(a), CGRectGetMaxY(b));
    return CGRectMake(minX, minY, maxX - minX, maxY - minY);
}

CGRect CGRectIntersection(CGRect a, CGRect b) {
    if (CGRectIsNull(a) || CGRectIsNull(b)) return CGRectNull;
    CGFloat minX = std::max(CGRectGetMinX(a), CGRectGetMinX(b));
    CGFloat minY = std::max(CGRectGetMinY(a), CGRectGetMinY(b));
    CGFloat maxX = std::min(CGRectGetMaxX(a), CGRectGetMaxX(b));
    CGFloat maxY = std::min(CGRectGetMaxY(a), CGRectGetMaxY(b));
    if (maxX < minX || maxY < minY) return CGRectNull;
    return CGRectMake(minX, minY, maxX - minX, maxY - minY);
}

bool CGRectIntersectsRect(CGRect a, CGRect b) { return !CGRectIsEmpty(CGRectIntersection(a, b)); }

bool CGRectContainsPoint(CGRect rect, CGPoint point) {
    if (CGRectIsNull(rect)) return false;
    return point.x >= CGRectGetMinX(rect) && point.x < CGRectGetMaxX(rect) &&
           point.y >= CGRectGetMinY(rect) && point.y < CGRectGetMaxY(rect);
}

bool CGRectContainsRect(CGRect outer, CGRect inner) {
    if (CGRectIsNull(outer) || CGRectIsNull(inner)) return false;
    return CGRectEqualToRect(CGRectUnion(outer, inner), outer);
}

CGRect CGRectIntegral(CGRect rect) {
    if (CGRectIsNull(rect)) return rect;
    CGFloat minX = std::floor(CGRectGetMinX(rect));
    CGFloat minY = std::floor(CGRectGetMinY(rect));
    CGFloat maxX = std::ceil(CGRectGetMaxX(rect));
    CGFloat maxY = std::ceil(CGRectGetMaxY(rect));
    return CGRectMake(minX, minY, maxX - minX, maxY - minY);
}

CGRect CGRectInset(CGRect rect, CGFloat dx, CGFloat dy) {
    if (CGRectIsNull(rect)) return rect;
    rect = CGRectStandardize(rect);
    rect = CGRectMake(rect.origin.x + dx, rect.origin.y + dy, rect.size.width - 2 * dx, rect.size.height - 2 * dy);
    if (rect.size.width < 0 || rect.size.height < 0) return CGRectNull;
    return rect;
}

CGRect CGRectOffset(CGRect rect, CGFloat dx, CGFloat dy) {
    if (CGRectIsNull(rect)) return rect;
    rect = CGRectStandardize(rect);
    rect.origin.x += dx;
    rect.origin.y += dy;
    return rect;
}

std::string NSStringFromCGPoint(CGPoint point) {
    return "{" + formatNumber(point.x) + ", " + formatNumber(point.y) + "}";
}

std::string NSStringFromCGSize(CGSize size) {
    return "{" + formatNumber(size.width) + ", " + formatNumber(size.height) + "}";
}

std::string NSStringFromCGRect(CGRect rect) {
    return "{" + NSStringFromCGPoint(rect.origin) + ", " + NSStringFromCGSize(rect.size) + "}";
}

CGRect CGRectBoundingBoxOfCorners(CGRect rect, const std::function<CGPoint(CGPoint)>& convert) {
    const CGPoint corners[] = {convert({CGRectGetMinX(rect), CGRectGetMinY(rect)}),
                               convert({CGRectGetMaxX(rect), CGRectGetMinY(rect)}),
                               convert({CGRectGetMinX(rect), CGRectGetMaxY(rect)}),
                               convert({CGRectGetMaxX(rect), CGRectGetMaxY(rect)})};
    CGFloat minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
    for (const CGPoint& corner : corners) {
        minX = std::min(minX, corner.x);
        maxX = std::max(maxX, corner.x);
        minY = std::min(minY, corner.y);
        maxY = std::max(maxY, corner.y);
    }
    return CGRectMake(minX, minY, maxX - minX, maxY - minY);
}
