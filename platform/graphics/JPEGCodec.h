#pragma once

#include <optional>

#include "foundation/NSData.h"
#include "graphics/CGImage.h"
#include "graphics/ImageLimits.h"
#include "graphics/ImageProblem.h"

// JPEG reading and writing (libjpeg-turbo).
class JPEGCodec {
public:
    // True when the data starts with a JPEG start-of-image marker.
    static bool recognizes(const NSData& data);
    // Baseline and progressive; grey, colour and CMYK; nullptr for anything
    // unreadable or of more than `largestPixels` (or the limits of
    // ImageLimits), with why in `problem` when given: a picture cut short or
    // corrupt anywhere is damaged, not filled in.
    static Ref<CGImage> decode(const NSData& data, ImageProblem* problem = nullptr,
                               std::size_t largestPixels = kLargestImagePixels);
    // RGB at `quality` 0...1 (clamped); transparent parts come out as if
    // drawn over black.
    static std::optional<NSData> encode(const CGImage& image, double quality);
};
