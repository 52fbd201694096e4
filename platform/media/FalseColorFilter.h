#pragma once

#include "media/CIFilter.h"

// "CIFalseColor": recolours a picture by luma, from inputColor0 (dark) to
// inputColor1 (light).
class FalseColorFilter : public CIFilter {
public:
    FalseColorFilter();
    Ref<CIImage> outputImage() const override;
};
