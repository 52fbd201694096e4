#pragma once

#include <cstddef>
#include <list>
#include <string>
#include <unordered_map>
#include <utility>

#include "foundation/NSObject.h"

class UIImage;

// The decoded images of recent loads, in memory, keyed by their address. It
// keeps the most recently used ones up to its count limit. Main thread only.
class SDImageCache : public NSObject {
public:
    static constexpr std::size_t kDefaultCountLimit = 100;

    static Ref<SDImageCache> sharedImageCache();

    Ref<UIImage> imageFromMemoryCacheForKey(const std::string& key);
    void storeImage(const Ref<UIImage>& image, const std::string& key);
    void clearMemory();

    std::size_t countLimit() const { return countLimit_; }
    // Drops the least recently used images beyond the new limit.
    void setCountLimit(std::size_t limit);

private:
    void trim();

    using Entry = std::pair<std::string, Ref<UIImage>>;
    // Most recently used first.
    std::list<Entry> entries_;
    std::unordered_map<std::string, std::list<Entry>::iterator> index_;
    std::size_t countLimit_ = kDefaultCountLimit;
};
