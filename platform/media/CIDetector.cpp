#include "media/CIDetector.h"

#include "media/CIQRCodeFeature.h"
#include "media/CodeReader.h"

Ref<CIDetector> CIDetector::detectorOfType(std::string_view type, const Ref<CIContext>&, const Dictionary&) {
    if (type != CIDetectorTypeQRCode) return nullptr;
    return make<CIDetector>();
}

std::vector<Ref<CIFeature>> CIDetector::featuresInImage(const Ref<CIImage>& image, const Dictionary&) const {
    if (!image) return {};
    auto picture = CodeReader::greyPictureFromRGBA(image->pixelWidth(), image->pixelHeight(), image->rgba());
    CGRect extent = image->extent();
    // Reader points are pixels from the top-left; features live in y-up space.
    auto toImageSpace = [&](CodeReader::Point p) {
        return CGPointMake(extent.origin.x + p.x, CGRectGetMaxY(extent) - p.y);
    };
    std::vector<Ref<CIFeature>> features;
    for (const auto& code : CodeReader::codesInPicture(picture, {CodeReader::Symbology::QRCode})) {
        if (code.corners.size() != 4) continue;
        CIQRCodeFeature::Corners corners{toImageSpace(code.corners[0]), toImageSpace(code.corners[3]),
                                         toImageSpace(code.corners[1]), toImageSpace(code.corners[2])};
        features.push_back(make<CIQRCodeFeature>(code.text, corners));
    }
    return features;
}
