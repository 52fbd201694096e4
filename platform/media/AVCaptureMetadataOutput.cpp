#include "media/AVCaptureMetadataOutput.h"

#include <algorithm>

std::vector<AVMetadataObjectType> AVCaptureMetadataOutput::availableMetadataObjectTypes() const {
    if (!connectionWithMediaType(AVMediaTypeVideo)) return {};
    return {AVMetadataObjectTypeQRCode, AVMetadataObjectTypeEAN13Code, AVMetadataObjectTypeCode128Code,
            AVMetadataObjectTypeFace};
}

std::vector<AVMetadataObjectType> AVCaptureMetadataOutput::metadataObjectTypes() const {
    std::lock_guard lock(mutex_);
    return types_;
}

void AVCaptureMetadataOutput::setMetadataObjectTypes(const std::vector<AVMetadataObjectType>& types) {
    auto available = availableMetadataObjectTypes();
    std::vector<AVMetadataObjectType> kept;
    for (const auto& type : types)
        if (std::find(available.begin(), available.end(), type) != available.end()) kept.push_back(type);
    std::lock_guard lock(mutex_);
    types_ = std::move(kept);
}

CGRect AVCaptureMetadataOutput::rectOfInterest() const {
    std::lock_guard lock(mutex_);
    return rectOfInterest_;
}

void AVCaptureMetadataOutput::setRectOfInterest(CGRect rect) {
    std::lock_guard lock(mutex_);
    rectOfInterest_ = rect;
}

void AVCaptureMetadataOutput::setMetadataObjectsDelegate(const Ref<AVCaptureMetadataOutputObjectsDelegate>& delegate,
                                                         const Ref<DispatchQueue>& queue) {
    if (delegate && !queue) return;
    std::lock_guard lock(mutex_);
    delegate_ = delegate;
    queue_ = delegate ? queue : nullptr;
}

Ref<AVCaptureMetadataOutputObjectsDelegate> AVCaptureMetadataOutput::metadataObjectsDelegate() const {
    std::lock_guard lock(mutex_);
    return delegate_.lock();
}

Ref<DispatchQueue> AVCaptureMetadataOutput::metadataObjectsCallbackQueue() const {
    std::lock_guard lock(mutex_);
    return queue_;
}

void AVCaptureMetadataOutput::captureMetadataObjects(const std::vector<Ref<AVMetadataObject>>& objects) {
    auto connection = connectionWithMediaType(AVMediaTypeVideo);
    std::vector<Ref<AVMetadataObject>> reported;
    WeakRef<AVCaptureMetadataOutputObjectsDelegate> delegate;
    Ref<DispatchQueue> queue;
    {
        std::lock_guard lock(mutex_);
        for (const auto& object : objects) {
            bool wanted = std::find(types_.begin(), types_.end(), object->type()) != types_.end();
            if (wanted && CGRectContainsRect(rectOfInterest_, object->bounds())) reported.push_back(object);
        }
        delegate = delegate_;
        queue = queue_;
    }
    if (reported.empty() || !queue || !connection) return;
    queue->async([delegate, output = self<AVCaptureOutput>(), reported, connection] {
        if (auto receiver = delegate.lock()) receiver->captureOutput(output, reported, connection);
    });
}
