// The PNG writer's files read back by libpng and by libspng, a reader that
// shares no code with it: both must accept them (chunk CRCs, the zlib
// checksum) and give back exactly the straight pixels the image holds.
#include <gtest/gtest.h>
#include <png.h>
#include <spng.h>

#include <random>
#include <vector>

#include "graphics/CGImage.h"
#include "graphics/PNGCodec.h"

namespace {

// Bands of flat colour, repeated rows, gradients and noise, so that rows get
// different filters; with `translucent`, every fifth pixel is half transparent.
Ref<CGImage> mixedImage(std::size_t width, std::size_t height, bool translucent) {
    std::mt19937 generator(7);
    std::vector<std::uint8_t> rgba(width * height * 4);
    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            std::uint8_t* pixel = &rgba[(y * width + x) * 4];
            switch (y % 6) {
            case 0:
            case 1:
                pixel[0] = static_cast<std::uint8_t>(40 * (y / 6)), pixel[1] = 200, pixel[2] = 17;
                break;
            case 2:
                pixel[0] = static_cast<std::uint8_t>(x * 3), pixel[1] = static_cast<std::uint8_t>(y), pixel[2] = 90;
                break;
            default:
                for (int i = 0; i < 3; ++i) pixel[i] = static_cast<std::uint8_t>(generator());
            }
            pixel[3] = translucent && (x + y) % 5 == 0 ? 0x80 : 0xFF;
        }
    }
    return CGImage::imageWithRGBA(width, height, rgba);
}

std::vector<std::uint8_t> readWithLibpng(const NSData& png) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.bytes(), png.length())) return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) rgba.clear();
    png_image_free(&image);
    return rgba;
}

std::vector<std::uint8_t> readWithSpng(const NSData& png) {
    spng_ctx* context = spng_ctx_new(0);
    std::vector<std::uint8_t> rgba;
    std::size_t size = 0;
    if (spng_set_png_buffer(context, png.bytes(), png.length()) == 0 &&
        spng_decoded_image_size(context, SPNG_FMT_RGBA8, &size) == 0) {
        rgba.resize(size);
        if (spng_decode_image(context, rgba.data(), size, SPNG_FMT_RGBA8, 0) != 0) rgba.clear();
    }
    spng_ctx_free(context);
    return rgba;
}

// The number of IDAT chunks, walking the file chunk by chunk.
int dataChunks(const NSData& png) {
    int count = 0;
    for (std::size_t at = 8; at + 12 <= png.length();) {
        const std::uint8_t* chunk = png.bytes() + at;
        const std::size_t length = (std::size_t{chunk[0]} << 24) | (chunk[1] << 16) | (chunk[2] << 8) | chunk[3];
        if (std::string(reinterpret_cast<const char*>(chunk + 4), 4) == "IDAT") ++count;
        at += 12 + length;
    }
    return count;
}

}  // namespace

TEST(PNGWriter, BothReadersGetTheExactPixelsOfOpaqueAndTranslucentImages) {
    for (bool translucent : {false, true}) {
        for (auto [width, height] : {std::pair<std::size_t, std::size_t>{61, 40}, {1, 7}}) {
            SCOPED_TRACE(testing::Message() << width << "x" << height << (translucent ? " translucent" : " opaque"));
            auto image = mixedImage(width, height, translucent);
            auto png = PNGCodec::encode(*image);
            ASSERT_TRUE(png);
            EXPECT_EQ(png->bytes()[25], translucent ? 6 : 2);  // the colour type: RGBA or RGB
            const auto expected = image->rgbaPixels();
            EXPECT_EQ(readWithLibpng(*png), expected);
            EXPECT_EQ(readWithSpng(*png), expected);
        }
    }
}

TEST(PNGWriter, ALargeImageSpreadsItsDataOverSeveralChunks) {
    auto image = mixedImage(1024, 900, false);  // half noise: well over a megabyte compressed
    auto png = PNGCodec::encode(*image);
    ASSERT_TRUE(png);
    EXPECT_GE(dataChunks(*png), 2);
    const auto expected = image->rgbaPixels();
    EXPECT_EQ(readWithLibpng(*png), expected);
    EXPECT_EQ(readWithSpng(*png), expected);
}
