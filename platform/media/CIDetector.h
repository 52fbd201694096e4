#pragma once

#include <string_view>
#include <vector>

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "media/CIContext.h"
#include "media/CIFeature.h"
#include "media/CIImage.h"

inline constexpr const char* CIDetectorTypeQRCode = "CIDetectorTypeQRCode";
inline constexpr const char* CIDetectorAccuracy = "CIDetectorAccuracy";
inline constexpr const char* CIDetectorAccuracyLow = "CIDetectorAccuracyLow";
inline constexpr const char* CIDetectorAccuracyHigh = "CIDetectorAccuracyHigh";

// Finds QR codes in pictures (the one detector type this layer has). The
// accuracy option is accepted; detection always searches the whole picture.
class CIDetector : public NSObject {
public:
    // nullptr for any other type than CIDetectorTypeQRCode.
    static Ref<CIDetector> detectorOfType(std::string_view type, const Ref<CIContext>& context,
                                          const Dictionary& options = {});

    // Every QR code in the picture, as CIQRCodeFeature objects; none for a
    // null picture.
    std::vector<Ref<CIFeature>> featuresInImage(const Ref<CIImage>& image, const Dictionary& options = {}) const;
};
