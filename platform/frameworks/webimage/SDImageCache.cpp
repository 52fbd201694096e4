#include "frameworks/webimage/SDImageCache.h"

#include "graphics/UIImage.h"

Ref<SDImageCache> SDImageCache::sharedImageCache() {
    static const Ref<SDImageCache> shared = make<SDImageCache>();
    return shared;
}

Ref<UIImage> SDImageCache::imageFromMemoryCacheForKey(const std::string& key) {
    auto found = index_.find(key);
    if (found == index_.end()) return nullptr;
    entries_.splice(entries_.begin(), entries_, found->second);
    return found->second->second;
}

void SDImageCache::storeImage(const Ref<UIImage>& image, const std::string& key) {
    if (!image) return;
    if (auto found = index_.find(key); found != index_.end()) {
        found->second->second = image;
        entries_.splice(entries_.begin(), entries_, found->second);
        return;
    }
    entries_.emplace_front(key, image);
    index_[key] = entries_.begin();
    trim();
}

void SDImageCache::clearMemory() {
    entries_.clear();
    index_.clear();
}

void SDImageCache::setCountLimit(std::size_t limit) {
    countLimit_ = limit;
    trim();
}

void SDImageCache::trim() {
    while (entries_.size() > countLimit_) {
        index_.erase(entries_.back().first);
        entries_.pop_back();
    }
}
