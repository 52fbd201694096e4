#include <gtest/gtest.h>

#include <cmath>

#include "uikit/CAShapeLayer.h"
#include "uikit/UIBezierPath.h"

namespace {

void expectNear(CGRect actual, CGRect expected) {
    EXPECT_NEAR(actual.origin.x, expected.origin.x, 1e-9);
    EXPECT_NEAR(actual.origin.y, expected.origin.y, 1e-9);
    EXPECT_NEAR(actual.size.width, expected.size.width, 1e-9);
    EXPECT_NEAR(actual.size.height, expected.size.height, 1e-9);
}

TEST(UIBezierPathTest, RoundedCornersOnlyWhereAsked) {
    auto all = UIBezierPath::bezierPathWithRoundedRect(CGRectMake(0, 0, 100, 50), 10);
    auto top = UIBezierPath::bezierPathWithRoundedRect(CGRectMake(0, 0, 100, 50),
                                                       UIRectCornerTopLeft | UIRectCornerTopRight, {10, 10});
    EXPECT_FALSE(all->containsPoint({1, 1}));
    EXPECT_FALSE(all->containsPoint({1, 49}));
    EXPECT_FALSE(top->containsPoint({99, 1}));
    EXPECT_TRUE(top->containsPoint({1, 49}));
    EXPECT_TRUE(top->containsPoint({99, 49}));
    EXPECT_TRUE(all->containsPoint({50, 25}));
    expectNear(all->bounds(), CGRectMake(0, 0, 100, 50));
    // A radius beyond half the shorter side becomes a capsule.
    auto capsule = UIBezierPath::bezierPathWithRoundedRect(CGRectMake(0, 0, 100, 20), 40);
    EXPECT_FALSE(capsule->containsPoint({1, 1}));
    EXPECT_TRUE(capsule->containsPoint({10, 10}));
    expectNear(capsule->bounds(), CGRectMake(0, 0, 100, 20));
}

TEST(UIBezierPathTest, ClockwiseArcsTurnClockwiseOnScreen) {
    // From 3 o'clock clockwise to 9 o'clock passes 6 o'clock (below the centre, y down).
    auto lower = UIBezierPath::bezierPathWithArcCenter({50, 50}, 20, 0, M_PI, true);
    lower->closePath();
    EXPECT_TRUE(lower->containsPoint({50, 60}));
    EXPECT_FALSE(lower->containsPoint({50, 40}));
    auto upper = UIBezierPath::bezierPathWithArcCenter({50, 50}, 20, 0, M_PI, false);
    upper->closePath();
    EXPECT_TRUE(upper->containsPoint({50, 40}));
    EXPECT_FALSE(upper->containsPoint({50, 60}));
}

TEST(UIBezierPathTest, BuildsTransformsAndEmpties) {
    auto path = UIBezierPath::bezierPath();
    EXPECT_TRUE(path->isEmpty());
    EXPECT_EQ(path->bounds(), CGRectZero);
    path->moveToPoint({0, 0});
    path->addLineToPoint({10, 0});
    path->addQuadCurveToPoint({10, 10}, {20, 5});
    path->addCurveToPoint({0, 10}, {5, 15}, {2, 12});
    path->closePath();
    EXPECT_TRUE(path->containsPoint({5, 5}));
    path->applyTransform(CGAffineTransformMakeTranslation(100, 0));
    EXPECT_TRUE(path->containsPoint({105, 5}));
    EXPECT_FALSE(path->containsPoint({5, 5}));
    auto combined = UIBezierPath::bezierPathWithRect(CGRectMake(0, 0, 5, 5));
    combined->appendPath(path);
    EXPECT_EQ(combined->bounds().origin, CGPointMake(0, 0));
    EXPECT_GE(CGRectGetMaxX(combined->bounds()), 110);
    combined->removeAllPoints();
    EXPECT_TRUE(combined->isEmpty());
    // Without a current context, drawing is a no-op rather than a fault.
    combined->fill();
    combined->stroke();
}

TEST(CAShapeLayerTest, TrimmedPathKeepsTheFractionOfTheLength) {
    auto line = CGPathCreateMutable();
    CGPathMoveToPoint(line, nullptr, 0, 0);
    CGPathAddLineToPoint(line, nullptr, 100, 0);
    CGPathAddLineToPoint(line, nullptr, 100, 100);
    auto middle = CAShapeLayer::trimmedPath(line, 0.25, 0.75);
    EXPECT_EQ(CGPathGetBoundingBox(middle), CGRectMake(50, 0, 50, 50));
    EXPECT_TRUE(CAShapeLayer::trimmedPath(line, 0.5, 0.5)->isEmpty());
    EXPECT_TRUE(CAShapeLayer::trimmedPath(nullptr, 0, 1)->isEmpty());

    // A closed square's second half runs along its right and bottom sides back to the start.
    auto square = CGPathCreateWithRect(CGRectMake(0, 0, 10, 10), nullptr);
    auto half = CAShapeLayer::trimmedPath(square, 0.5, 1);
    EXPECT_EQ(CGPathGetBoundingBox(half), CGRectMake(0, 0, 10, 10));
    EXPECT_EQ(half->currentPoint(), CGPointMake(0, 0));

    auto layer = CAShapeLayer::layer();
    layer->setStrokeEnd(2);
    layer->setStrokeStart(-1);
    EXPECT_EQ(layer->strokeEnd(), 1);
    EXPECT_EQ(layer->strokeStart(), 0);
}

}  // namespace
