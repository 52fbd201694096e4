#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace backend {

// The few threads that read the request frames of every connection:
// decipher, inflate, parse and store them. However many clients send at
// once, no more frames than there are readers are being read, so what
// they hold together stays bounded; and the memory reading them takes
// stays with these threads (the allocator keeps what a thread frees for
// that thread) rather than piling up with one thread per connection.
class AnalyticsFrameReaders {
public:
    explicit AnalyticsFrameReaders(std::size_t threads);
    // Closes and waits for the work under way.
    ~AnalyticsFrameReaders();
    AnalyticsFrameReaders(const AnalyticsFrameReaders&) = delete;
    AnalyticsFrameReaders& operator=(const AnalyticsFrameReaders&) = delete;

    // Runs `work` on a reader, in turn with the work of others, and answers
    // true once it has run. False when no reader took it up before
    // `deadline` or the readers were closed first: it then never runs.
    // Work taken up is waited for to its end. `work` must not throw.
    bool run(const std::function<void()>& work, std::chrono::steady_clock::time_point deadline);
    // Ends the waits of work not taken up, now and later.
    void close();

private:
    struct Job;
    void read();

    std::mutex mutex_;
    std::condition_variable queued_;
    std::deque<std::shared_ptr<Job>> jobs_;
    bool closed_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace backend
