#pragma once

#include <optional>
#include <string>

#include "foundation/Value.h"
#include "graphics/UIImage.h"

// One code the scanner recognised.
struct QSCScanResult {
    // The code's content; nothing when the platform gives no text for it.
    std::optional<std::string> strScanned;
    // The picture that goes with the result: from the camera an empty image
    // until a still replaces it; from a picture, that picture.
    Ref<UIImage> imgScanned;
    // The raw text of the code's metadata object type.
    std::optional<std::string> strBarCodeType;
    // The code's corners as the camera reports them, each a boxed point
    // (NSValue); nothing for codes found in a picture.
    std::optional<Array> arrayCorner;
};
