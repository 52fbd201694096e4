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

namespace {

void appendToBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + length);
}

void flushNothing(png_structp) {}

void ignoreWarning(png_structp, png_const_charp) {}

[[noreturn]] void stopOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Writes the rows straight into memory: libpng calls back with the
// compressed bytes as it goes, so the image is compressed only once.
bool writePNG(const CGImage& image, bool opaque, std::vector<std::uint8_t>& bytes) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, stopOnError, ignoreWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    std::vector<std::uint8_t> row(image.width() * (opaque ? 3 : 4));
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &bytes, appendToBytes, flushNothing);
    png_set_compression_level(png, PNGCodec::compressionLevel);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 8,
                 opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (std::size_t y = 0; y < image.height(); ++y) {
        image.copyRow(y, row.data(), !opaque);
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::optional<NSData> PNGCodec::encode(const CGImage& image) {
    std::vector<std::uint8_t> bytes;
    if (!writePNG(image, image.isOpaque(), bytes)) return std::nullopt;
    return NSData(std::move(bytes));
}
