#include "media/BarcodePicture.h"

BarcodePicture::BarcodePicture(std::size_t width, std::size_t height)
    : width_(width), height_(height), rgba_(width * height * 4, 0xff) {}

void BarcodePicture::darken(std::size_t column, std::size_t row) {
    std::uint8_t* pixel = &rgba_[(row * width_ + column) * 4];
    pixel[0] = pixel[1] = pixel[2] = 0;
}

Ref<CIImage> BarcodePicture::image() const { return make<CIImage>(width_, height_, rgba_); }
