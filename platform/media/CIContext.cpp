#include "media/CIContext.h"

#include <cstdint>
#include <vector>

#include "graphics/ImageLimits.h"

Ref<CIContext> CIContext::contextWithOptions(const Dictionary&) { return make<CIContext>(); }

Ref<CGImage> CIContext::createCGImage(const Ref<CIImage>& image, CGRect fromRect) const {
    if (!image || CGRectIsNull(fromRect) || CGRectIsInfinite(fromRect)) return nullptr;
    CGRect area = CGRectIntegral(fromRect);
    if (CGRectIsEmpty(area)) return nullptr;
    auto width = std::size_t(area.size.width), height = std::size_t(area.size.height);
    // A bitmap larger than an image may be is refused before its pixels are worked out.
    if (!imageSizeIsWithinLimits(width, height)) return nullptr;
    std::vector<std::uint8_t> rgba;
    rgba.reserve(width * height * 4);
    for (std::size_t row = 0; row < height; ++row) {
        for (std::size_t column = 0; column < width; ++column) {
            CGImagePixel pixel = image->pixelAtPoint(area.origin.x + CGFloat(column) + 0.5,
                                                     CGRectGetMaxY(area) - CGFloat(row) - 0.5);
            rgba.insert(rgba.end(), {pixel.red, pixel.green, pixel.blue, pixel.alpha});
        }
    }
    return CGImage::imageWithRGBA(width, height, rgba);
}
