#include "backend/AnalyticsFrameReaders.h"

namespace backend {

struct AnalyticsFrameReaders::Job {
    enum class State { Waiting, Running, Done, Dropped };
    const std::function<void()>* work;
    State state = State::Waiting;
    std::condition_variable changed;
};

AnalyticsFrameReaders::AnalyticsFrameReaders(std::size_t threads) {
    for (std::size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { read(); });
}

AnalyticsFrameReaders::~AnalyticsFrameReaders() {
    close();
    for (auto& thread : threads_) thread.join();
}

void AnalyticsFrameReaders::close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    for (const auto& job : jobs_) {
        job->state = Job::State::Dropped;
        job->changed.notify_all();
    }
    jobs_.clear();
    queued_.notify_all();
}

bool AnalyticsFrameReaders::run(const std::function<void()>& work, std::chrono::steady_clock::time_point deadline) {
    auto job = std::make_shared<Job>();
    job->work = &work;
    std::unique_lock lock(mutex_);
    if (closed_) return false;
    jobs_.push_back(job);
    queued_.notify_one();
    const auto settled = [&] { return job->state == Job::State::Done || job->state == Job::State::Dropped; };
    if (!job->changed.wait_until(lock, deadline, settled) && job->state == Job::State::Waiting) {
        // Not taken up in time: it leaves the queue and never runs.
        std::erase(jobs_, job);
        return false;
    }
    job->changed.wait(lock, settled);
    return job->state == Job::State::Done;
}

void AnalyticsFrameReaders::read() {
    std::unique_lock lock(mutex_);
    for (;;) {
        queued_.wait(lock, [&] { return closed_ || !jobs_.empty(); });
        if (jobs_.empty()) return;
        std::shared_ptr<Job> job = std::move(jobs_.front());
        jobs_.pop_front();
        job->state = Job::State::Running;
        lock.unlock();
        (*job->work)();
        lock.lock();
        job->state = Job::State::Done;
        job->changed.notify_all();
    }
}

}  // namespace backend
