#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "foundation/NSData.h"
#include "foundation/NSObject.h"

class NSError;
class NSURL;
class NSURLResponse;
class NSURLSession;
class SDImageCache;
class UIImage;

// The error domain of image loads that fail for a reason of their own (the
// transport's failures keep the URL loading system's errors).
extern const char* const SDWebImageErrorDomain;
enum : long {
    SDWebImageErrorInvalidURL = 1000,
    SDWebImageErrorBadImageData = 1001,
    SDWebImageErrorInvalidDownloadResponse = 1002,
};

// Ways to load; none is needed by the callers so far.
enum SDWebImageOptions : std::uint32_t { SDWebImageDefaultOptions = 0 };

// Where the image came from.
enum class SDImageCacheType { None, Memory };

using SDWebImageDownloaderProgressBlock =
    std::function<void(long receivedSize, long expectedSize, const Ref<NSURL>& targetURL)>;
using SDInternalCompletionBlock =
    std::function<void(const Ref<UIImage>& image, const NSData& data, const Ref<NSError>& error,
                       SDImageCacheType cacheType, bool finished, const Ref<NSURL>& imageURL)>;

// One caller's load of an image. Cancelling it means its completion is
// never called (not even one already on its way to the main queue) and ends
// the download when no other load waits for the same address. A load that
// answered, or failed, ignores cancel(). Main thread only.
class WebImageLoad : public NSObject {
public:
    void cancel();

private:
    friend class SDWebImageManager;
    // Hands the outcome to the completion unless the load was cancelled.
    void finish(const Ref<UIImage>& image, const NSData& data, const Ref<NSError>& error, SDImageCacheType cacheType,
                const Ref<NSURL>& imageURL);

    bool ended_ = false;
    SDWebImageDownloaderProgressBlock progress_;
    SDInternalCompletionBlock completed_;
    // Takes the load off its download.
    std::function<void()> leave_;
};

// Loads images by address: from the memory cache when there, else over a
// URL session of its own, decoding PNG or JPEG and keeping the result in the
// cache. Answers with an image, or an error and no image (a null or
// non-network address, a status other than 2xx, data that is no image, a
// transport failure). What a server sends is bounded: a body of more than a
// picture file's bytes (kLargestImageFileBytes) is left unread, a picture of
// more than kLargestWebImagePixels (ImageLimits) is refused from its header, and a
// decoded picture that does not fit the cache's budget beside the others
// still shown is let go (SDImageCache::admitImage). A cached image answers at once; a load answers on the
// main queue, where the progress block also hears of the whole body as it
// arrives. Transfers and decodes never hold the main queue: they run on the
// loading thread and on the session's own serial queue. Loads of one address share one download, which goes on while
// any of them waits. The session opens at most kConnectionsPerHost
// connections to a host, apart from those of the app's requests: images,
// however slow, never hold up a screen's request. Main thread only.
class SDWebImageManager : public NSObject {
public:
    static constexpr long kConnectionsPerHost = 4;

    static Ref<SDWebImageManager> sharedManager();

    const Ref<SDImageCache>& imageCache() const { return imageCache_; }

    Ref<WebImageLoad> loadImageWithURL(const Ref<NSURL>& url, SDWebImageOptions options,
                                       SDWebImageDownloaderProgressBlock progress,
                                       SDInternalCompletionBlock completed);

protected:
    void didCreate() override;

private:
    struct Download;
    // Starts the download of the address under `key`.
    std::shared_ptr<Download> startDownload(const Ref<NSURL>& url, const std::string& key);
    // On the main queue, with what the session's queue made of the answer.
    void downloadDidFinish(const std::shared_ptr<Download>& download, const std::string& key, const Ref<NSURL>& url,
                           const NSData& data, bool bodyReceived, Ref<UIImage> image, Ref<NSError> error);

    Ref<SDImageCache> imageCache_;
    Ref<NSURLSession> session_;
    // The downloads under way, by address.
    std::unordered_map<std::string, std::shared_ptr<Download>> downloads_;
};
