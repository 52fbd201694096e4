#include "frameworks/webimage/UIImageViewWebCache.h"

#include "frameworks/webimage/WebImageViewLoads.h"
#include "uikit/UIImageView.h"

void UIImageViewWebCache::sd_setImageWithURL(const Ref<UIImageView>& imageView, const Ref<NSURL>& url,
                                             const Ref<UIImage>& placeholder, SDExternalCompletionBlock completion) {
    if (!imageView) return;
    imageView->setImage(placeholder);
    WeakRef<UIImageView> weak = imageView;
    auto load = SDWebImageManager::sharedManager()->loadImageWithURL(
        url, SDWebImageDefaultOptions, nullptr,
        [weak, completion](const Ref<UIImage>& image, const NSData&, const Ref<NSError>& error,
                           SDImageCacheType cacheType, bool, const Ref<NSURL>& imageURL) {
            auto view = weak.lock();
            if (!view) return;
            if (image) view->setImage(image);
            if (completion) completion(image, error, cacheType, imageURL);
        });
    WebImageViewLoads::setLoad(imageView, 0, std::move(load));
}
