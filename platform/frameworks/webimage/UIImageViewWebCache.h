#pragma once

#include <functional>

#include "foundation/NSObject.h"
#include "frameworks/webimage/SDWebImageManager.h"

class NSError;
class NSURL;
class UIImage;
class UIImageView;

using SDExternalCompletionBlock = std::function<void(const Ref<UIImage>& image, const Ref<NSError>& error,
                                                     SDImageCacheType cacheType, const Ref<NSURL>& imageURL)>;

// Web images for image views: the placeholder shows at once (none clears
// the image), then the loaded image replaces it if the view still wants
// that address; a later call for the same view wins over an earlier one,
// whose load is cancelled (its completion is not called). The view's end
// cancels its load too (WebImageViewLoads). On failure the placeholder stays
// and the completion gets the error.
class UIImageViewWebCache {
public:
    static void sd_setImageWithURL(const Ref<UIImageView>& imageView, const Ref<NSURL>& url,
                                   const Ref<UIImage>& placeholder = nullptr,
                                   SDExternalCompletionBlock completion = nullptr);
};
