#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>

// The largest pictures the codecs decode and image contexts hold. Checked
// against a picture's header before any pixel memory is taken, so a small
// file that claims a huge picture (a few hundred kilobytes can declare
// 32767 x 32767) is refused instead of taking gigabytes.
constexpr std::size_t kLargestImageSide = 32767;         // what an image surface can hold
constexpr std::size_t kLargestImagePixels = 64u << 20;   // 64 megapixels, 256 MiB of RGBA

// The largest picture file read, from a disk or from a server: the encoded
// bytes of a picture within the pixel limit, more than any real photograph.
constexpr std::size_t kLargestImageFileBytes = 32u << 20;

// The most pixels of a picture a server sends (the web images, the Ripple
// kit's login code, the Pal kit's link previews): a full screen of the
// largest phone at 3x (1284 x 2778) fits, icons, avatars, banners and codes
// with room to spare. 16 MiB of pixels, an eighth of the web images' budget.
constexpr std::size_t kLargestWebImagePixels = 4u << 20;

// The most scans (passes over the picture) a JPEG may hold. Each costs a
// pass over every block of the picture, so the bound is on scans times
// pixels: 256 scans up to 4 megapixels, fewer in proportion above (16 at
// 64 megapixels). Real progressive pictures hold about ten; 256 scans of
// 64 megapixels of noise took 12 s, and one of many thousands of scans
// would take minutes of processor time.
constexpr int kMostJPEGScans = 256;
constexpr std::size_t kMostJPEGScanPixels = std::size_t(kMostJPEGScans) << 22;  // 256 scans of 4 megapixels

inline int mostJPEGScans(std::size_t width, std::size_t height) {
    const std::size_t pixels = std::max<std::size_t>(width * height, 1);
    return static_cast<int>(std::clamp<std::size_t>(kMostJPEGScanPixels / pixels, 1, kMostJPEGScans));
}

inline bool imageSizeIsWithinLimits(std::size_t width, std::size_t height,
                                    std::size_t largestPixels = kLargestImagePixels) {
    return width > 0 && height > 0 && width <= kLargestImageSide && height <= kLargestImageSide &&
           width * height <= std::min(largestPixels, kLargestImagePixels);
}

// Every decode under way stops (as ImageProblem::Stopped) once this is set,
// and every later one is refused: the process is ending. Set from any
// thread or from a signal handler (a lock-free atomic); the codecs look at
// it row by row.
inline std::atomic<bool> imageDecodingStopped{false};
static_assert(std::atomic<bool>::is_always_lock_free);
