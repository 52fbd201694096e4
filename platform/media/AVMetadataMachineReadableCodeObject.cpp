#include "media/AVMetadataMachineReadableCodeObject.h"

namespace {
CGRect boundsOf(const std::vector<CGPoint>& corners) {
    CGRect bounds = CGRectNull;
    for (CGPoint corner : corners) bounds = CGRectUnion(bounds, CGRectMake(corner.x, corner.y, 0, 0));
    return corners.empty() ? CGRectZero : bounds;
}
}  // namespace

AVMetadataMachineReadableCodeObject::AVMetadataMachineReadableCodeObject(AVMetadataObjectType type,
                                                                         std::optional<std::string> stringValue,
                                                                         std::vector<CGPoint> corners)
    : AVMetadataObject(std::move(type), boundsOf(corners)),
      stringValue_(std::move(stringValue)),
      corners_(std::move(corners)) {}
