#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

typedef struct _cairo_surface cairo_surface_t;

// One pixel with straight (not premultiplied) 8-bit components.
struct CGImagePixel {
    std::uint8_t red = 0, green = 0, blue = 0, alpha = 0;
    bool operator==(const CGImagePixel&) const = default;
};

// An immutable bitmap. Every image holds its pixels the same way: a cairo
// image surface in premultiplied 32-bit ARGB, so that drawing it needs no
// conversion. Sizes are in pixels.
class CGImage : public NSObject {
public:
    // What to do with the pixels when copying a drawing surface into an image.
    enum class Conversion { None, Opaque, Grey };

    // Adopts an ARGB32 surface (the image releases it); `opaque` tells that
    // every pixel is known to be fully opaque.
    explicit CGImage(cairo_surface_t* surface, bool opaque = false);
    ~CGImage() override;

    // An image from rows of straight RGBA bytes (width*4 bytes a row);
    // nullptr for a zero size or too few bytes.
    static Ref<CGImage> imageWithRGBA(std::size_t width, std::size_t height, const std::vector<std::uint8_t>& rgba);
    // A copy of a drawing surface (ARGB32 or RGB24); Opaque forces alpha to
    // full, Grey also replaces every colour by its luma.
    static Ref<CGImage> imageWithSurface(cairo_surface_t* surface, Conversion conversion);
    // The same without a copy: the surface's pixels are converted in place
    // and the image takes over the caller's reference to the surface.
    static Ref<CGImage> imageAdoptingSurface(cairo_surface_t* surface, Conversion conversion);

    std::size_t width() const;
    std::size_t height() const;
    // Straight RGBA of one pixel; transparent black outside the image.
    CGImagePixel pixelAt(std::size_t x, std::size_t y) const;
    // All pixels as rows of straight RGBA bytes.
    std::vector<std::uint8_t> rgbaPixels() const;
    // One row of straight bytes into `destination`: RGBA (width*4 bytes), or
    // RGB without the alpha (width*3 bytes). Nothing
    // for a row outside the image.
    void copyRow(std::size_t y, std::uint8_t* destination, bool withAlpha) const;
    // True when every pixel is fully opaque.
    bool isOpaque() const;

    cairo_surface_t* surface() const { return surface_; }

private:
    cairo_surface_t* surface_;
    bool knownOpaque_;
};

using CGImageRef = Ref<CGImage>;

std::size_t CGImageGetWidth(const CGImageRef& image);
std::size_t CGImageGetHeight(const CGImageRef& image);
// The part of the image inside `rect` (pixels; made integral and clipped to
// the image); nullptr when nothing of the image is inside.
CGImageRef CGImageCreateWithImageInRect(const CGImageRef& image, CGRect rect);
