#pragma once

#include <functional>

#include <string>

// Points, sizes, vectors and rectangles in points, with the platform's helpers.
// Rectangles may have negative sizes; the helpers standardize them first, as
// the platform does. The null rectangle (infinite origin) is what an empty
// intersection gives; it is "empty" as well as "null".
using CGFloat = double;

struct CGPoint {
    CGFloat x = 0, y = 0;
    bool operator==(const CGPoint&) const = default;
};

struct CGSize {
    CGFloat width = 0, height = 0;
    bool operator==(const CGSize&) const = default;
};

struct CGVector {
    CGFloat dx = 0, dy = 0;
    bool operator==(const CGVector&) const = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;
    bool operator==(const CGRect&) const = default;
};

inline constexpr CGPoint CGPointZero{};
inline constexpr CGSize CGSizeZero{};
inline constexpr CGRect CGRectZero{};
extern const CGRect CGRectNull;
extern const CGRect CGRectInfinite;

inline CGPoint CGPointMake(CGFloat x, CGFloat y) { return {x, y}; }
inline CGSize CGSizeMake(CGFloat width, CGFloat height) { return {width, height}; }
inline CGVector CGVectorMake(CGFloat dx, CGFloat dy) { return {dx, dy}; }
inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat width, CGFloat height) { return {{x, y}, {width, height}}; }

inline bool CGPointEqualToPoint(CGPoint a, CGPoint b) { return a == b; }
inline bool CGSizeEqualToSize(CGSize a, CGSize b) { return a == b; }
bool CGRectEqualToRect(CGRect a, CGRect b);

CGFloat CGRectGetMinX(CGRect rect);
CGFloat CGRectGetMidX(CGRect rect);
CGFloat CGRectGetMaxX(CGRect rect);
CGFloat CGRectGetMinY(CGRect rect);
CGFloat CGRectGetMidY(CGRect rect);
CGFloat CGRectGetMaxY(CGRect rect);
CGFloat CGRectGetWidth(CGRect rect);
CGFloat CGRectGetHeight(CGRect rect);

// The same rectangle with a non-negative width and height.
CGRect CGRectStandardize(CGRect rect);
bool CGRectIsNull(CGRect rect);
// Null, or no area.
bool CGRectIsEmpty(CGRect rect);
bool CGRectIsInfinite(CGRect rect);

// The smallest rectangle holding both; a null operand is ignored.
CGRect CGRectUnion(CGRect a, CGRect b);
// The common part; CGRectNull when they do not overlap.
CGRect CGRectIntersection(CGRect a, CGRect b);
// True when the rectangles share some area.
bool CGRectIntersectsRect(CGRect a, CGRect b);
// Half-open: the minimum edges are inside, the maximum edges are not.
bool CGRectContainsPoint(CGRect rect, CGPoint point);
bool CGRectContainsRect(CGRect outer, CGRect inner);
// The smallest rectangle with integral edges that holds the rectangle.
CGRect CGRectIntegral(CGRect rect);
// The smallest rect holding the four corners of `rect` after `convert` moved
// each of them (for transforms and conversions between rotated spaces).
CGRect CGRectBoundingBoxOfCorners(CGRect rect, const std::function<CGPoint(CGPoint)>& convert);
// Shrunk by dx on the left and right and dy on top and bottom (grown when
// negative); CGRectNull when nothing is left.
CGRect CGRectInset(CGRect rect, CGFloat dx, CGFloat dy);
CGRect CGRectOffset(CGRect rect, CGFloat dx, CGFloat dy);

// "{{x, y}, {w, h}}" as the platform prints rectangles.
std::string NSStringFromCGRect(CGRect rect);
std::string NSStringFromCGPoint(CGPoint point);
std::string NSStringFromCGSize(CGSize size);
