#include "media/Code128GeneratorFilter.h"

#include <cmath>

#include "media/BarcodePicture.h"
#include "media/Code128Encoder.h"

namespace {
constexpr std::size_t kBarHeight = 32;
// More quiet space than any caller could want is refused, not allocated.
constexpr double kLargestQuietSpace = 1000;
}  // namespace

Code128GeneratorFilter::Code128GeneratorFilter()
    : CIFilter("CICode128BarcodeGenerator", {"inputMessage", "inputQuietSpace"}, {{"inputQuietSpace", 7.0}}) {}

Ref<CIImage> Code128GeneratorFilter::outputImage() const {
    Value message = valueForKey("inputMessage");
    Value quietValue = valueForKey("inputQuietSpace");
    double quiet = quietValue.doubleValue();
    if (!message.data() || !quietValue.isNumber() || !(quiet >= 0 && quiet <= kLargestQuietSpace)) return nullptr;
    auto modules = Code128Encoder::modulesForText(message.data()->toString());
    if (!modules) return nullptr;

    auto margin = static_cast<std::size_t>(std::lround(quiet));
    BarcodePicture picture(modules->size() + 2 * margin, kBarHeight);
    for (std::size_t i = 0; i < modules->size(); ++i)
        if ((*modules)[i])
            for (std::size_t row = 0; row < kBarHeight; ++row) picture.darken(margin + i, row);
    return picture.image();
}
