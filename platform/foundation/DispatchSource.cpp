#include "foundation/DispatchSource.h"

#include "foundation/DispatchDescriptorSource.h"
#include "foundation/DispatchTimerSource.h"

DispatchSource::DispatchSource(Ref<DispatchQueue> queue) : queue_(std::move(queue)) {}

Ref<DispatchTimerSource> DispatchSource::makeTimerSource(Ref<DispatchQueue> queue) {
    return make<DispatchTimerSource>(std::move(queue));
}

Ref<DispatchDescriptorSource> DispatchSource::makeReadSource(int fd, Ref<DispatchQueue> queue) {
    return make<DispatchDescriptorSource>(fd, DispatchPoller::Direction::Read, std::move(queue));
}

Ref<DispatchDescriptorSource> DispatchSource::makeWriteSource(int fd, Ref<DispatchQueue> queue) {
    return make<DispatchDescriptorSource>(fd, DispatchPoller::Direction::Write, std::move(queue));
}

void DispatchSource::setEventHandler(std::function<void()> handler) {
    std::lock_guard lock(mutex_);
    if (!cancelled_) eventHandler_ = std::move(handler);
}

void DispatchSource::setCancelHandler(std::function<void()> handler) {
    std::lock_guard lock(mutex_);
    if (!cancelScheduled_) cancelHandler_ = std::move(handler);
}

bool DispatchSource::isCancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

unsigned long DispatchSource::data() const {
    std::lock_guard lock(mutex_);
    return data_;
}

bool DispatchSource::whileLive(bool unlessSuspended, const std::function<void()>& action) {
    std::lock_guard lock(mutex_);
    if (cancelled_ || (unlessSuspended && suspendCount_ > 0)) return false;
    action();
    return true;
}

void DispatchSource::suspend() {
    std::lock_guard lock(mutex_);
    ++suspendCount_;
}

void DispatchSource::resume() {
    bool first = false, deliverEvent = false, scheduleCancel = false;
    {
        std::lock_guard lock(mutex_);
        if (suspendCount_ == 0 || --suspendCount_ > 0) return;  // an unbalanced resume is ignored
        if (cancelled_) {
            scheduleCancel = !std::exchange(cancelScheduled_, true);
        } else {
            first = !std::exchange(started_, true);
            deliverEvent = pending_ > 0 && !std::exchange(deliveryScheduled_, true);
        }
    }
    auto source = self<DispatchSource>();
    if (scheduleCancel) {
        queue_->async([source] { source->deliverCancel(); });
        return;
    }
    didResume(first);
    if (deliverEvent) queue_->async([source] { source->deliver(); });
}

void DispatchSource::cancel() {
    bool scheduleCancel;
    {
        std::lock_guard lock(mutex_);
        if (std::exchange(cancelled_, true)) return;
        scheduleCancel = suspendCount_ == 0 && !std::exchange(cancelScheduled_, true);
    }
    auto source = self<DispatchSource>();
    didCancel();
    if (scheduleCancel) queue_->async([source] { source->deliverCancel(); });
}

void DispatchSource::signal(unsigned long count) {
    {
        std::lock_guard lock(mutex_);
        if (cancelled_) return;
        pending_ += count;
        if (suspendCount_ > 0 || std::exchange(deliveryScheduled_, true)) return;
    }
    queue_->async([source = self<DispatchSource>()] { source->deliver(); });
}

void DispatchSource::deliver() {
    // The delivery stays scheduled while the handler runs, so that events
    // arriving meanwhile wait for it: a handler never runs twice at once,
    // even on a concurrent queue.
    std::function<void()> handler;
    unsigned long count;
    {
        std::lock_guard lock(mutex_);
        if (cancelled_ || suspendCount_ > 0 || pending_ == 0) {
            deliveryScheduled_ = false;
            return;
        }
        count = std::exchange(pending_, 0);
        handler = eventHandler_;
    }
    if (auto data = eventData(count)) {
        {
            std::lock_guard lock(mutex_);
            data_ = *data;
        }
        if (handler) handler();
    }
    didDeliver();
    bool again;
    {
        std::lock_guard lock(mutex_);
        again = !cancelled_ && suspendCount_ == 0 && pending_ > 0;
        deliveryScheduled_ = again;
    }
    if (again) queue_->async([source = self<DispatchSource>()] { source->deliver(); });
}

void DispatchSource::deliverCancel() {
    std::function<void()> handler, eventHandler;
    {
        std::lock_guard lock(mutex_);
        handler = std::move(cancelHandler_);
        eventHandler = std::move(eventHandler_);
        cancelHandler_ = nullptr;
        eventHandler_ = nullptr;
    }
    if (handler) handler();
}
