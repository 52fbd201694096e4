#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Finds QR codes and bar codes in grey pictures, over zbar.
class CodeReader {
public:
    enum class Symbology { QRCode, EAN13, Code128 };

    // A point in pixels of the picture, from its top-left corner.
    struct Point {
        double x = 0, y = 0;
    };

    struct Code {
        Symbology symbology = Symbology::QRCode;
        // The content as UTF-8 text; nothing when it is not valid text.
        std::optional<std::string> text;
        // QR codes: the symbol's top-left, bottom-left, bottom-right and
        // top-right corners, as the symbol reads upright. Bar codes: the
        // corners of the box around the bars, in the same order.
        std::vector<Point> corners;
    };

    // A picture as rows of 8-bit luma, `width` bytes each.
    struct GreyPicture {
        std::size_t width = 0, height = 0;
        std::vector<std::uint8_t> luma;
    };

    // Rows of straight RGBA bytes as luma, laid over a white page.
    static GreyPicture greyPictureFromRGBA(std::size_t width, std::size_t height,
                                           const std::vector<std::uint8_t>& rgba);

    // Every code of the wanted symbologies, in the order zbar reports them.
    // A picture of the wrong byte count gives nothing.
    static std::vector<Code> codesInPicture(const GreyPicture& picture, const std::vector<Symbology>& wanted);
};
