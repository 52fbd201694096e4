#include "foundation/DispatchThreadPool.h"

#include <algorithm>
#include <chrono>

DispatchThreadPool& DispatchThreadPool::shared() {
    static DispatchThreadPool pool;
    return pool;
}

DispatchThreadPool::DispatchThreadPool() {
    for (std::size_t i = 0; i < workerCount; ++i) workers_.emplace_back([this] { work(); });
}

DispatchThreadPool::~DispatchThreadPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    ready_.notify_all();
    for (auto& worker : workers_) worker.join();
}

void DispatchThreadPool::submit(std::size_t lane, std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        lanes_[std::min(lane, laneCount - 1)].push_back(std::move(work));
    }
    ready_.notify_one();
}

bool DispatchThreadPool::waitUntilIdle(double timeoutSeconds) {
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, std::chrono::duration<double>(timeoutSeconds), [&] {
        return running_ == 0 && std::all_of(lanes_.begin(), lanes_.end(), [](const auto& l) { return l.empty(); });
    });
}

void DispatchThreadPool::work() {
    for (;;) {
        std::function<void()> item;
        {
            std::unique_lock lock(mutex_);
            auto lane = lanes_.end();
            ready_.wait(lock, [&] {
                lane = std::find_if(lanes_.begin(), lanes_.end(), [](const auto& l) { return !l.empty(); });
                return stopping_ || lane != lanes_.end();
            });
            if (stopping_) return;
            item = std::move(lane->front());
            lane->pop_front();
            ++running_;
        }
        item();
        item = nullptr;  // what the work held goes before the pool counts it done
        {
            std::lock_guard lock(mutex_);
            --running_;
        }
        idle_.notify_all();
    }
}
