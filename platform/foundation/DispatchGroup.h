#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "foundation/DispatchQueue.h"
#include "foundation/NSObject.h"

// Tracks a set of tasks: each `enter` is matched by one `leave`; when the
// count is back to zero the waiting threads wake and the notify blocks are
// submitted to their queues (once each).
class DispatchGroup : public NSObject {
public:
    void enter();
    void leave();
    // Runs `block` on `queue` as a task of the group.
    void async(const Ref<DispatchQueue>& queue, std::function<void()> block);
    // Submits `block` to `queue` once the group is empty (at once when it is now).
    void notify(const Ref<DispatchQueue>& queue, std::function<void()> block);
    void wait();
    // False when the group was not empty within `timeoutSeconds`.
    bool wait(double timeoutSeconds);

private:
    std::mutex mutex_;
    std::condition_variable empty_;
    long count_ = 0;
    std::vector<std::pair<Ref<DispatchQueue>, std::function<void()>>> notifications_;
};
