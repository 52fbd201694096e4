#include "frameworks/webimage/UIImageViewWebCache.h"

#include "frameworks/webimage/WebImageLoadTickets.h"
#include "uikit/UIImageView.h"

void UIImageViewWebCache::sd_setImageWithURL(const Ref<UIImageView>& imageView, const Ref<NSURL>& url,
                                             const Ref<UIImage>& placeholder, SDExternalCompletionBlock completion) {
    if (!imageView) return;
    long ticket = WebImageLoadTickets::start(imageView, 0);
    imageView->setImage(placeholder);
    WeakRef<UIImageView> weak = imageView;
    SDWebImageManager::sharedManager()->loadImageWithURL(
        url, SDWebImageDefaultOptions, nullptr,
        [weak, ticket, completion](const Ref<UIImage>& image, const NSData&, const Ref<NSError>& error,
                                   SDImageCacheType cacheType, bool, const Ref<NSURL>& imageURL) {
            auto view = weak.lock();
            if (!view || !WebImageLoadTickets::isCurrent(view, 0, ticket)) return;
            if (image) view->setImage(image);
            if (completion) completion(image, error, cacheType, imageURL);
        });
}
