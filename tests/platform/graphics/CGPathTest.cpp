#include <gtest/gtest.h>

#include <numbers>

#include "graphics/CGPath.h"

TEST(CGPath, RectAndRoundedRectBoundsAndHits) {
    auto path = CGPathCreateMutable();
    EXPECT_TRUE(CGPathIsEmpty(path));
    EXPECT_TRUE(CGRectIsNull(CGPathGetBoundingBox(path)));
    CGPathAddRoundedRect(path, nullptr, CGRectMake(0, 0, 100, 50), 20, 20);
    EXPECT_EQ(CGPathGetBoundingBox(path), CGRectMake(0, 0, 100, 50));
    EXPECT_TRUE(CGPathContainsPoint(path, nullptr, {50, 25}, false));
    EXPECT_TRUE(CGPathContainsPoint(path, nullptr, {20, 1}, false));
    // The rounded corner cuts the rectangle's corner off.
    EXPECT_FALSE(CGPathContainsPoint(path, nullptr, {2, 2}, false));
    EXPECT_FALSE(CGPathContainsPoint(path, nullptr, {101, 25}, false));

    // Radii larger than the sides allow give a capsule, not a broken shape.
    auto capsule = CGPathCreateWithRoundedRect(CGRectMake(0, 0, 40, 10), 30, 30, nullptr);
    EXPECT_EQ(CGPathGetBoundingBox(capsule), CGRectMake(0, 0, 40, 10));
    EXPECT_TRUE(CGPathContainsPoint(capsule, nullptr, {20, 5}, false));
}

TEST(CGPath, TransformedPointsAndHitTests) {
    CGAffineTransform move = CGAffineTransformMakeTranslation(100, 0);
    auto path = CGPathCreateWithRect(CGRectMake(0, 0, 10, 10), &move);
    EXPECT_EQ(CGPathGetBoundingBox(path), CGRectMake(100, 0, 10, 10));
    EXPECT_TRUE(CGPathContainsPoint(path, nullptr, {105, 5}, false));
    CGAffineTransform back = CGAffineTransformMakeTranslation(-100, 0);
    EXPECT_TRUE(CGPathContainsPoint(path, &back, {5, 5}, false));
    EXPECT_FALSE(CGPathContainsPoint(path, &back, {105, 5}, false));
}

TEST(CGPath, EvenOddRuleLeavesTheHoleOut) {
    auto rings = CGPathCreateMutable();
    CGPathAddRect(rings, nullptr, CGRectMake(0, 0, 30, 30));
    CGPathAddRect(rings, nullptr, CGRectMake(10, 10, 10, 10));
    EXPECT_TRUE(CGPathContainsPoint(rings, nullptr, {15, 15}, false));
    EXPECT_FALSE(CGPathContainsPoint(rings, nullptr, {15, 15}, true));
    EXPECT_TRUE(CGPathContainsPoint(rings, nullptr, {5, 5}, true));
}

TEST(CGPath, ArcsFollowTheDirection) {
    constexpr double pi = std::numbers::pi;
    // A quarter from +x toward +y stays in the quadrant with positive x and y.
    auto quarter = CGPathCreateMutable();
    CGPathMoveToPoint(quarter, nullptr, 0, 0);
    CGPathAddArc(quarter, nullptr, 0, 0, 10, 0, pi / 2, false);
    CGPathCloseSubpath(quarter);
    EXPECT_TRUE(CGPathContainsPoint(quarter, nullptr, {5, 5}, false));
    EXPECT_FALSE(CGPathContainsPoint(quarter, nullptr, {-5, -5}, false));
    EXPECT_NEAR(CGPathGetCurrentPoint(quarter).x, 0, 1e-9);

    // The same angles the other way round cover the other three quarters.
    auto rest = CGPathCreateMutable();
    CGPathMoveToPoint(rest, nullptr, 0, 0);
    CGPathAddArc(rest, nullptr, 0, 0, 10, 0, pi / 2, true);
    CGPathCloseSubpath(rest);
    EXPECT_FALSE(CGPathContainsPoint(rest, nullptr, {5, 5}, false));
    EXPECT_TRUE(CGPathContainsPoint(rest, nullptr, {-5, -5}, false));
    CGRect box = CGPathGetBoundingBox(rest);
    // Quarter-turn pieces keep their control points on the circle's square.
    EXPECT_NEAR(CGRectGetMinX(box), -10, 1e-9);
    EXPECT_NEAR(CGRectGetMinY(box), -10, 1e-9);
    EXPECT_NEAR(CGRectGetMaxX(box), 10, 1e-9);
    EXPECT_NEAR(CGRectGetMaxY(box), 10, 1e-9);

    auto circle = CGPathCreateWithEllipseInRect(CGRectMake(0, 0, 20, 10), nullptr);
    EXPECT_TRUE(CGPathContainsPoint(circle, nullptr, {10, 5}, false));
    EXPECT_FALSE(CGPathContainsPoint(circle, nullptr, {1, 1}, false));
}

TEST(CGPath, CopiesAreIndependent) {
    auto original = CGPathCreateWithRect(CGRectMake(0, 0, 5, 5), nullptr);
    auto copy = CGPathCreateMutableCopy(original);
    CGPathAddRect(copy, nullptr, CGRectMake(50, 50, 5, 5));
    EXPECT_EQ(CGPathGetBoundingBox(original), CGRectMake(0, 0, 5, 5));
    EXPECT_EQ(CGPathGetBoundingBox(copy), CGRectMake(0, 0, 55, 55));
    // Quadratic curves: the bounding box holds the curve's ends.
    auto curve = CGPathCreateMutable();
    CGPathMoveToPoint(curve, nullptr, 0, 0);
    CGPathAddQuadCurveToPoint(curve, nullptr, 10, 20, 20, 0);
    CGRect box = CGPathGetBoundingBox(curve);
    EXPECT_EQ(CGRectGetMinX(box), 0);
    EXPECT_EQ(CGRectGetMaxX(box), 20);
    EXPECT_NEAR(CGRectGetMaxY(box), 40.0 / 3, 1e-9);
}
