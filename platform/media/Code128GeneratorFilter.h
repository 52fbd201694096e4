#pragma once

#include "media/CIFilter.h"

// "CICode128BarcodeGenerator": a Code 128 bar code as a picture, one pixel
// per module.
class Code128GeneratorFilter : public CIFilter {
public:
    Code128GeneratorFilter();
    Ref<CIImage> outputImage() const override;
};
