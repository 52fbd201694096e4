#include "frameworks/webimage/SDWebImageManager.h"

#include <utility>
#include <vector>

#include "foundation/DispatchQueue.h"
#include "foundation/NSError.h"
#include "foundation/NSHTTPURLResponse.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLSession.h"
#include "foundation/NSURLSessionConfiguration.h"
#include "foundation/NSURLSessionDataTask.h"
#include "frameworks/webimage/SDImageCache.h"
#include "graphics/ImageLimits.h"
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

// What a download came to, off the main queue: the picture of a 2xx answer,
// decoded within the web pictures' pixel bound, into `image`; the error when
// there is none.
Ref<NSError> pictureOfAnswer(const NSData& data, const Ref<NSURLResponse>& response, Ref<NSError> error,
                             Ref<UIImage>& image) {
    if (error) return error;
    auto http = cast<NSHTTPURLResponse>(response);
    if (http && (http->statusCode() < 200 || http->statusCode() >= 300))
        return imageError(SDWebImageErrorInvalidDownloadResponse,
                          "Download marked as failed because of status code " + std::to_string(http->statusCode()));
    ImageProblem problem{};
    image = UIImage::imageWithData(data, 1, &problem, kLargestWebImagePixels);
    if (!image && problem == ImageProblem::TooLarge)
        return imageError(SDWebImageErrorBadImageData,
                          "Downloaded image is larger than " +
                              std::to_string(kLargestWebImagePixels >> 20) + " megapixels");
    if (!image) return imageError(SDWebImageErrorBadImageData, "Downloaded image has 0 pixels");
    return nullptr;
}

}  // namespace

void WebImageLoad::cancel() {
    if (std::exchange(ended_, true)) return;
    progress_ = nullptr;
    completed_ = nullptr;
    if (auto leave = std::exchange(leave_, nullptr)) leave();
}

void WebImageLoad::finish(const Ref<UIImage>& image, const NSData& data, const Ref<NSError>& error,
                          SDImageCacheType cacheType, const Ref<NSURL>& imageURL) {
    if (std::exchange(ended_, true)) return;
    leave_ = nullptr;
    progress_ = nullptr;
    if (auto completed = std::exchange(completed_, nullptr))
        completed(image, data, error, cacheType, true, imageURL);
}

struct SDWebImageManager::Download {
    Ref<NSURLSessionDataTask> task;
    // The loads waiting for it, in the order they came.
    std::vector<Ref<WebImageLoad>> loads;
};

Ref<SDWebImageManager> SDWebImageManager::sharedManager() {
    static const Ref<SDWebImageManager> shared = make<SDWebImageManager>();
    return shared;
}

void SDWebImageManager::didCreate() {
    NSObject::didCreate();
    imageCache_ = SDImageCache::sharedImageCache();
    auto configuration = NSURLSessionConfiguration::defaultSessionConfiguration();
    configuration->setHTTPMaximumConnectionsPerHost(kConnectionsPerHost);
    configuration->setLargestResponseBody(kLargestImageFileBytes);
    // Transfers and decodes run off the main queue (on the loading thread
    // and this queue); only the outcome comes back to it.
    session_ = NSURLSession::sessionWithConfiguration(configuration, DispatchQueue::serial("SDWebImageDownloader"));
}

Ref<WebImageLoad> SDWebImageManager::loadImageWithURL(const Ref<NSURL>& url, SDWebImageOptions,
                                                      SDWebImageDownloaderProgressBlock progress,
                                                      SDInternalCompletionBlock completed) {
    auto load = make<WebImageLoad>();
    load->progress_ = std::move(progress);
    load->completed_ = std::move(completed);
    if (!isNetworkAddress(url)) {
        auto error = imageError(SDWebImageErrorInvalidURL, "Image url is not a network address");
        DispatchQueue::main()->async([load, error, url] { load->finish(nullptr, NSData(), error, SDImageCacheType::None, url); });
        return load;
    }
    std::string key = url->absoluteString();
    if (auto image = imageCache_->imageFromMemoryCacheForKey(key)) {
        load->finish(image, NSData(), nullptr, SDImageCacheType::Memory, url);
        return load;
    }
    auto& download = downloads_[key];
    if (!download) download = startDownload(url, key);
    download->loads.push_back(load);
    load->leave_ = [weakSelf = weakSelf<SDWebImageManager>(), weakDownload = std::weak_ptr<Download>(download),
                    loadPointer = load.get(), key] {
        auto self = weakSelf.lock();
        auto download = weakDownload.lock();
        if (!self || !download) return;
        std::erase_if(download->loads, [loadPointer](const auto& load) { return load.get() == loadPointer; });
        if (!download->loads.empty()) return;
        // Nobody wants the image any more: the transfer ends and frees its connection.
        download->task->cancel();
        if (auto found = self->downloads_.find(key); found != self->downloads_.end() && found->second == download)
            self->downloads_.erase(found);
    };
    return load;
}

std::shared_ptr<SDWebImageManager::Download> SDWebImageManager::startDownload(const Ref<NSURL>& url,
                                                                              const std::string& key) {
    auto download = std::make_shared<Download>();
    // The task holds its completion, the download its task: the completion
    // holds the download weakly, and one cancelled meanwhile is let be. It
    // runs on the session's queue, which decodes; the main queue hears the outcome.
    download->task = session_->dataTaskWithURL(
        url, [weakSelf = weakSelf<SDWebImageManager>(), weakDownload = std::weak_ptr<Download>(download), key,
              url](const NSData& data, Ref<NSURLResponse> response, Ref<NSError> error) {
            const bool bodyReceived = !error;
            Ref<UIImage> image;
            error = pictureOfAnswer(data, response, std::move(error), image);
            DispatchQueue::main()->async([weakSelf, weakDownload, key, url, data, bodyReceived, image,
                                          error = std::move(error)] {
                auto self = weakSelf.lock();
                auto download = weakDownload.lock();
                if (self && download) self->downloadDidFinish(download, key, url, data, bodyReceived, image, error);
            });
        });
    download->task->resume();
    return download;
}

void SDWebImageManager::downloadDidFinish(const std::shared_ptr<Download>& download, const std::string& key,
                                          const Ref<NSURL>& url, const NSData& data, bool bodyReceived,
                                          Ref<UIImage> image, Ref<NSError> error) {
    auto found = downloads_.find(key);
    if (found == downloads_.end() || found->second != download) return;
    downloads_.erase(found);
    // A decoded picture that does not fit the cache's budget beside those still shown is let go.
    if (image && !imageCache_->admitImage(image)) {
        image = nullptr;
        error = imageError(SDWebImageErrorBadImageData, "Downloaded image does not fit the memory budget of images");
    }
    if (image) imageCache_->storeImage(image, key);
    // Taken out first: a completion may start or cancel loads, and a load
    // cancelled by an earlier one's completion hears nothing.
    const auto loads = std::move(download->loads);
    for (const auto& load : loads) {
        if (auto progress = load->progress_; progress && bodyReceived)
            progress(static_cast<long>(data.length()), static_cast<long>(data.length()), url);
        load->finish(image, data, error, SDImageCacheType::None, url);
    }
}
