#include "kits/ripple/RPMediaMessage.h"

void RPMediaMessage::setThumbImage(const Ref<UIImage>& image) {
    if (!image) return;
    // The qualities are single-precision constants taken as doubles, so the
    // steps do not land on 0.1 exactly.
    const double lowestQuality = static_cast<double>(0.1f);
    double quality = static_cast<double>(0.6f);
    auto data = UIImageJPEGRepresentation(image, quality);
    while (data && data->length() > kThumbnailTargetLength && quality > lowestQuality) {
        quality -= 0.1;
        data = UIImageJPEGRepresentation(image, quality);
    }
    // The last result, even none: an image that encodes to nothing leaves
    // no thumbnail, not the one before.
    thumbData_ = std::move(data);
}
