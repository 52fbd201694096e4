#pragma once

#include <cstddef>

// The largest pictures the codecs decode and image contexts hold. Checked
// against a picture's header before any pixel memory is taken, so a small
// file that claims a huge picture (a few hundred kilobytes can declare
// 32767 x 32767) is refused instead of taking gigabytes.
constexpr std::size_t kLargestImageSide = 32767;         // what an image surface can hold
constexpr std::size_t kLargestImagePixels = 64u << 20;   // 64 megapixels, 256 MiB of RGBA

// The most scans (passes over the picture) a JPEG may hold. Each costs a
// pass over every block of the picture; real progressive pictures hold about
// ten, and one of many thousands would take minutes of processor time.
constexpr int kMostJPEGScans = 256;

inline bool imageSizeIsWithinLimits(std::size_t width, std::size_t height) {
    return width > 0 && height > 0 && width <= kLargestImageSide && height <= kLargestImageSide &&
           width * height <= kLargestImagePixels;
}
