#pragma once

#include "graphics/CGGeometry.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"

// What moves or shows inside the scan rectangle.
enum class QSCScanViewAnimationStyle { LineMove, NetGrid, LineStill, None };

// Where the corner angles sit: inside the border, outside it, or on it.
enum class QSCScanViewPhotoframeAngleStyle { Inner, Outer, On };

// The look of the scan overlay. Lengths are in points.
struct QSCScanViewStyle {
    // Draw the scan rectangle's border.
    bool isNeedShowRetangle = true;
    // Width divided by height of the scan rectangle.
    CGFloat whRatio = 1.0;
    // How far the rectangle's centre lies above the view's vertical centre.
    CGFloat centerUpOffset = 44.0;
    // Left and right margin of the rectangle.
    CGFloat xScanRetangleOffset = 60.0;
    UIColor colorRetangleLine = UIColor::whiteColor();
    QSCScanViewPhotoframeAngleStyle photoframeAngleStyle = QSCScanViewPhotoframeAngleStyle::Outer;
    UIColor colorAngle = UIColor::colorWithRed(0, 167.0 / 255, 231.0 / 255, 1);
    // Lengths of an angle's horizontal and vertical arms.
    CGFloat photoframeAngleW = 24.0;
    CGFloat photoframeAngleH = 24.0;
    // Stroke width of the angles.
    CGFloat photoframeLineW = 6.0;
    QSCScanViewAnimationStyle anmiationStyle = QSCScanViewAnimationStyle::LineMove;
    // The picture the animation moves or shows.
    Ref<UIImage> animationImage;
    // Fill outside the rectangle.
    UIColor color_NotRecoginitonArea = UIColor::colorWithRed(0, 0, 0, 0.5);
};
