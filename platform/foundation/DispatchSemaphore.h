#pragma once

#include <condition_variable>
#include <mutex>

#include "foundation/NSObject.h"

// A counting semaphore: `wait` takes one unit, blocking while there is none;
// `signal` gives one back.
class DispatchSemaphore : public NSObject {
public:
    explicit DispatchSemaphore(long value = 0) : value_(value) {}

    void signal();
    void wait();
    // False when no unit came within `timeoutSeconds`.
    bool wait(double timeoutSeconds);

private:
    std::mutex mutex_;
    std::condition_variable available_;
    long value_;
};
