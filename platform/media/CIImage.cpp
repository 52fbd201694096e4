#include "media/CIImage.h"

#include <cmath>

namespace {
// The largest side a transformed picture may get.
constexpr CGFloat kLargestSide = 16384;
}  // namespace

CIImage::CIImage(std::size_t width, std::size_t height, std::vector<std::uint8_t> rgba, CGPoint origin)
    : width_(width), height_(height), rgba_(std::move(rgba)), origin_(origin) {
    rgba_.resize(width_ * height_ * 4);
}

Ref<CIImage> CIImage::imageWithCGImage(const Ref<CGImage>& image) {
    if (!image) return nullptr;
    return make<CIImage>(image->width(), image->height(), image->rgbaPixels());
}

CGRect CIImage::extent() const {
    return CGRectMake(origin_.x, origin_.y, CGFloat(width_), CGFloat(height_));
}

CGImagePixel CIImage::pixelAtPoint(CGFloat x, CGFloat y) const {
    CGFloat column = std::floor(x - origin_.x);
    CGFloat rowFromTop = std::floor(origin_.y + CGFloat(height_) - y);
    if (!(column >= 0 && column < CGFloat(width_) && rowFromTop >= 0 && rowFromTop < CGFloat(height_))) return {};
    const std::uint8_t* p = &rgba_[(std::size_t(rowFromTop) * width_ + std::size_t(column)) * 4];
    return {p[0], p[1], p[2], p[3]};
}

Ref<CIImage> CIImage::imageByApplyingTransform(CGAffineTransform transform) const {
    CGFloat determinant = transform.a * transform.d - transform.b * transform.c;
    if (determinant == 0 || !std::isfinite(determinant)) return nullptr;
    CGRect target = CGRectIntegral(CGRectApplyAffineTransform(extent(), transform));
    if (CGRectIsEmpty(target) || target.size.width > kLargestSide || target.size.height > kLargestSide)
        return nullptr;

    auto width = std::size_t(target.size.width), height = std::size_t(target.size.height);
    CGAffineTransform back = CGAffineTransformInvert(transform);
    std::vector<std::uint8_t> rgba(width * height * 4);
    for (std::size_t row = 0; row < height; ++row) {
        for (std::size_t column = 0; column < width; ++column) {
            // Sample at the centre of each target pixel.
            CGPoint centre{target.origin.x + CGFloat(column) + 0.5, CGRectGetMaxY(target) - CGFloat(row) - 0.5};
            CGPoint source = CGPointApplyAffineTransform(centre, back);
            CGImagePixel pixel = pixelAtPoint(source.x, source.y);
            std::uint8_t* out = &rgba[(row * width + column) * 4];
            out[0] = pixel.red, out[1] = pixel.green, out[2] = pixel.blue, out[3] = pixel.alpha;
        }
    }
    return make<CIImage>(width, height, std::move(rgba), target.origin);
}
