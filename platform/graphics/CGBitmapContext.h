#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/CGColorSpace.h"
#include "graphics/CGContext.h"

enum CGImageAlphaInfo : std::uint32_t {
    kCGImageAlphaNone = 0,
    kCGImageAlphaPremultipliedLast = 1,
    kCGImageAlphaPremultipliedFirst = 2,
    kCGImageAlphaLast = 3,
    kCGImageAlphaFirst = 4,
    kCGImageAlphaNoneSkipLast = 5,
    kCGImageAlphaNoneSkipFirst = 6,
    kCGImageAlphaOnly = 7,
};
inline constexpr std::uint32_t kCGBitmapAlphaInfoMask = 0x1F;
// The byte order of 32-bit pixels: bitmaps here are always 32-bit words in
// the machine's (little-endian) order, so this is accepted and changes nothing.
inline constexpr std::uint32_t kCGBitmapByteOrder32Little = 2u << 12;

// A context over a new bitmap of width x height pixels with the bottom-left
// origin. The platform allocates the pixels, so `data` must be null and
// `bytesPerRow` is the platform's choice (the argument is not used). Grey
// bitmaps take no alpha and RGB ones premultiplied or skipped alpha, 8 bits
// per component; anything else, or an empty size, gives nullptr. A grey
// context paints in colour and keeps only each colour's luma.
CGContextRef CGBitmapContextCreate(void* data, std::size_t width, std::size_t height, std::size_t bitsPerComponent,
                                   std::size_t bytesPerRow, CGColorSpace space, std::uint32_t bitmapInfo);
// An image of what the bitmap holds now; nullptr for a null context.
CGImageRef CGBitmapContextCreateImage(const CGContextRef& context);
std::size_t CGBitmapContextGetWidth(const CGContextRef& context);
std::size_t CGBitmapContextGetHeight(const CGContextRef& context);
