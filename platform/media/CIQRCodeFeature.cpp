#include "media/CIQRCodeFeature.h"

#include <algorithm>

namespace {
CGRect boundsOf(const CIQRCodeFeature::Corners& c) {
    auto [minX, maxX] = std::minmax({c.topLeft.x, c.topRight.x, c.bottomLeft.x, c.bottomRight.x});
    auto [minY, maxY] = std::minmax({c.topLeft.y, c.topRight.y, c.bottomLeft.y, c.bottomRight.y});
    return CGRectMake(minX, minY, maxX - minX, maxY - minY);
}
}  // namespace

CIQRCodeFeature::CIQRCodeFeature(std::optional<std::string> messageString, Corners corners)
    : CIFeature(CIFeatureTypeQRCode, boundsOf(corners)), message_(std::move(messageString)), corners_(corners) {}
