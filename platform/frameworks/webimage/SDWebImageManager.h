#pragma once

#include <cstdint>
#include <functional>

#include "foundation/NSData.h"
#include "foundation/NSObject.h"

class NSError;
class NSURL;
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

// Loads images by address: from the memory cache when there, else over the
// shared URL session, decoding PNG or JPEG and keeping the result in the
// cache. Answers with an image, or an error and no image (a null or
// non-network address, a status other than 2xx, data that is no image, a
// transport failure). A cached image answers at once; a load answers on the
// main queue, where the progress block also hears of the whole body as it
// arrives.
class SDWebImageManager : public NSObject {
public:
    static Ref<SDWebImageManager> sharedManager();

    const Ref<SDImageCache>& imageCache() const { return imageCache_; }

    void loadImageWithURL(const Ref<NSURL>& url, SDWebImageOptions options,
                          SDWebImageDownloaderProgressBlock progress, SDInternalCompletionBlock completed);

protected:
    void didCreate() override;

private:
    Ref<SDImageCache> imageCache_;
};
