#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/CIImage.h"

// An opaque white picture on which generators paint black modules.
class BarcodePicture {
public:
    BarcodePicture(std::size_t width, std::size_t height);
    // Paints the pixel (column, row from the top) black.
    void darken(std::size_t column, std::size_t row);
    Ref<CIImage> image() const;

private:
    std::size_t width_, height_;
    std::vector<std::uint8_t> rgba_;
};
