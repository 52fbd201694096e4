#include "graphics/PNGCodec.h"

#include <libdeflate.h>
#include <png.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

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

// ---- writing: own filters and libdeflate, since libpng's adaptive filter
// and zlib cost shots three times a bare deflate of their bytes.

void appendUint32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    bytes.insert(bytes.end(), {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                               static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
}

// One chunk: length, type, data and the CRC-32 of type and data.
void appendChunk(std::vector<std::uint8_t>& bytes, const char (&type)[5], const std::uint8_t* data, std::size_t length) {
    appendUint32(bytes, static_cast<std::uint32_t>(length));
    const std::size_t typeAt = bytes.size();
    bytes.insert(bytes.end(), type, type + 4);
    if (length > 0) bytes.insert(bytes.end(), data, data + length);
    appendUint32(bytes, static_cast<std::uint32_t>(libdeflate_crc32(0, bytes.data() + typeAt, 4 + length)));
}

enum Filter : std::uint8_t { kNone = 0, kSub = 1, kUp = 2 };

// Rough cost of a filtered row for deflate: the sum of the bytes' distances
// from zero, read as signed.
inline unsigned cost(std::uint8_t residual) { return residual < 128 ? residual : 256u - residual; }

// Filters one row of `length` bytes (`bpp` bytes a pixel) into `out`,
// whose first byte takes the filter type. Each row gets Sub or Up, whichever
// leaves the smaller residuals: flat runs and repeated rows turn into zeros,
// which deflate packs tightly and quickly. The first row has no row above.
void filterRow(const std::uint8_t* row, const std::uint8_t* above, std::size_t length, std::size_t bpp,
               std::uint8_t* out) {
    Filter filter = kSub;
    if (above) {
        unsigned sub = 0, up = 0;
        for (std::size_t i = 0; i < bpp; ++i) sub += cost(row[i]), up += cost(row[i] - above[i]);
        for (std::size_t i = bpp; i < length; ++i) {
            sub += cost(static_cast<std::uint8_t>(row[i] - row[i - bpp]));
            up += cost(static_cast<std::uint8_t>(row[i] - above[i]));
        }
        if (up <= sub) filter = kUp;
    }
    out[0] = filter;
    ++out;
    if (filter == kUp) {
        for (std::size_t i = 0; i < length; ++i) out[i] = static_cast<std::uint8_t>(row[i] - above[i]);
    } else {
        std::memcpy(out, row, bpp);
        for (std::size_t i = bpp; i < length; ++i) out[i] = static_cast<std::uint8_t>(row[i] - row[i - bpp]);
    }
}

// The filtered scanlines of the whole image: a filter byte and the row.
std::vector<std::uint8_t> filteredRows(const CGImage& image, std::size_t bpp) {
    const std::size_t length = image.width() * bpp, height = image.height();
    std::vector<std::uint8_t> filtered(height * (length + 1));
    // Two rows of straight bytes, each copied out of the image once.
    std::vector<std::uint8_t> rows(2 * length);
    std::uint8_t *row = rows.data(), *above = rows.data() + length;
    for (std::size_t y = 0; y < height; ++y) {
        image.copyRow(y, row, bpp == 4);
        filterRow(row, y > 0 ? above : nullptr, length, bpp, filtered.data() + y * (length + 1));
        std::swap(row, above);
    }
    return filtered;
}

struct CompressorDeleter {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

// The zlib stream of `data` at the codec's level.
std::optional<std::vector<std::uint8_t>> zlibCompressed(const std::vector<std::uint8_t>& data) {
    std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(
        libdeflate_alloc_compressor(PNGCodec::compressionLevel));
    if (!compressor) return std::nullopt;
    std::vector<std::uint8_t> compressed(libdeflate_zlib_compress_bound(compressor.get(), data.size()));
    const std::size_t size =
        libdeflate_zlib_compress(compressor.get(), data.data(), data.size(), compressed.data(), compressed.size());
    if (size == 0) return std::nullopt;
    compressed.resize(size);
    return compressed;
}

// IDAT chunks of at most this many bytes each.
constexpr std::size_t kLargestDataChunk = 1u << 20;

}  // namespace

std::optional<NSData> PNGCodec::encode(const CGImage& image) {
    const std::size_t width = image.width(), height = image.height();
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return std::nullopt;
    const bool opaque = image.isOpaque();
    auto compressed = zlibCompressed(filteredRows(image, opaque ? 3 : 4));
    if (!compressed) return std::nullopt;

    std::vector<std::uint8_t> bytes;
    bytes.reserve(compressed->size() + 64 + 12 * (compressed->size() / kLargestDataChunk));
    static const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    bytes.insert(bytes.end(), signature, signature + sizeof signature);
    std::vector<std::uint8_t> header;
    appendUint32(header, static_cast<std::uint32_t>(width));
    appendUint32(header, static_cast<std::uint32_t>(height));
    // 8 bits a sample, RGB (2) or RGBA (6), deflate, adaptive filtering, no interlace.
    header.insert(header.end(), {8, static_cast<std::uint8_t>(opaque ? 2 : 6), 0, 0, 0});
    appendChunk(bytes, "IHDR", header.data(), header.size());
    for (std::size_t at = 0; at < compressed->size(); at += kLargestDataChunk) {
        appendChunk(bytes, "IDAT", compressed->data() + at, std::min(kLargestDataChunk, compressed->size() - at));
    }
    appendChunk(bytes, "IEND", nullptr, 0);
    return NSData(std::move(bytes));
}
