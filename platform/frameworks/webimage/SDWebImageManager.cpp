#include "frameworks/webimage/SDWebImageManager.h"

#include "foundation/DispatchQueue.h"
#include "foundation/NSError.h"
#include "foundation/NSHTTPURLResponse.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLSession.h"
#include "foundation/NSURLSessionDataTask.h"
#include "frameworks/webimage/SDImageCache.h"
#include "graphics/UIImage.h"

const char* const SDWebImageErrorDomain = "SDWebImageErrorDomain";

namespace {

Ref<NSError> imageError(long code, const std::string& description) {
    return NSError::errorWithDomain(SDWebImageErrorDomain, code, Dictionary{{NSLocalizedDescriptionKey, description}});
}

bool isNetworkAddress(const Ref<NSURL>& url) {
    auto scheme = url ? url->scheme() : std::nullopt;
    return scheme && (*scheme == "http" || *scheme == "https") && url->host();
}

}  // namespace

Ref<SDWebImageManager> SDWebImageManager::sharedManager() {
    static const Ref<SDWebImageManager> shared = make<SDWebImageManager>();
    return shared;
}

void SDWebImageManager::didCreate() {
    NSObject::didCreate();
    imageCache_ = SDImageCache::sharedImageCache();
}

void SDWebImageManager::loadImageWithURL(const Ref<NSURL>& url, SDWebImageOptions,
                                         SDWebImageDownloaderProgressBlock progress,
                                         SDInternalCompletionBlock completed) {
    auto fail = [&](const Ref<NSError>& error) {
        if (!completed) return;
        DispatchQueue::main()->async(
            [completed, error, url] { completed(nullptr, NSData(), error, SDImageCacheType::None, true, url); });
    };
    if (!isNetworkAddress(url)) {
        fail(imageError(SDWebImageErrorInvalidURL, "Image url is not a network address"));
        return;
    }
    std::string key = url->absoluteString();
    if (auto image = imageCache_->imageFromMemoryCacheForKey(key)) {
        if (completed) completed(image, NSData(), nullptr, SDImageCacheType::Memory, true, url);
        return;
    }
    Ref<SDImageCache> cache = imageCache_;
    auto task = NSURLSession::sharedSession()->dataTaskWithURL(
        url, [cache, key, url, progress, completed](const NSData& data, Ref<NSURLResponse> response, Ref<NSError> error) {
            Ref<UIImage> image;
            if (!error) {
                if (progress) progress(static_cast<long>(data.length()), static_cast<long>(data.length()), url);
                auto http = cast<NSHTTPURLResponse>(response);
                if (http && (http->statusCode() < 200 || http->statusCode() >= 300))
                    error = imageError(SDWebImageErrorInvalidDownloadResponse,
                                       "Download marked as failed because of status code " +
                                           std::to_string(http->statusCode()));
                else if (!(image = UIImage::imageWithData(data)))
                    error = imageError(SDWebImageErrorBadImageData, "Downloaded image has 0 pixels");
            }
            if (image) cache->storeImage(image, key);
            if (completed) completed(image, data, error, SDImageCacheType::None, true, url);
        });
    task->resume();
}
