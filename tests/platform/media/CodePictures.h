#pragma once

#include <cstddef>
#include <vector>

#include "media/CodeReader.h"
#include "media/QRCodeEncoder.h"

// Grey pictures of generated symbols for the reader tests: dark modules at 0,
// light at 255, on a white page.
namespace CodePictures {

// A blank white page.
CodeReader::GreyPicture page(std::size_t width, std::size_t height);
// Paints the symbol with `pixels` per module, its top-left module at (x, y).
void paintQR(CodeReader::GreyPicture& page, const QRCodeEncoder::Symbol& symbol, std::size_t x, std::size_t y,
             std::size_t pixels);
// Paints a row of bar modules `height` pixels high.
void paintBars(CodeReader::GreyPicture& page, const std::vector<bool>& modules, std::size_t x, std::size_t y,
               std::size_t pixels, std::size_t height);

}  // namespace CodePictures
