#include "graphics/CGBitmapContext.h"

CGContextRef CGBitmapContextCreate(void* data, std::size_t width, std::size_t height, std::size_t bitsPerComponent,
                                   std::size_t, CGColorSpace space, std::uint32_t bitmapInfo) {
    if (data || bitsPerComponent != 8) return nullptr;
    std::uint32_t alpha = bitmapInfo & kCGBitmapAlphaInfoMask;
    bool opaque;
    CGImage::Conversion conversion;
    if (space.model == CGColorSpaceModel::Monochrome) {
        if (alpha != kCGImageAlphaNone) return nullptr;
        opaque = true;
        conversion = CGImage::Conversion::Grey;
    } else if (alpha == kCGImageAlphaPremultipliedLast || alpha == kCGImageAlphaPremultipliedFirst) {
        opaque = false;
        conversion = CGImage::Conversion::None;
    } else if (alpha == kCGImageAlphaNoneSkipLast || alpha == kCGImageAlphaNoneSkipFirst) {
        opaque = true;
        conversion = CGImage::Conversion::Opaque;
    } else {
        return nullptr;
    }
    CGAffineTransform bottomLeftOrigin{1, 0, 0, -1, 0, static_cast<CGFloat>(height)};
    return CGContext::contextWithPixels(width, height, opaque, bottomLeftOrigin, conversion);
}

CGImageRef CGBitmapContextCreateImage(const CGContextRef& context) { return context ? context->makeImage() : nullptr; }

std::size_t CGBitmapContextGetWidth(const CGContextRef& context) { return context ? context->pixelWidth() : 0; }

std::size_t CGBitmapContextGetHeight(const CGContextRef& context) { return context ? context->pixelHeight() : 0; }
