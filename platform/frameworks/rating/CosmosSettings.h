#pragma once

#include "graphics/CGGeometry.h"
#include "graphics/UIColor.h"

// How much of a star a fraction of a point fills.
enum class StarFillMode {
    // Whole stars: the rating is rounded to the nearest whole number.
    Full,
    // Half stars: the fraction rounds to 0, a half or a whole star.
    Half,
    // The star is filled in proportion to the fraction.
    Precise,
};

// The looks and behaviour of a star rating view.
struct CosmosSettings {
    int totalStars = 5;
    CGFloat starSize = 20;
    CGFloat starMargin = 5;
    StarFillMode fillMode = StarFillMode::Full;
    UIColor filledColor = UIColor::colorWithRed(1, 149 / 255.0, 0, 1);
    UIColor emptyColor = UIColor::clearColor();
    UIColor filledBorderColor = UIColor::colorWithRed(1, 149 / 255.0, 0, 1);
    UIColor emptyBorderColor = UIColor::colorWithRed(1, 149 / 255.0, 0, 1);
    CGFloat filledBorderWidth = 1;
    CGFloat emptyBorderWidth = 1;
    // Whether a touch changes the rating.
    bool updateOnTouch = true;
    // The lowest rating a touch can set.
    double minTouchRating = 1;
};
