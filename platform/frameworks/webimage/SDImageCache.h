#pragma once

#include <cstddef>
#include <list>
#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/NSObject.h"

class CGImage;
class UIImage;

// The decoded images of recent loads, in memory, keyed by their address. It
// keeps the most recently used ones up to its count limit and its byte
// budget (the pixels' bytes, 4 a pixel: a small file can hold a picture of
// hundreds of megabytes); an image larger than the whole budget is not kept.
// The budget is also that of every image the loader decodes, wherever it is
// held (admitImage): images kept here and images that views show count
// against one budget. Main thread only.
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

    // Counts a newly decoded image against the budget for as long as
    // anything (this cache, an image view, a button) holds its bitmap. When
    // it does not fit beside the images still held, the least recently used
    // kept images are dropped until it does; false when it does not fit even
    // then, and the image is to be let go.
    bool admitImage(const Ref<UIImage>& image);
    // The bytes of the admitted images still held.
    std::size_t heldCost();

private:
    void remove(const std::string& key);
    void trim();
    // Stops counting the admitted images nothing holds any more.
    void forgetReleased();

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

    struct Held {
        WeakRef<CGImage> bitmap;
        std::size_t cost;
    };
    std::vector<Held> held_;
    std::size_t heldCost_ = 0;
};
