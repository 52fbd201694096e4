#pragma once

#include <cstddef>
#include <list>
#include <string>
#include <unordered_map>

#include "foundation/NSObject.h"

class UIImage;

// The decoded images of recent loads, in memory, keyed by their address. It
// keeps the most recently used ones up to its count limit and its byte
// budget (the pixels' bytes, 4 a pixel: a small file can hold a picture of
// hundreds of megabytes); an image larger than the whole budget is not kept.
// Main thread only.
class SDImageCache : public NSObject {
public:
    static constexpr std::size_t kDefaultCountLimit = 100;
    static constexpr std::size_t kDefaultCostLimit = 128u << 20;

    static Ref<SDImageCache> sharedImageCache();

    Ref<UIImage> imageFromMemoryCacheForKey(const std::string& key);
    void storeImage(const Ref<UIImage>& image, const std::string& key);
    void clearMemory();

    std::size_t countLimit() const { return countLimit_; }
    // Drops the least recently used images beyond the new limit.
    void setCountLimit(std::size_t limit);
    // The byte budget, and the bytes the images kept take.
    std::size_t totalCostLimit() const { return costLimit_; }
    std::size_t totalCost() const { return totalCost_; }
    // Drops the least recently used images until the rest fit the budget.
    void setTotalCostLimit(std::size_t limit);

private:
    void remove(const std::string& key);
    void trim();

    struct Entry {
        std::string key;
        Ref<UIImage> image;
        std::size_t cost;
    };
    // Most recently used first.
    std::list<Entry> entries_;
    std::unordered_map<std::string, std::list<Entry>::iterator> index_;
    std::size_t countLimit_ = kDefaultCountLimit;
    std::size_t costLimit_ = kDefaultCostLimit;
    std::size_t totalCost_ = 0;
};
