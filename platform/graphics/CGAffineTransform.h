#pragma once

#include "graphics/CGGeometry.h"

// A 2-D affine transform: x' = a*x + c*y + tx, y' = b*x + d*y + ty.
struct CGAffineTransform {
    CGFloat a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    bool operator==(const CGAffineTransform&) const = default;
};

inline constexpr CGAffineTransform CGAffineTransformIdentity{};

inline CGAffineTransform CGAffineTransformMake(CGFloat a, CGFloat b, CGFloat c, CGFloat d, CGFloat tx, CGFloat ty) {
    return {a, b, c, d, tx, ty};
}
CGAffineTransform CGAffineTransformMakeTranslation(CGFloat tx, CGFloat ty);
CGAffineTransform CGAffineTransformMakeScale(CGFloat sx, CGFloat sy);
// Rotation by `angle` radians (counter-clockwise in a y-up space, clockwise
// on a y-down screen).
CGAffineTransform CGAffineTransformMakeRotation(CGFloat angle);

// `first` then `second`.
CGAffineTransform CGAffineTransformConcat(CGAffineTransform first, CGAffineTransform second);
// The transform with the translation/scale/rotation applied before it.
CGAffineTransform CGAffineTransformTranslate(CGAffineTransform t, CGFloat tx, CGFloat ty);
CGAffineTransform CGAffineTransformScale(CGAffineTransform t, CGFloat sx, CGFloat sy);
CGAffineTransform CGAffineTransformRotate(CGAffineTransform t, CGFloat angle);
// The inverse; the transform itself when it cannot be inverted.
CGAffineTransform CGAffineTransformInvert(CGAffineTransform t);
bool CGAffineTransformIsIdentity(CGAffineTransform t);
inline bool CGAffineTransformEqualToTransform(CGAffineTransform a, CGAffineTransform b) { return a == b; }

CGPoint CGPointApplyAffineTransform(CGPoint point, CGAffineTransform t);
// Only the linear part applies to a size.
CGSize CGSizeApplyAffineTransform(CGSize size, CGAffineTransform t);
// The bounding box of the transformed rectangle.
CGRect CGRectApplyAffineTransform(CGRect rect, CGAffineTransform t);
