#include "media/CodeReader.h"

#include <zbar.h>

#include <algorithm>
#include <memory>

#include "foundation/NSString.h"

namespace {

// zbar wants light space around a symbol and a few pixels per module: the
// picture is framed in white and small pictures are enlarged, pixel for pixel.
constexpr std::size_t kMargin = 16;
constexpr std::size_t kSmallSide = 240;
constexpr std::size_t kLargestEnlargement = 8;

zbar::zbar_symbol_type_t zbarType(CodeReader::Symbology symbology) {
    switch (symbology) {
        case CodeReader::Symbology::QRCode: return zbar::ZBAR_QRCODE;
        case CodeReader::Symbology::EAN13: return zbar::ZBAR_EAN13;
        case CodeReader::Symbology::Code128: return zbar::ZBAR_CODE128;
    }
    return zbar::ZBAR_NONE;
}

std::optional<CodeReader::Symbology> symbologyOf(zbar::zbar_symbol_type_t type) {
    switch (type) {
        case zbar::ZBAR_QRCODE: return CodeReader::Symbology::QRCode;
        case zbar::ZBAR_EAN13: return CodeReader::Symbology::EAN13;
        case zbar::ZBAR_CODE128: return CodeReader::Symbology::Code128;
        default: return std::nullopt;
    }
}

struct PreparedPicture {
    std::size_t width, height, scale;
    std::vector<std::uint8_t> luma;
};

PreparedPicture framedAndEnlarged(const CodeReader::GreyPicture& picture) {
    std::size_t smaller = std::min(picture.width, picture.height);
    std::size_t scale = std::clamp<std::size_t>((kSmallSide + smaller - 1) / smaller, 1, kLargestEnlargement);
    PreparedPicture prepared{picture.width * scale + 2 * kMargin, picture.height * scale + 2 * kMargin, scale, {}};
    prepared.luma.assign(prepared.width * prepared.height, 0xff);
    for (std::size_t y = 0; y < picture.height * scale; ++y) {
        const std::uint8_t* source = &picture.luma[(y / scale) * picture.width];
        std::uint8_t* target = &prepared.luma[(y + kMargin) * prepared.width + kMargin];
        for (std::size_t x = 0; x < picture.width * scale; ++x) target[x] = source[x / scale];
    }
    return prepared;
}

// zbar gives a QR code's corners in the symbol's order; a bar code gets the
// box around the points where its scan lines crossed it.
std::vector<CodeReader::Point> cornersOf(const zbar::zbar_symbol_t* symbol, const PreparedPicture& prepared) {
    auto toPicture = [&](int x, int y) {
        return CodeReader::Point{(double(x) - kMargin) / prepared.scale, (double(y) - kMargin) / prepared.scale};
    };
    unsigned count = zbar::zbar_symbol_get_loc_size(symbol);
    std::vector<CodeReader::Point> points;
    for (unsigned i = 0; i < count; ++i)
        points.push_back(toPicture(zbar::zbar_symbol_get_loc_x(symbol, i), zbar::zbar_symbol_get_loc_y(symbol, i)));
    if (zbar::zbar_symbol_get_type(symbol) == zbar::ZBAR_QRCODE || points.empty()) return points;

    auto [minX, maxX] = std::minmax_element(points.begin(), points.end(), [](auto a, auto b) { return a.x < b.x; });
    auto [minY, maxY] = std::minmax_element(points.begin(), points.end(), [](auto a, auto b) { return a.y < b.y; });
    double left = minX->x, right = maxX->x, top = minY->y, bottom = maxY->y;
    return {{left, top}, {left, bottom}, {right, bottom}, {right, top}};
}

}  // namespace

CodeReader::GreyPicture CodeReader::greyPictureFromRGBA(std::size_t width, std::size_t height,
                                                        const std::vector<std::uint8_t>& rgba) {
    GreyPicture picture{width, height, std::vector<std::uint8_t>(width * height, 0xff)};
    for (std::size_t i = 0; i < picture.luma.size() && i * 4 + 3 < rgba.size(); ++i) {
        const std::uint8_t* p = &rgba[i * 4];
        unsigned luma = (299u * p[0] + 587u * p[1] + 114u * p[2]) / 1000;
        picture.luma[i] = std::uint8_t((luma * p[3] + 255u * (255u - p[3])) / 255);
    }
    return picture;
}

std::vector<CodeReader::Code> CodeReader::codesInPicture(const GreyPicture& picture,
                                                         const std::vector<Symbology>& wanted) {
    if (picture.width == 0 || picture.height == 0 || picture.luma.size() != picture.width * picture.height)
        return {};
    PreparedPicture prepared = framedAndEnlarged(picture);

    std::unique_ptr<zbar::zbar_image_scanner_t, decltype(&zbar::zbar_image_scanner_destroy)> scanner(
        zbar::zbar_image_scanner_create(), zbar::zbar_image_scanner_destroy);
    zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    for (Symbology symbology : wanted)
        zbar::zbar_image_scanner_set_config(scanner.get(), zbarType(symbology), zbar::ZBAR_CFG_ENABLE, 1);

    std::unique_ptr<zbar::zbar_image_t, decltype(&zbar::zbar_image_destroy)> image(zbar::zbar_image_create(),
                                                                                   zbar::zbar_image_destroy);
    zbar::zbar_image_set_format(image.get(), zbar_fourcc('Y', '8', '0', '0'));
    zbar::zbar_image_set_size(image.get(), unsigned(prepared.width), unsigned(prepared.height));
    zbar::zbar_image_set_data(image.get(), prepared.luma.data(), prepared.luma.size(), nullptr);
    if (zbar::zbar_scan_image(scanner.get(), image.get()) < 0) return {};

    std::vector<Code> codes;
    for (const zbar::zbar_symbol_t* symbol = zbar::zbar_image_first_symbol(image.get()); symbol;
         symbol = zbar::zbar_symbol_next(symbol)) {
        auto symbology = symbologyOf(zbar::zbar_symbol_get_type(symbol));
        if (!symbology) continue;
        NSData data(zbar::zbar_symbol_get_data(symbol), zbar::zbar_symbol_get_data_length(symbol));
        codes.push_back({*symbology, NSString::initWithData(data, NSUTF8StringEncoding), cornersOf(symbol, prepared)});
    }
    return codes;
}
