#include "CodePictures.h"

namespace CodePictures {

CodeReader::GreyPicture page(std::size_t width, std::size_t height) {
    return {width, height, std::vector<std::uint8_t>(width * height, 255)};
}

namespace {
void fill(CodeReader::GreyPicture& page, std::size_t x, std::size_t y, std::size_t width, std::size_t height) {
    for (std::size_t row = y; row < y + height; ++row)
        for (std::size_t column = x; column < x + width; ++column) page.luma[row * page.width + column] = 0;
}
}  // namespace

void paintQR(CodeReader::GreyPicture& page, const QRCodeEncoder::Symbol& symbol, std::size_t x, std::size_t y,
             std::size_t pixels) {
    for (std::size_t row = 0; row < symbol.size; ++row)
        for (std::size_t column = 0; column < symbol.size; ++column)
            if (symbol.isDark(column, row)) fill(page, x + column * pixels, y + row * pixels, pixels, pixels);
}

void paintBars(CodeReader::GreyPicture& page, const std::vector<bool>& modules, std::size_t x, std::size_t y,
               std::size_t pixels, std::size_t height) {
    for (std::size_t i = 0; i < modules.size(); ++i)
        if (modules[i]) fill(page, x + i * pixels, y, pixels, height);
}

}  // namespace CodePictures
