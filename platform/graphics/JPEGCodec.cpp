#include "graphics/JPEGCodec.h"

#include <cstdio>
// libjpeg's header needs FILE and size_t declared first.
#include <jpeglib.h>
#include <jerror.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdlib>

#include "graphics/ImageLimits.h"
#include "graphics/ImageProblem.h"

// libjpeg reports errors by calling an exit hook that must not return; the hook
// here jumps back to the one function that set up the jump, with the problem
// (plus one) as the jump's value. Those functions own no C++ objects:
// everything with a destructor lives in their callers, so the jump skips no
// destructor.
namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void jumpWith(j_common_ptr info, ImageProblem problem) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, static_cast<int>(problem) + 1);
}

void jumpOnError(j_common_ptr info) { jumpWith(info, ImageProblem::Damaged); }

// libjpeg only warns where a picture's data is cut short or corrupt, and
// fills what is missing with grey; such a picture is refused as damaged, as
// a cut or corrupt PNG is. Other warnings (bytes between segments, say) are
// let be.
void refuseDamage(j_common_ptr info, int level) {
    if (level >= 0) return;
    switch (info->err->msg_code) {
        case JWRN_JPEG_EOF:
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_ARITH_BAD_CODE: jumpWith(info, ImageProblem::Damaged);
        default: return;
    }
}

// Called as libjpeg reads each row of blocks: a picture of more
// scans than its size allows is refused before their passes take minutes,
// and a decode is left when decoding is stopped.
void limitScans(j_common_ptr info) {
    if (imageDecodingStopped) jumpWith(info, ImageProblem::Stopped);
    auto decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > mostJPEGScans(decompress->image_width, decompress->image_height))
        jumpWith(info, ImageProblem::TooManyScans);
}

void installErrorManager(ErrorManager& errors) {
    jpeg_std_error(&errors.base);
    errors.base.error_exit = jumpOnError;
    errors.base.emit_message = refuseDamage;
}

// Reads the header and sizes `rgba` for the picture; the problem when it
// cannot be decoded. Grey, YCbCr and RGB pictures come out as RGBA; CMYK
// and YCCK ones (print pictures) come out as CMYK, turned to RGBA row by
// row (cmykToRGBA).
std::optional<ImageProblem> readHeader(jpeg_decompress_struct& info, const NSData& data, std::size_t largestPixels,
                                       std::vector<std::uint8_t>& rgba) {
    jpeg_mem_src(&info, data.bytes(), static_cast<unsigned long>(data.length()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return ImageProblem::Damaged;
    if (!imageSizeIsWithinLimits(info.image_width, info.image_height, largestPixels)) return ImageProblem::TooLarge;
    switch (info.jpeg_color_space) {
        case JCS_GRAYSCALE:
        case JCS_YCbCr:
        case JCS_RGB: info.out_color_space = JCS_EXT_RGBA; break;
        case JCS_CMYK:
        case JCS_YCCK: info.out_color_space = JCS_CMYK; break;
        default: return ImageProblem::Unsupported;
    }
    rgba.resize(std::size_t(info.image_width) * info.image_height * 4);
    return std::nullopt;
}

// CMYK samples to RGBA in place. Adobe's pictures (those with its marker,
// as Photoshop writes them) store the inks inverted, 255 for none; others
// store them plain.
void cmykToRGBA(std::uint8_t* row, std::size_t width, bool inverted) {
    for (std::size_t x = 0; x < width; ++x, row += 4) {
        // What each ink leaves of the light, 255 for no ink.
        const int leftByBlack = inverted ? row[3] : 255 - row[3];
        for (int i = 0; i < 3; ++i) {
            const int leftByInk = inverted ? row[i] : 255 - row[i];
            row[i] = static_cast<std::uint8_t>((leftByInk * leftByBlack + 127) / 255);
        }
        row[3] = 255;
    }
}

std::optional<ImageProblem> decodeInto(const NSData& data, std::size_t largestPixels, std::vector<std::uint8_t>& rgba,
                                       std::size_t& width, std::size_t& height) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = &errors.base;
    installErrorManager(errors);
    jpeg_progress_mgr progress{};
    progress.progress_monitor = limitScans;
    if (int jumped = setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return static_cast<ImageProblem>(jumped - 1);
    }
    jpeg_create_decompress(&info);
    info.progress = &progress;
    if (auto problem = readHeader(info, data, largestPixels, rgba)) {
        jpeg_destroy_decompress(&info);
        return problem;
    }
    jpeg_start_decompress(&info);
    std::size_t stride = std::size_t(info.output_width) * 4;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgba.data() + info.output_scanline * stride;
        jpeg_read_scanlines(&info, &row, 1);
        if (info.out_color_space == JCS_CMYK) cmykToRGBA(row, info.output_width, info.saw_Adobe_marker);
    }
    width = info.output_width;
    height = info.output_height;
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return std::nullopt;
}

bool encodeFrom(const std::vector<std::uint8_t>& rgb, std::size_t width, std::size_t height, int quality,
                unsigned char** output, unsigned long* outputSize) {
    jpeg_compress_struct info;
    ErrorManager errors;
    info.err = &errors.base;
    installErrorManager(errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, output, outputSize);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto row = const_cast<JSAMPROW>(rgb.data() + std::size_t(info.next_scanline) * width * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

bool JPEGCodec::recognizes(const NSData& data) {
    return data.length() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

Ref<CGImage> JPEGCodec::decode(const NSData& data, ImageProblem* problem, std::size_t largestPixels) {
    std::optional<ImageProblem> refused = ImageProblem::NotAPicture;
    std::vector<std::uint8_t> rgba;
    std::size_t width = 0, height = 0;
    if (recognizes(data)) refused = decodeInto(data, largestPixels, rgba, width, height);
    if (refused) {
        if (problem) *problem = *refused;
        return nullptr;
    }
    return CGImage::imageWithRGBA(width, height, rgba);
}

std::optional<NSData> JPEGCodec::encode(const CGImage& image, double quality) {
    if (std::isnan(quality)) quality = 0;
    int libjpegQuality = std::clamp(static_cast<int>(std::lround(quality * 100)), 1, 100);
    std::vector<std::uint8_t> rgb;
    rgb.reserve(image.width() * image.height() * 3);
    for (std::size_t y = 0; y < image.height(); ++y) {
        for (std::size_t x = 0; x < image.width(); ++x) {
            CGImagePixel pixel = image.pixelAt(x, y);
            auto overBlack = [&](std::uint8_t component) {
                return static_cast<std::uint8_t>((component * pixel.alpha + 127) / 255);
            };
            rgb.insert(rgb.end(), {overBlack(pixel.red), overBlack(pixel.green), overBlack(pixel.blue)});
        }
    }
    unsigned char* output = nullptr;
    unsigned long outputSize = 0;
    bool encoded = encodeFrom(rgb, image.width(), image.height(), libjpegQuality, &output, &outputSize);
    std::optional<NSData> result;
    if (encoded) result = NSData(output, outputSize);
    std::free(output);
    return result;
}
