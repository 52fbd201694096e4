#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The few worker threads behind the global queues and the serial queues.
// Work waits in one lane per priority; a free worker takes the oldest item of
// the highest non-empty lane. The workers are joined when the process exits
// (work still waiting then is dropped).
class DispatchThreadPool {
public:
    static constexpr std::size_t laneCount = 4;  // high, default, low, background
    static constexpr std::size_t workerCount = 4;

    static DispatchThreadPool& shared();

    void submit(std::size_t lane, std::function<void()> work);
    // Waits until no work waits or runs, for at most `timeoutSeconds`;
    // answers whether the pool went idle. Tests call it between tests, so
    // that work one test left under way (a completion on its way to the main
    // queue) is done before the next test starts.
    bool waitUntilIdle(double timeoutSeconds);

    DispatchThreadPool();
    ~DispatchThreadPool();
    DispatchThreadPool(const DispatchThreadPool&) = delete;
    DispatchThreadPool& operator=(const DispatchThreadPool&) = delete;

private:
    void work();

    std::mutex mutex_;
    std::condition_variable ready_;
    std::condition_variable idle_;
    std::size_t running_ = 0;  // items taken and not yet done
    std::array<std::deque<std::function<void()>>, laneCount> lanes_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};
