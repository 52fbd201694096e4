#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <jpeglib.h>
#include <libdeflate.h>
#include <unistd.h>

#include <array>
#include <cstdlib>

#include "graphics/CGImage.h"
#include "graphics/ImageLimits.h"
#include "graphics/ImageProblem.h"
#include "graphics/JPEGCodec.h"
#include "graphics/PNGCodec.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "tests/support/TempSandbox.h"
#include "tests/support/PNGChunks.h"
#include "tests/support/ThreadTime.h"

namespace {

// A width x height image whose pixels encode their position, with a
// half-transparent bottom row.
Ref<CGImage> patternImage(std::size_t width, std::size_t height) {
    std::vector<std::uint8_t> rgba(width * height * 4);
    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            std::uint8_t* pixel = &rgba[(y * width + x) * 4];
            pixel[0] = static_cast<std::uint8_t>(x * 40);
            pixel[1] = static_cast<std::uint8_t>(y * 40);
            pixel[2] = 200;
            pixel[3] = y + 1 == height ? 128 : 255;
        }
    }
    return CGImage::imageWithRGBA(width, height, rgba);
}

Ref<CGImage> solidImage(std::size_t width, std::size_t height, CGImagePixel color) {
    std::vector<std::uint8_t> rgba;
    for (std::size_t i = 0; i < width * height; ++i) rgba.insert(rgba.end(), {color.red, color.green, color.blue, color.alpha});
    return CGImage::imageWithRGBA(width, height, rgba);
}

void expectPixelNear(CGImagePixel actual, CGImagePixel expected, int tolerance) {
    EXPECT_NEAR(actual.red, expected.red, tolerance);
    EXPECT_NEAR(actual.green, expected.green, tolerance);
    EXPECT_NEAR(actual.blue, expected.blue, tolerance);
    EXPECT_NEAR(actual.alpha, expected.alpha, tolerance);
}

// What UIImage::imageWithData finds wrong with the data; nothing when it decodes.
std::optional<ImageProblem> problemOf(const NSData& data) {
    auto problem = static_cast<ImageProblem>(-1);
    if (UIImage::imageWithData(data, 1, &problem)) return std::nullopt;
    return problem;
}

// A grey progressive JPEG of `side` x `side` (a multiple of 8) and `scans`
// scans: its DC coefficients, then the same AC scan again and again, each
// one more pass over the picture.
NSData progressiveJPEG(int scans, std::uint16_t side = 8) {
    std::vector<std::uint8_t> bytes = {0xFF, 0xD8, 0xFF, 0xDB, 0, 67, 0};
    bytes.insert(bytes.end(), 64, 1);  // quantisation by 1
    const auto high = static_cast<std::uint8_t>(side >> 8), low = static_cast<std::uint8_t>(side);
    bytes.insert(bytes.end(), {0xFF, 0xC2, 0, 11, 8, high, low, high, low, 1, 1, 0x11, 0});  // one component
    for (std::uint8_t table : {0x00, 0x10}) {  // DC and AC tables: one 1-bit code, for 0
        bytes.insert(bytes.end(), {0xFF, 0xC4, 0, 20, table, 1});
        bytes.insert(bytes.end(), 16, 0);
    }
    const std::size_t blocks = std::size_t(side / 8) * (side / 8);
    for (int scan = 0; scan < scans; ++scan) {
        const std::uint8_t first = scan == 0 ? 0 : 1, last = scan == 0 ? 0 : 63;
        bytes.insert(bytes.end(), {0xFF, 0xDA, 0, 8, 1, 1, 0, first, last, 0});
        // Code 0 for every block, then padding.
        bytes.insert(bytes.end(), blocks / 8, 0);
        if (blocks % 8) bytes.push_back(static_cast<std::uint8_t>(0xFF >> (blocks % 8)));
    }
    bytes.insert(bytes.end(), {0xFF, 0xD9});
    return NSData(std::move(bytes));
}

// A 16 x 16 CMYK JPEG of one colour, its inks given as Adobe's pictures
// store them (inverted: 255 is no ink).
NSData cmykJPEG(std::array<std::uint8_t, 4> inverted) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* output = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &output, &size);
    info.image_width = info.image_height = 16;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);  // with Adobe's marker
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row;
    for (int x = 0; x < 16; ++x) row.insert(row.end(), inverted.begin(), inverted.end());
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    NSData data(output, size);
    std::free(output);
    return data;
}

// A 1 x 1 PNG with `copies` chunks of `type` holding `data` before its pixels.
NSData pngWithChunks(const char* type, const std::string& data, int copies) {
    std::string chunks;
    for (int i = 0; i < copies; ++i) chunks += pngChunk(type, data);
    return NSData::fromString(withChunksBeforePixels(PNGCodec::encode(*patternImage(1, 1))->toString(), chunks));
}

// A 1 x 1 PNG with `chunks` zTXt chunks before its pixels, each holding
// 8 MB of zeros in 8 KB.
NSData pngWithTextBombs(int chunks) {
    std::string text("Comment\0\0", 9);  // keyword, method 0
    std::vector<std::uint8_t> zeros(8'000'000 - 16);
    auto* compressor = libdeflate_alloc_compressor(12);
    std::vector<std::uint8_t> compressed(libdeflate_zlib_compress_bound(compressor, zeros.size()));
    compressed.resize(libdeflate_zlib_compress(compressor, zeros.data(), zeros.size(), compressed.data(), compressed.size()));
    libdeflate_free_compressor(compressor);
    text.append(compressed.begin(), compressed.end());
    return pngWithChunks("zTXt", text, chunks);
}

}  // namespace

TEST(ImageCodecs, PNGRoundTripKeepsPixelsAndAlpha) {
    auto image = patternImage(5, 4);
    auto png = PNGCodec::encode(*image);
    ASSERT_TRUE(png);
    EXPECT_TRUE(PNGCodec::recognizes(*png));
    auto decoded = PNGCodec::decode(*png);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width(), 5u);
    EXPECT_EQ(decoded->height(), 4u);
    for (std::size_t y = 0; y < 4; ++y) {
        for (std::size_t x = 0; x < 5; ++x) expectPixelNear(decoded->pixelAt(x, y), image->pixelAt(x, y), 1);
    }
    // Half-transparent pixels survive premultiplication within rounding.
    expectPixelNear(decoded->pixelAt(2, 3), {80, 120, 200, 128}, 2);
}

TEST(ImageCodecs, ACMYKJPEGDecodesToItsColour) {
    auto red = JPEGCodec::decode(cmykJPEG({255, 0, 0, 255}));  // magenta and yellow inks
    ASSERT_TRUE(red);
    expectPixelNear(red->pixelAt(8, 8), {255, 0, 0, 255}, 4);
}

TEST(ImageCodecs, JPEGRoundTripIsCloseAndQualitySetsSize) {
    auto image = solidImage(32, 32, {200, 40, 90, 255});
    auto best = JPEGCodec::encode(*image, 1.0);
    ASSERT_TRUE(best);
    EXPECT_TRUE(JPEGCodec::recognizes(*best));
    auto decoded = JPEGCodec::decode(*best);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width(), 32u);
    expectPixelNear(decoded->pixelAt(16, 16), {200, 40, 90, 255}, 4);

    auto busy = patternImage(64, 64);
    auto high = JPEGCodec::encode(*busy, 0.95), low = JPEGCodec::encode(*busy, 0.1);
    ASSERT_TRUE(high && low);
    EXPECT_LT(low->length(), high->length());
}

TEST(ImageCodecs, DamagedDataGivesNothingAndSaysWhy) {
    EXPECT_EQ(problemOf(NSData::fromString("not an image")), ImageProblem::NotAPicture);
    EXPECT_EQ(problemOf(NSData::fromString("\xFF\xD8\xFF garbage")), ImageProblem::Damaged);
    auto png = *PNGCodec::encode(*patternImage(8, 8));
    EXPECT_EQ(problemOf(png.subdata(0, png.length() / 2)), ImageProblem::Damaged);
    auto jpeg = *JPEGCodec::encode(*patternImage(64, 64), 0.8);
    EXPECT_EQ(problemOf(jpeg.subdata(0, 20)), ImageProblem::Damaged);
    EXPECT_EQ(problemOf(jpeg.subdata(0, jpeg.length() * 2 / 3)), ImageProblem::Damaged);  // not filled in grey
    EXPECT_EQ(problemOf(progressiveJPEG(kMostJPEGScans)), std::nullopt);
    EXPECT_EQ(problemOf(progressiveJPEG(kMostJPEGScans + 1)), ImageProblem::TooManyScans);
    // A larger picture may hold fewer scans: each is a pass over all of it.
    EXPECT_EQ(mostJPEGScans(4096, 4096), 64);
    EXPECT_EQ(problemOf(progressiveJPEG(mostJPEGScans(4096, 4096) + 1, 4096)), ImageProblem::TooManyScans);
    // Compressed text before the pixels is skipped, not inflated (300 chunks
    // of 8 MB of zeros), and a private chunk of 30 MB stepped over unread.
    const NSData textBombs = pngWithTextBombs(300), withPrivateChunk = pngWithChunks("vlMo", std::string(30'000'000, 'x'), 1);
    double before = threadProcessorSeconds();
    EXPECT_EQ(problemOf(textBombs), std::nullopt);
    EXPECT_EQ(problemOf(withPrivateChunk), std::nullopt);
    EXPECT_LT(threadProcessorSeconds() - before, 0.5);
    // Once decoding is stopped (the process ends), no picture is decoded, at once.
    imageDecodingStopped = true;
    before = threadProcessorSeconds();
    EXPECT_EQ(problemOf(withPrivateChunk), ImageProblem::Stopped);
    EXPECT_LT(threadProcessorSeconds() - before, 0.1);
    EXPECT_EQ(problemOf(*PNGCodec::encode(*patternImage(8, 8))), ImageProblem::Stopped);
    EXPECT_EQ(problemOf(*JPEGCodec::encode(*patternImage(8, 8), 0.8)), ImageProblem::Stopped);
    imageDecodingStopped = false;
    EXPECT_EQ(problemOf(NSData()), ImageProblem::NotAPicture);
    EXPECT_FALSE(CGImage::imageWithRGBA(2, 2, std::vector<std::uint8_t>(15)));
    // A file whose read fails (this process's pages at address 0) gives nothing.
    EXPECT_FALSE(UIImage::imageWithContentsOfFile("/proc/self/mem"));
}

TEST(ImageCodecs, APictureClaimingMorePixelsThanTheLimitIsRefusedFromItsHeader) {
    // A 1 x 1 PNG whose header is rewritten to claim 32767 x 32767 (4 GiB of
    // pixels): refused before any pixel memory is taken.
    auto png = *PNGCodec::encode(*patternImage(1, 1));
    std::vector<std::uint8_t> bytes(png.bytes(), png.bytes() + png.length());
    for (std::size_t at : {16u, 20u}) {
        bytes[at] = 0, bytes[at + 1] = 0, bytes[at + 2] = 0x7F, bytes[at + 3] = 0xFF;
    }
    std::uint32_t crc = 0xFFFFFFFFu;  // the chunk's CRC-32 over its type and data
    for (std::size_t at = 12; at < 29; ++at) {
        crc ^= bytes[at];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc = ~crc;
    for (int i = 0; i < 4; ++i) bytes[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    EXPECT_EQ(problemOf(NSData(std::move(bytes))), ImageProblem::TooLarge);
}

TEST(CGImage, CropTakesTheIntegralPartInsideTheImage) {
    auto image = patternImage(5, 4);
    auto part = CGImageCreateWithImageInRect(image, CGRectMake(1.5, 1, 2, 2));
    ASSERT_TRUE(part);
    // 1.5...3.5 widens to 1...4.
    EXPECT_EQ(part->width(), 3u);
    EXPECT_EQ(part->height(), 2u);
    EXPECT_EQ(part->pixelAt(0, 0), image->pixelAt(1, 1));
    EXPECT_EQ(part->pixelAt(2, 1), image->pixelAt(3, 2));

    auto edge = CGImageCreateWithImageInRect(image, CGRectMake(3, -2, 10, 4));
    ASSERT_TRUE(edge);
    EXPECT_EQ(edge->width(), 2u);
    EXPECT_EQ(edge->height(), 2u);
    EXPECT_EQ(edge->pixelAt(0, 0), image->pixelAt(3, 0));

    EXPECT_FALSE(CGImageCreateWithImageInRect(image, CGRectZero));
    EXPECT_FALSE(CGImageCreateWithImageInRect(image, CGRectMake(10, 10, 3, 3)));
    EXPECT_FALSE(CGImageCreateWithImageInRect(nullptr, CGRectMake(0, 0, 1, 1)));
}

TEST(UIImage, SizeFollowsScaleAndOrientation) {
    auto bitmap = patternImage(40, 20);
    auto twice = UIImage::imageWithCGImage(bitmap, 2);
    EXPECT_EQ(twice->size(), CGSizeMake(20, 10));
    auto turned = UIImage::imageWithCGImage(bitmap, 1, UIImageOrientation::Right);
    EXPECT_EQ(turned->size(), CGSizeMake(20, 40));
    EXPECT_EQ(turned->imageOrientation(), UIImageOrientation::Right);
    EXPECT_FALSE(UIImage::imageWithCGImage(nullptr));

    auto png = UIImagePNGRepresentation(twice);
    ASSERT_TRUE(png);
    auto back = UIImage::imageWithData(*png, 2);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->size(), CGSizeMake(20, 10));
    EXPECT_EQ(back->scale(), 2);
    auto jpeg = UIImageJPEGRepresentation(twice, 0.7);
    ASSERT_TRUE(jpeg);
    EXPECT_TRUE(UIImage::imageWithData(*jpeg));
    EXPECT_FALSE(UIImagePNGRepresentation(nullptr));
}

TEST(UIImage, FilesNamedForAScaleLoadAtThatScale) {
    const TempFolder folder("velmaro-icon");
    const std::string path = folder / "icon@2x.png";
    auto png = *PNGCodec::encode(*patternImage(6, 4));
    {
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(png.bytes()), static_cast<std::streamsize>(png.length()));
    }
    auto image = UIImage::imageWithContentsOfFile(path);
    std::filesystem::remove(path);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->scale(), 2);
    EXPECT_EQ(image->size(), CGSizeMake(3, 2));
    EXPECT_FALSE(UIImage::imageWithContentsOfFile(path));
}

TEST(UIImage, AnEmptyImageHasNoSizeAndDrawsNothing) {
    auto empty = make<UIImage>();
    EXPECT_EQ(empty->size().width, 0);
    EXPECT_EQ(empty->size().height, 0);
    EXPECT_FALSE(UIImagePNGRepresentation(empty));
    EXPECT_FALSE(UIImageJPEGRepresentation(empty, 0.5));
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(4, 4), false, 1);
    empty->drawInRect(CGRectMake(0, 0, 4, 4));
    empty->drawAtPoint(CGPointMake(1, 1));
    UIGraphicsEndImageContext();
}
