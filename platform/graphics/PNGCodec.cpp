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

namespace {

// ---- reading: libpng's progressive reader, fed the file piece by piece, so
// that reading ends with the picture's last row. (Its whole-file readers go
// on inflating whatever compressed data follows that row, a kilobyte at a
// time, to check that the stream ends: 32 MB of compressed zeros after a
// 1 x 1 picture took 33 s.)

// What the reader's callbacks share. libpng reports errors by jumping back
// to the function that set the jump (readInto), which owns no C++ object
// with a destructor: everything with one lives in its caller.
struct ReadState {
    std::size_t largestPixels;
    std::vector<std::uint8_t>* rgba;
    std::size_t width = 0, height = 0;
    int passes = 1;
    // Rows of the last pass delivered so far.
    std::size_t rowsDone = 0;
    ImageProblem problem = ImageProblem::Damaged;
    bool done() const { return height > 0 && rowsDone == height; }
};

ReadState& stateOf(png_structp png) { return *static_cast<ReadState*>(png_get_progressive_ptr(png)); }

[[noreturn]] void refuse(png_structp png, ImageProblem problem) {
    stateOf(png).problem = problem;
    png_error(png, "refused");
}

[[noreturn]] void jumpOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void ignoreWarning(png_structp, png_const_charp) {}

// The header has been read: the size is checked and the rows made 8-bit RGBA.
void onInfo(png_structp png, png_infop info) {
    auto& state = stateOf(png);
    state.width = png_get_image_width(png, info);
    state.height = png_get_image_height(png, info);
    if (!imageSizeIsWithinLimits(state.width, state.height, state.largestPixels)) refuse(png, ImageProblem::TooLarge);
    png_set_expand(png);  // palettes, low bit depths and transparency chunks
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    state.passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != state.width * 4) refuse(png, ImageProblem::Damaged);
    state.rgba->resize(state.width * state.height * 4);
}

void onRow(png_structp png, png_bytep row, png_uint_32 rowNumber, int pass) {
    auto& state = stateOf(png);
    if (imageDecodingStopped) refuse(png, ImageProblem::Stopped);
    if (rowNumber >= state.height) return;
    // An interlaced pass gives no row where it adds no pixels.
    if (row) png_progressive_combine_row(png, state.rgba->data() + std::size_t(rowNumber) * state.width * 4, row);
    if (pass == state.passes - 1) state.rowsDone = rowNumber + 1;
}

// The chunks libpng is given: those that make the picture. Every other
// one (text, colour profiles, gamma, a private chunk) is of no use here and
// is stepped over by its length, unread: libpng's progressive reader keeps
// a chunk other than the pixels whole before it reads it, in a buffer it
// grows and copies as each piece comes (a 1 x 1 picture with a 31 MB
// private chunk took 15 s), and inflates compressed text.
bool makesThePicture(const std::uint8_t* type) {
    for (const char* kept : {"IHDR", "PLTE", "IDAT", "IEND", "tRNS"}) {
        if (std::memcmp(type, kept, 4) == 0) return true;
    }
    return false;
}

bool isPixelData(const std::uint8_t* type) { return std::memcmp(type, "IDAT", 4) == 0; }

// No chunk of the picture but its pixels is longer in a valid file (a
// palette holds at most 768 bytes): a longer one is damage, and libpng
// would keep it whole too.
constexpr std::size_t kLongestPictureChunk = 1024;

std::uint32_t bigEndian32(const std::uint8_t* bytes) {
    return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 | bytes[3];
}

// Hands libpng `length` bytes from `at`, 16 KiB at a time, looking for a
// stop before each piece. Called within readInto's jump.
bool feed(png_structp png, png_infop info, const NSData& data, std::size_t at, std::size_t length) {
    constexpr std::size_t piece = 16u << 10;
    const ReadState& state = stateOf(png);
    for (std::size_t end = std::min(at + length, data.length()); at < end && !state.done(); at += piece) {
        if (imageDecodingStopped) return false;
        png_process_data(png, info, const_cast<png_bytep>(data.bytes() + at), std::min(piece, end - at));
    }
    return true;
}

// Walks the file chunk by chunk, giving libpng the signature and the chunks
// of the picture until its last row is in. Called within readInto's jump.
void feedPicture(png_structp png, png_infop info, const NSData& data, ReadState& state) {
    constexpr std::size_t signatureBytes = 8, framingBytes = 12;  // length, type, CRC
    if (!feed(png, info, data, 0, signatureBytes)) return;
    const std::uint8_t* bytes = data.bytes();
    for (std::size_t at = signatureBytes; at + 8 <= data.length() && !state.done(); ) {
        if (imageDecodingStopped) return;
        const std::size_t length = bigEndian32(bytes + at);
        const std::uint8_t* type = bytes + at + 4;
        if (makesThePicture(type)) {
            if (!isPixelData(type) && length > kLongestPictureChunk) return;
            if (!feed(png, info, data, at, framingBytes + length)) return;
        } else if (!(type[0] & 0x20)) {
            return;  // a critical chunk this reader does not know: the picture cannot be read
        }
        at += framingBytes + length;
    }
}

std::optional<ImageProblem> readInto(const NSData& data, ReadState& state) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, jumpOnError, ignoreWarning);
    if (!png) return ImageProblem::Damaged;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        // What follows the last row (more compressed data, a bad chunk) does not matter.
        if (state.done()) return std::nullopt;
        return state.problem;
    }
    png_set_progressive_read_fn(png, &state, onInfo, onRow, nullptr);
    png_set_benign_errors(png, 1);
    feedPicture(png, info, data, state);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!state.done()) return imageDecodingStopped ? ImageProblem::Stopped : ImageProblem::Damaged;
    return std::nullopt;
}

}  // namespace

Ref<CGImage> PNGCodec::decode(const NSData& data, ImageProblem* problem, std::size_t largestPixels) {
    std::optional<ImageProblem> refused = ImageProblem::NotAPicture;
    std::vector<std::uint8_t> rgba;
    ReadState state{largestPixels, &rgba};
    if (recognizes(data)) refused = readInto(data, state);
    if (refused) {
        if (problem) *problem = *refused;
        return nullptr;
    }
    return CGImage::imageWithRGBA(state.width, state.height, rgba);
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

// Filter types of a scanline.
enum Filter : std::uint8_t { kNone = 0, kUp = 2 };

// A buffer kept for the thread's next image: a shot's rows take megabytes,
// and memory taken afresh from the system for each is paid for page by page.
class KeptBuffer {
public:
    std::uint8_t* ofSize(std::size_t size) {
        if (size > capacity_) {
            bytes_ = std::make_unique_for_overwrite<std::uint8_t[]>(size);
            capacity_ = size;
        }
        return bytes_.get();
    }

private:
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t capacity_ = 0;
};

// The scanlines of the whole image, each a filter byte and the row, in the
// thread's kept buffer, not cleared first (every byte is written). Every row but the first
// is filtered Up, its difference from the row above: screens are mostly
// flat colour and repeated rows, which become runs of zeros, and gradients
// and pictures shrink too, at the cost of one subtraction a byte. (The
// adaptive choice among all five filters costs more than compressing.)
const std::uint8_t* filteredRows(const CGImage& image, std::size_t bpp, std::size_t* size) {
    const std::size_t length = image.width() * bpp, stride = length + 1, height = image.height();
    *size = height * stride;
    thread_local KeptBuffer kept;
    std::uint8_t* rows = kept.ofSize(*size);
    for (std::size_t y = 0; y < height; ++y) {
        rows[y * stride] = y == 0 ? kNone : kUp;
        image.copyRow(y, &rows[y * stride + 1], bpp == 4);
    }
    // From the bottom up, so that the row above is still unfiltered.
    for (std::size_t y = height - 1; y > 0; --y) {
        std::uint8_t* row = &rows[y * stride + 1];
        const std::uint8_t* above = row - stride;
        for (std::size_t i = 0; i < length; ++i) row[i] = static_cast<std::uint8_t>(row[i] - above[i]);
    }
    return rows;
}

struct CompressorDeleter {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

// The zlib stream of `data`, into the thread's kept buffer, not cleared
// first. The compressor (its tables take a few hundred kilobytes) is kept
// for the thread's next image too.
const std::uint8_t* zlibCompressed(const std::uint8_t* data, std::size_t length, std::size_t* size) {
    thread_local std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(
        libdeflate_alloc_compressor(PNGCodec::compressionLevel));
    if (!compressor) return nullptr;
    const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), length);
    thread_local KeptBuffer kept;
    std::uint8_t* compressed = kept.ofSize(bound);
    *size = libdeflate_zlib_compress(compressor.get(), data, length, compressed, bound);
    return *size > 0 ? compressed : nullptr;
}

// IDAT chunks of at most this many bytes each.
constexpr std::size_t kLargestDataChunk = 1u << 20;

}  // namespace

std::optional<NSData> PNGCodec::encode(const CGImage& image) {
    const std::size_t width = image.width(), height = image.height();
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return std::nullopt;
    const bool opaque = image.isOpaque();
    std::size_t filteredSize = 0, compressedSize = 0;
    const std::uint8_t* filtered = filteredRows(image, opaque ? 3 : 4, &filteredSize);
    const std::uint8_t* compressed = zlibCompressed(filtered, filteredSize, &compressedSize);
    if (!compressed) return std::nullopt;

    std::vector<std::uint8_t> bytes;
    bytes.reserve(compressedSize + 64 + 12 * (compressedSize / kLargestDataChunk));
    static const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    bytes.insert(bytes.end(), signature, signature + sizeof signature);
    std::vector<std::uint8_t> header;
    appendUint32(header, static_cast<std::uint32_t>(width));
    appendUint32(header, static_cast<std::uint32_t>(height));
    // 8 bits a sample, RGB (2) or RGBA (6), deflate, adaptive filtering, no interlace.
    header.insert(header.end(), {8, static_cast<std::uint8_t>(opaque ? 2 : 6), 0, 0, 0});
    appendChunk(bytes, "IHDR", header.data(), header.size());
    for (std::size_t at = 0; at < compressedSize; at += kLargestDataChunk) {
        appendChunk(bytes, "IDAT", compressed + at, std::min(kLargestDataChunk, compressedSize - at));
    }
    appendChunk(bytes, "IEND", nullptr, 0);
    return NSData(std::move(bytes));
}
