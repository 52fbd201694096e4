#pragma once

#include <cstdint>
#include <functional>

#include "foundation/NSObject.h"

class NSError;
class NSURL;
class UIImage;
class UIImageView;

// The Kingfisher-style front end of the web images (`imageView.kf`), over
// the same loader and memory cache as UIImageViewWebCache: a load through
// either front end for the same view replaces the other's.
namespace Kingfisher {

// Ways to load; none is needed by the callers so far.
struct KingfisherOptionsInfo {};

// Bytes received so far and the body's whole size (0 while unknown).
using DownloadProgressBlock = std::function<void(std::int64_t receivedSize, std::int64_t totalSize)>;

// The outcome of a load: the image, or the error.
struct RetrieveImageResult {
    Ref<UIImage> image;
    Ref<NSError> error;
    Ref<NSURL> url;
    bool succeeded() const { return image != nullptr; }
};
using CompletionHandler = std::function<void(const RetrieveImageResult& result)>;

class KingfisherWrapper {
public:
    explicit KingfisherWrapper(Ref<UIImageView> base) : base_(std::move(base)) {}

    // Shows the placeholder at once (none clears the image), then the loaded
    // image if the view still wants this address. The completion runs on
    // success and on failure alike (not for a load replaced by a later one).
    void setImage(const Ref<NSURL>& url, const Ref<UIImage>& placeholder = nullptr,
                  KingfisherOptionsInfo options = {}, DownloadProgressBlock progressBlock = nullptr,
                  CompletionHandler completionHandler = nullptr);

private:
    Ref<UIImageView> base_;
};

inline KingfisherWrapper kf(const Ref<UIImageView>& imageView) { return KingfisherWrapper(imageView); }

}  // namespace Kingfisher
