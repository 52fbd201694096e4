#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/NSObject.h"
#include "graphics/CGAffineTransform.h"
#include "graphics/CGGeometry.h"
#include "graphics/CGImage.h"

// A picture in Core Image's space: y grows upwards and the picture covers its
// extent, one pixel per unit. Pixels are held as rows of straight RGBA bytes,
// the top row first.
class CIImage : public NSObject {
public:
    // `rgba` holds width*height*4 bytes; `origin` is the extent's bottom-left.
    CIImage(std::size_t width, std::size_t height, std::vector<std::uint8_t> rgba, CGPoint origin = {});

    // The bitmap with its extent at the origin; nullptr for a null bitmap.
    static Ref<CIImage> imageWithCGImage(const Ref<CGImage>& image);

    CGRect extent() const;
    // The picture moved through `transform`, resampled nearest-neighbour so
    // that enlarged modules of a code keep hard edges. Its extent is the
    // transformed extent made integral. nullptr when the transform cannot be
    // inverted or the result would be empty or huge.
    Ref<CIImage> imageByApplyingTransform(CGAffineTransform transform) const;

    std::size_t pixelWidth() const { return width_; }
    std::size_t pixelHeight() const { return height_; }
    const std::vector<std::uint8_t>& rgba() const { return rgba_; }
    // The pixel covering the point (x, y) of the extent; transparent outside.
    CGImagePixel pixelAtPoint(CGFloat x, CGFloat y) const;

private:
    std::size_t width_, height_;
    std::vector<std::uint8_t> rgba_;
    CGPoint origin_;
};
