#include "foundation/DispatchGroup.h"

#include <algorithm>
#include <chrono>

void DispatchGroup::enter() {
    std::lock_guard lock(mutex_);
    ++count_;
}

void DispatchGroup::leave() {
    decltype(notifications_) due;
    {
        std::lock_guard lock(mutex_);
        if (count_ == 0) return;  // unbalanced leave: ignored
        if (--count_ > 0) return;
        due.swap(notifications_);
        // Under the lock: a waiter that returns may destroy the group.
        empty_.notify_all();
    }
    for (auto& [queue, block] : due) queue->async(std::move(block));
}

void DispatchGroup::async(const Ref<DispatchQueue>& queue, std::function<void()> block) {
    enter();
    queue->async([group = self<DispatchGroup>(), block = std::move(block)] {
        block();
        group->leave();
    });
}

void DispatchGroup::notify(const Ref<DispatchQueue>& queue, std::function<void()> block) {
    {
        std::lock_guard lock(mutex_);
        if (count_ > 0) {
            notifications_.emplace_back(queue, std::move(block));
            return;
        }
    }
    queue->async(std::move(block));
}

void DispatchGroup::wait() {
    std::unique_lock lock(mutex_);
    empty_.wait(lock, [&] { return count_ == 0; });
}

bool DispatchGroup::wait(double timeoutSeconds) {
    std::unique_lock lock(mutex_);
    auto timeout = std::chrono::duration<double>(std::max(timeoutSeconds, 0.0));
    return empty_.wait_for(lock, timeout, [&] { return count_ == 0; });
}
