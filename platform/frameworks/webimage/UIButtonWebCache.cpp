#include "frameworks/webimage/UIButtonWebCache.h"

#include "frameworks/webimage/SDWebImageManager.h"
#include "frameworks/webimage/WebImageViewLoads.h"
#include "uikit/UIButton.h"

void UIButtonWebCache::sd_setImageWithURL(const Ref<UIButton>& button, const Ref<NSURL>& url, UIControlState state,
                                          const Ref<UIImage>& placeholder) {
    if (!button) return;
    button->setImage(placeholder, state);
    WeakRef<UIButton> weak = button;
    auto load = SDWebImageManager::sharedManager()->loadImageWithURL(
        url, SDWebImageDefaultOptions, nullptr,
        [weak, state](const Ref<UIImage>& image, const NSData&, const Ref<NSError>&, SDImageCacheType, bool,
                      const Ref<NSURL>&) {
            auto button = weak.lock();
            if (button && image) button->setImage(image, state);
        });
    WebImageViewLoads::setLoad(button, static_cast<long>(state), std::move(load));
}
