#include "frameworks/webimage/SDImageCache.h"

#include <algorithm>

#include "graphics/UIImage.h"

namespace {

// The bytes an image's pixels take.
std::size_t costOf(const UIImage& image) {
    const auto& bitmap = image.CGImage();
    return bitmap ? bitmap->width() * bitmap->height() * 4 : 0;
}

}  // namespace

Ref<SDImageCache> SDImageCache::sharedImageCache() {
    static const Ref<SDImageCache> shared = make<SDImageCache>();
    return shared;
}

Ref<UIImage> SDImageCache::imageFromMemoryCacheForKey(const std::string& key) {
    auto found = index_.find(key);
    if (found == index_.end()) return nullptr;
    entries_.splice(entries_.begin(), entries_, found->second);
    return found->second->image;
}

void SDImageCache::storeImage(const Ref<UIImage>& image, const std::string& key) {
    if (!image) return;
    remove(key);
    const std::size_t cost = costOf(*image);
    if (cost > costLimit_) return;
    entries_.push_front({key, image, cost});
    index_[key] = entries_.begin();
    totalCost_ += cost;
    trim();
}

void SDImageCache::clearMemory() {
    entries_.clear();
    index_.clear();
    totalCost_ = 0;
}

void SDImageCache::setCountLimit(std::size_t limit) {
    countLimit_ = limit;
    trim();
}

void SDImageCache::setTotalCostLimit(std::size_t limit) {
    costLimit_ = limit;
    trim();
}

void SDImageCache::remove(const std::string& key) {
    auto found = index_.find(key);
    if (found == index_.end()) return;
    totalCost_ -= found->second->cost;
    entries_.erase(found->second);
    index_.erase(found);
}

void SDImageCache::trim() {
    while (entries_.size() > countLimit_ || totalCost_ > costLimit_) remove(std::string(entries_.back().key));
}

bool SDImageCache::admitImage(const Ref<UIImage>& image) {
    if (!image || !image->CGImage()) return false;
    const std::size_t cost = costOf(*image);
    forgetReleased();
    while (heldCost_ + cost > costLimit_ && !entries_.empty()) {
        remove(std::string(entries_.back().key));
        forgetReleased();
    }
    if (heldCost_ + cost > costLimit_) return false;
    held_.push_back({image->CGImage(), cost});
    heldCost_ += cost;
    return true;
}

std::size_t SDImageCache::heldCost() {
    forgetReleased();
    return heldCost_;
}

void SDImageCache::forgetReleased() {
    std::erase_if(held_, [this](const Held& held) {
        if (!held.bitmap.expired()) return false;
        heldCost_ -= held.cost;
        return true;
    });
}
