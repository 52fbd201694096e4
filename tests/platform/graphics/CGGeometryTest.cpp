#include <gtest/gtest.h>

#include <numbers>

#include "graphics/CGAffineTransform.h"
#include "graphics/CGGeometry.h"
#include "graphics/UIEdgeInsets.h"

namespace {

void expectRectNear(CGRect actual, CGRect expected) {
    EXPECT_NEAR(actual.origin.x, expected.origin.x, 1e-9);
    EXPECT_NEAR(actual.origin.y, expected.origin.y, 1e-9);
    EXPECT_NEAR(actual.size.width, expected.size.width, 1e-9);
    EXPECT_NEAR(actual.size.height, expected.size.height, 1e-9);
}

}  // namespace

TEST(CGGeometry, EdgesOfStandardizedRects) {
    CGRect flipped = CGRectMake(10, 20, -4, -8);
    EXPECT_EQ(CGRectGetMinX(flipped), 6);
    EXPECT_EQ(CGRectGetMaxX(flipped), 10);
    EXPECT_EQ(CGRectGetMidY(flipped), 16);
    EXPECT_EQ(CGRectGetWidth(flipped), 4);
    EXPECT_TRUE(CGRectEqualToRect(flipped, CGRectMake(6, 12, 4, 8)));
    EXPECT_EQ(NSStringFromCGRect(CGRectMake(1, 2.5, 3, 4)), "{{1, 2.5}, {3, 4}}");
}

TEST(CGGeometry, UnionAndIntersection) {
    CGRect a = CGRectMake(0, 0, 10, 10), b = CGRectMake(5, 5, 10, 10);
    EXPECT_EQ(CGRectUnion(a, b), CGRectMake(0, 0, 15, 15));
    EXPECT_EQ(CGRectIntersection(a, b), CGRectMake(5, 5, 5, 5));
    EXPECT_TRUE(CGRectIntersectsRect(a, b));
    // The null rect is ignored by a union and is what disjoint rects share.
    EXPECT_EQ(CGRectUnion(CGRectNull, b), b);
    CGRect apart = CGRectIntersection(a, CGRectMake(20, 20, 1, 1));
    EXPECT_TRUE(CGRectIsNull(apart));
    EXPECT_TRUE(CGRectIsEmpty(apart));
    // Touching edges share no area.
    EXPECT_FALSE(CGRectIntersectsRect(a, CGRectMake(10, 0, 5, 5)));
    EXPECT_TRUE(CGRectIsEmpty(CGRectMake(3, 3, 0, 7)));
    EXPECT_FALSE(CGRectIsNull(CGRectZero));
}

TEST(CGGeometry, ContainmentIsHalfOpen) {
    CGRect rect = CGRectMake(0, 0, 10, 10);
    EXPECT_TRUE(CGRectContainsPoint(rect, {0, 0}));
    EXPECT_FALSE(CGRectContainsPoint(rect, {10, 5}));
    EXPECT_TRUE(CGRectContainsRect(rect, CGRectMake(2, 2, 8, 8)));
    EXPECT_FALSE(CGRectContainsRect(rect, CGRectMake(2, 2, 9, 8)));
    EXPECT_FALSE(CGRectContainsPoint(CGRectNull, {0, 0}));
}

TEST(CGGeometry, IntegralInsetOffsetAndEdgeInsets) {
    EXPECT_EQ(CGRectIntegral(CGRectMake(0.5, 1.2, 2, 2.9)), CGRectMake(0, 1, 3, 4));
    EXPECT_EQ(CGRectInset(CGRectMake(0, 0, 10, 10), 2, 3), CGRectMake(2, 3, 6, 4));
    EXPECT_TRUE(CGRectIsNull(CGRectInset(CGRectMake(0, 0, 10, 10), 6, 0)));
    EXPECT_EQ(CGRectOffset(CGRectMake(1, 1, 2, 2), 3, -1), CGRectMake(4, 0, 2, 2));
    EXPECT_EQ(UIEdgeInsetsInsetRect(CGRectMake(0, 0, 100, 50), UIEdgeInsetsMake(5, 10, 15, 20)),
              CGRectMake(10, 5, 70, 30));
}

TEST(CGAffineTransform, ComposesInApplicationOrder) {
    // Scale first, then move: (1, 1) -> (2, 2) -> (12, 2).
    CGAffineTransform t = CGAffineTransformConcat(CGAffineTransformMakeScale(2, 2), CGAffineTransformMakeTranslation(10, 0));
    EXPECT_EQ(CGPointApplyAffineTransform({1, 1}, t), CGPointMake(12, 2));
    // CGAffineTransformTranslate applies the move before the transform.
    CGAffineTransform u = CGAffineTransformTranslate(CGAffineTransformMakeScale(2, 2), 10, 0);
    EXPECT_EQ(CGPointApplyAffineTransform({1, 1}, u), CGPointMake(22, 2));

    CGPoint turned = CGPointApplyAffineTransform({1, 0}, CGAffineTransformMakeRotation(std::numbers::pi / 2));
    EXPECT_NEAR(turned.x, 0, 1e-12);
    EXPECT_NEAR(turned.y, 1, 1e-12);
}

TEST(CGAffineTransform, InvertsAndMapsRects) {
    CGAffineTransform t = CGAffineTransformRotate(CGAffineTransformMakeTranslation(5, 7), 0.3);
    CGAffineTransform roundTrip = CGAffineTransformConcat(t, CGAffineTransformInvert(t));
    EXPECT_NEAR(roundTrip.a, 1, 1e-12);
    EXPECT_NEAR(roundTrip.c, 0, 1e-12);
    EXPECT_NEAR(roundTrip.tx, 0, 1e-12);
    // A singular transform comes back unchanged.
    CGAffineTransform flat = CGAffineTransformMakeScale(0, 1);
    EXPECT_EQ(CGAffineTransformInvert(flat), flat);

    expectRectNear(CGRectApplyAffineTransform(CGRectMake(0, 0, 4, 2), CGAffineTransformMakeRotation(std::numbers::pi / 2)),
                   CGRectMake(-2, 0, 2, 4));
    EXPECT_EQ(CGSizeApplyAffineTransform({3, 4}, CGAffineTransformMakeTranslation(9, 9)), CGSizeMake(3, 4));
}
