#include "media/FalseColorFilter.h"

#include <cmath>

#include "media/CIColor.h"

FalseColorFilter::FalseColorFilter()
    : CIFilter("CIFalseColor", {"inputImage", "inputColor0", "inputColor1"},
               {{"inputColor0", CIColor::colorWithRed(0, 0, 0)}, {"inputColor1", CIColor::colorWithRed(1, 1, 1)}}) {}

Ref<CIImage> FalseColorFilter::outputImage() const {
    auto image = valueForKey("inputImage").objectAs<CIImage>();
    auto dark = valueForKey("inputColor0").objectAs<CIColor>();
    auto light = valueForKey("inputColor1").objectAs<CIColor>();
    if (!image || !dark || !light) return nullptr;

    auto mix = [](CGFloat from, CGFloat to, CGFloat t) {
        return static_cast<std::uint8_t>(std::lround((from + (to - from) * t) * 255));
    };
    std::vector<std::uint8_t> rgba = image->rgba();
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        CGFloat luma = (0.299 * rgba[i] + 0.587 * rgba[i + 1] + 0.114 * rgba[i + 2]) / 255;
        CGFloat alpha = rgba[i + 3] / 255.0;
        rgba[i] = mix(dark->red(), light->red(), luma);
        rgba[i + 1] = mix(dark->green(), light->green(), luma);
        rgba[i + 2] = mix(dark->blue(), light->blue(), luma);
        rgba[i + 3] = mix(dark->alpha() * alpha, light->alpha() * alpha, luma);
    }
    CGRect extent = image->extent();
    return make<CIImage>(image->pixelWidth(), image->pixelHeight(), std::move(rgba), extent.origin);
}
