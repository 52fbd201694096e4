#include "frameworks/webimage/UIButtonWebCache.h"

#include "frameworks/webimage/SDWebImageManager.h"
#include "frameworks/webimage/WebImageLoadTickets.h"
#include "uikit/UIButton.h"

void UIButtonWebCache::sd_setImageWithURL(const Ref<UIButton>& button, const Ref<NSURL>& url, UIControlState state,
                                          const Ref<UIImage>& placeholder) {
    if (!button) return;
    long slot = static_cast<long>(state);
    long ticket = WebImageLoadTickets::start(button, slot);
    button->setImage(placeholder, state);
    WeakRef<UIButton> weak = button;
    SDWebImageManager::sharedManager()->loadImageWithURL(
        url, SDWebImageDefaultOptions, nullptr,
        [weak, slot, ticket, state](const Ref<UIImage>& image, const NSData&, const Ref<NSError>&, SDImageCacheType,
                                    bool, const Ref<NSURL>&) {
            auto button = weak.lock();
            if (button && image && WebImageLoadTickets::isCurrent(button, slot, ticket)) button->setImage(image, state);
        });
}
