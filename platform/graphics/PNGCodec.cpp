#include "graphics/PNGCodec.h"

#include <png.h>

#include <cstring>

#include "graphics/ImageLimits.h"

bool PNGCodec::recognizes(const NSData& data) {
    static const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return data.length() >= sizeof signature && std::memcmp(data.bytes(), signature, sizeof signature) == 0;
}

Ref<CGImage> PNGCodec::decode(const NSData& data) {
    if (!recognizes(data)) return nullptr;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data.bytes(), data.length())) return nullptr;
    if (!imageSizeIsDecodable(png.width, png.height)) {
        png_image_free(&png);
        return nullptr;
    }
    png.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(png));
    bool finished = png_image_finish_read(&png, nullptr, rgba.data(), 0, nullptr);
    std::size_t width = png.width, height = png.height;
    png_image_free(&png);
    if (!finished) return nullptr;
    return CGImage::imageWithRGBA(width, height, rgba);
}

std::optional<NSData> PNGCodec::encode(const CGImage& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width());
    png.height = static_cast<png_uint_32>(image.height());
    png.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels = image.rgbaPixels();
    if (image.isOpaque()) {
        png.format = PNG_FORMAT_RGB;
        std::size_t kept = 0;
        for (std::size_t at = 0; at < pixels.size(); at += 4) {
            pixels[kept++] = pixels[at];
            pixels[kept++] = pixels[at + 1];
            pixels[kept++] = pixels[at + 2];
        }
        pixels.resize(kept);
    }
    png_alloc_size_t size = 0;
    if (!png_image_write_get_memory_size(png, size, 0, pixels.data(), 0, nullptr)) return std::nullopt;
    std::vector<std::uint8_t> bytes(size);
    if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, pixels.data(), 0, nullptr)) return std::nullopt;
    bytes.resize(size);
    return NSData(std::move(bytes));
}
