#include "app/shell/KXImageGround.h"

#include "frameworks/webimage/UIImageViewWebCache.h"

void loadImageClearingGround(const Ref<UIImageView>& imageView, const Ref<NSURL>& url) {
    WeakRef<UIImageView> weak = imageView;
    UIImageViewWebCache::sd_setImageWithURL(
        imageView, url, nullptr, [weak](const Ref<UIImage>& image, const Ref<NSError>&, SDImageCacheType, const Ref<NSURL>&) {
            if (auto view = weak.lock(); view && image) view->setBackgroundColor(UIColor::clearColor());
        });
}
