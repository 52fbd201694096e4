#pragma once

#include "media/CIFilter.h"

// "CIQRCodeGenerator": a QR code symbol as a picture, one pixel per module.
class QRCodeGeneratorFilter : public CIFilter {
public:
    QRCodeGeneratorFilter();
    Ref<CIImage> outputImage() const override;
};
