#include "backend/PlaceholderImage.h"

#include <memory>

#include <qrencode.h>

#include "graphics/CGContext.h"
#include "graphics/PNGCodec.h"
#include "graphics/UIGraphics.h"
#include "tools/imagegen/PlaceholderDrawing.h"

namespace backend {

namespace {

std::string pngBytes(const std::optional<NSData>& png) {
    if (!png) return {};
    return std::string(reinterpret_cast<const char*>(png->bytes()), png->length());
}

// The first character of a UTF-8 text (a whole code point), or nothing.
std::string firstCharacter(std::string_view text) {
    if (text.empty()) return {};
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || length > text.size()) return {};
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return {};
    return std::string(text.substr(0, length));
}

}  // namespace

std::string placeholderPNG(std::string_view name, std::string_view caption, int side) {
    PlaceholderSpec spec{{side / 2.0, side / 2.0}, "roundrect", placeholderColourForName(std::string(name)),
                         firstCharacter(caption)};
    return pngBytes(drawPlaceholder(spec, 2));
}

std::string qrCodePNG(std::string_view text) {
    const std::string content(text);
    std::unique_ptr<QRcode, void (*)(QRcode*)> code(QRcode_encodeString(content.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1),
                                                   QRcode_free);
    if (!code) return {};
    constexpr int kModulePixels = 4;
    constexpr int kQuietModules = 4;
    const int modules = code->width + 2 * kQuietModules;
    const CGFloat side = modules * kModulePixels;
    UIGraphicsBeginImageContextWithOptions({side, side}, true, 1);
    CGContextRef context = UIGraphicsGetCurrentContext();
    CGContextSetFillColorWithColor(context, UIColor::whiteColor());
    CGContextFillRect(context, {{0, 0}, {side, side}});
    CGContextSetFillColorWithColor(context, UIColor::blackColor());
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if (!(code->data[y * code->width + x] & 1)) continue;
            CGContextFillRect(context, {{static_cast<CGFloat>((x + kQuietModules) * kModulePixels),
                                         static_cast<CGFloat>((y + kQuietModules) * kModulePixels)},
                                        {kModulePixels, kModulePixels}});
        }
    }
    Ref<UIImage> image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    if (!image) return {};
    return pngBytes(PNGCodec::encode(*image->CGImage()));
}

}  // namespace backend
