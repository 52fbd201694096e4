#pragma once

#include <optional>

#include "foundation/NSData.h"
#include "graphics/CGImage.h"
#include "graphics/ImageLimits.h"
#include "graphics/ImageProblem.h"

// PNG reading (libpng) and writing (libdeflate).
class PNGCodec {
public:
    // True when the data starts with the PNG signature.
    static bool recognizes(const NSData& data);
    // Any PNG colour type and depth; nullptr for anything unreadable or of
    // more than `largestPixels` (or the limits of ImageLimits), with why in
    // `problem` when given. Reading ends with the last row: whatever follows
    // it is not inflated.
    static Ref<CGImage> decode(const NSData& data, ImageProblem* problem = nullptr,
                               std::size_t largestPixels = kLargestImagePixels);
    // 8-bit RGBA, or RGB when the image is opaque: rows filtered Up (the
    // first unfiltered), compressed in one piece by libdeflate.
    static std::optional<NSData> encode(const CGImage& image);

    // libdeflate's level: the fastest of its greedy levels gives files as
    // small as zlib's default did, and shots are written often and read rarely.
    static constexpr int compressionLevel = 4;
};
