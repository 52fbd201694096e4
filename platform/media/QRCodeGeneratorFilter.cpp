#include "media/QRCodeGeneratorFilter.h"

#include "media/BarcodePicture.h"
#include "media/QRCodeEncoder.h"

namespace {
// Light modules around the symbol.
constexpr std::size_t kBorder = 1;
}  // namespace

QRCodeGeneratorFilter::QRCodeGeneratorFilter()
    : CIFilter("CIQRCodeGenerator", {"inputMessage", "inputCorrectionLevel"}, {{"inputCorrectionLevel", "M"}}) {}

Ref<CIImage> QRCodeGeneratorFilter::outputImage() const {
    Value message = valueForKey("inputMessage");
    auto levelName = valueForKey("inputCorrectionLevel").stringValue();
    auto level = QRCodeEncoder::correctionLevelNamed(levelName.value_or(""));
    if (!message.data() || !level) return nullptr;
    auto symbol = QRCodeEncoder::symbolForData(*message.data(), *level);
    if (!symbol) return nullptr;

    BarcodePicture picture(symbol->size + 2 * kBorder, symbol->size + 2 * kBorder);
    for (std::size_t row = 0; row < symbol->size; ++row)
        for (std::size_t column = 0; column < symbol->size; ++column)
            if (symbol->isDark(column, row)) picture.darken(column + kBorder, row + kBorder);
    return picture.image();
}
