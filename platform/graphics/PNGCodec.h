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
    // 8-bit RGBA, or RGB when the image is opaque, compressed once at
    // `compressionLevel` with libpng's adaptive row filters.
    static std::optional<NSData> encode(const CGImage& image);

    // zlib's level (its default): shots are written often and read rarely.
    static constexpr int compressionLevel = 6;
};
