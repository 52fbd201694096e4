#pragma once

#include <optional>

#include "foundation/NSData.h"
#include "graphics/CGImage.h"

// PNG reading and writing (libpng).
class PNGCodec {
public:
    // True when the data starts with the PNG signature.
    static bool recognizes(const NSData& data);
    // Any PNG colour type and depth; nullptr for anything unreadable.
    static Ref<CGImage> decode(const NSData& data);
    // 8-bit RGBA, or RGB when the image is opaque.
    static std::optional<NSData> encode(const CGImage& image);
};
