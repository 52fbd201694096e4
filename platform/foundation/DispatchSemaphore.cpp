#include "foundation/DispatchSemaphore.h"

#include <algorithm>
#include <chrono>

void DispatchSemaphore::signal() {
    // Notified under the lock: a waiter that returns may destroy the semaphore.
    std::lock_guard lock(mutex_);
    ++value_;
    available_.notify_one();
}

void DispatchSemaphore::wait() {
    std::unique_lock lock(mutex_);
    available_.wait(lock, [&] { return value_ > 0; });
    --value_;
}

bool DispatchSemaphore::wait(double timeoutSeconds) {
    std::unique_lock lock(mutex_);
    auto timeout = std::chrono::duration<double>(std::max(timeoutSeconds, 0.0));
    if (!available_.wait_for(lock, timeout, [&] { return value_ > 0; })) return false;
    --value_;
    return true;
}
