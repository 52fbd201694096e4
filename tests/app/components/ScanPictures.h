#pragma once

#include <string_view>
#include <vector>

#include "graphics/CGGeometry.h"
#include "graphics/UIImage.h"

// Pictures for the scanner tests: codes drawn by the scanner's own
// generators, placed on a white page.
namespace ScanPictures {

struct Placed {
    Ref<UIImage> image;
    CGRect where;
};

// A white page of `size` (scale 1) with the images drawn where given,
// without smoothing.
Ref<UIImage> page(CGSize size, const std::vector<Placed>& images);
// A black-on-white QR code of `side` points holding `text`.
Ref<UIImage> qrCode(std::string_view text, CGFloat side);
// One QR code of 200 points on a 260 x 260 page.
Ref<UIImage> pageWithQRCode(std::string_view text);

}  // namespace ScanPictures
