#include "frameworks/webimage/KingfisherImageView.h"

#include "frameworks/webimage/SDWebImageManager.h"
#include "frameworks/webimage/WebImageViewLoads.h"
#include "uikit/UIImageView.h"

namespace Kingfisher {

void KingfisherWrapper::setImage(const Ref<NSURL>& url, const Ref<UIImage>& placeholder, KingfisherOptionsInfo,
                                 DownloadProgressBlock progressBlock, CompletionHandler completionHandler) {
    if (!base_) return;
    base_->setImage(placeholder);
    WeakRef<UIImageView> weak = base_;
    SDWebImageDownloaderProgressBlock progress;
    if (progressBlock)
        progress = [progressBlock](long received, long expected, const Ref<NSURL>&) {
            progressBlock(received, expected > 0 ? expected : 0);
        };
    auto load = SDWebImageManager::sharedManager()->loadImageWithURL(
        url, SDWebImageDefaultOptions, progress,
        [weak, completionHandler](const Ref<UIImage>& image, const NSData&, const Ref<NSError>& error,
                                          SDImageCacheType, bool, const Ref<NSURL>& imageURL) {
            auto view = weak.lock();
            if (!view) return;
            if (image) view->setImage(image);
            if (completionHandler) completionHandler({image, error, imageURL});
        });
    // The same slot as the other front end, so the latest load of a view wins.
    WebImageViewLoads::setLoad(base_, 0, std::move(load));
}

}  // namespace Kingfisher
