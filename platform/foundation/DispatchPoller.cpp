#include "foundation/DispatchPoller.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <optional>
#include <vector>

#include "foundation/DispatchThreadPool.h"
#include "foundation/MonotonicClock.h"

DispatchPoller& DispatchPoller::shared() {
    // Timers and watches hand work to the pool, so the pool must be made
    // first and thus destroyed last.
    DispatchThreadPool::shared();
    static DispatchPoller poller;
    return poller;
}

DispatchPoller::DispatchPoller() : epoll_(epoll_create1(EPOLL_CLOEXEC)), wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = wakeFd_;
    epoll_ctl(epoll_, EPOLL_CTL_ADD, wakeFd_, &event);
    thread_ = std::thread([this] { run(); });
}

DispatchPoller::~DispatchPoller() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake();
    thread_.join();
    close(wakeFd_);
    close(epoll_);
}

void DispatchPoller::wake() {
    std::uint64_t one = 1;
    [[maybe_unused]] auto written = write(wakeFd_, &one, sizeof one);
}

TimerQueue::Token DispatchPoller::addTimer(double realDue, std::function<void()> action) {
    TimerQueue::Token token;
    {
        std::lock_guard lock(mutex_);
        token = timers_.add(realDue, std::move(action));
    }
    wake();
    return token;
}

void DispatchPoller::cancelTimer(TimerQueue::Token token) {
    std::optional<std::function<void()>> dropped;  // destroyed outside the lock
    std::lock_guard lock(mutex_);
    dropped = timers_.remove(token);
}

bool DispatchPoller::updateInterest(int fd, const Watch& watch, bool wasRegistered) {
    epoll_event event{};
    event.events = (watch.read ? unsigned(EPOLLIN | EPOLLRDHUP) : 0u) | (watch.write ? unsigned(EPOLLOUT) : 0u);
    event.data.fd = fd;
    if (!event.events) return !wasRegistered || epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr) == 0;
    if (wasRegistered && epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &event) == 0) return true;
    // A descriptor closed and opened again under the same number has left
    // the kernel's set: add it anew.
    return (!wasRegistered || errno == ENOENT) && epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event) == 0;
}

bool DispatchPoller::watch(int fd, Direction direction, std::function<void()> ready) {
    std::function<void()> replaced;  // destroyed outside the lock
    std::lock_guard lock(mutex_);
    auto [it, inserted] = watches_.try_emplace(fd);
    auto& slot = direction == Direction::Read ? it->second.read : it->second.write;
    replaced = std::exchange(slot, std::move(ready));
    if (updateInterest(fd, it->second, !inserted)) return true;
    std::swap(slot, replaced);
    if (inserted) watches_.erase(it);
    return false;
}

void DispatchPoller::unwatch(int fd, Direction direction) {
    std::function<void()> dropped;  // destroyed outside the lock
    std::lock_guard lock(mutex_);
    auto it = watches_.find(fd);
    if (it == watches_.end()) return;
    auto& slot = direction == Direction::Read ? it->second.read : it->second.write;
    if (!slot) return;
    dropped = std::exchange(slot, nullptr);
    updateInterest(fd, it->second, true);
    if (!it->second.read && !it->second.write) watches_.erase(it);
}

void DispatchPoller::run() {
    std::vector<epoll_event> events(64);
    std::vector<std::function<void()>> ready;
    for (;;) {
        int timeout = -1;
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
            if (auto due = timers_.nextDue()) {
                double wait = std::max(*due - MonotonicClock::realNow(), 0.0);
                timeout = static_cast<int>(std::min(std::ceil(wait * 1000), 3600000.0));
            }
        }
        int count = epoll_wait(epoll_, events.data(), static_cast<int>(events.size()), timeout);
        {
            std::lock_guard lock(mutex_);
            for (int i = 0; i < count; ++i) {
                int fd = events[i].data.fd;
                if (fd == wakeFd_) {
                    std::uint64_t value;
                    [[maybe_unused]] auto got = read(wakeFd_, &value, sizeof value);
                    continue;
                }
                auto it = watches_.find(fd);
                if (it == watches_.end()) continue;
                const auto flags = events[i].events;
                const bool failed = flags & (EPOLLHUP | EPOLLERR);
                if (it->second.read && (failed || (flags & (EPOLLIN | EPOLLRDHUP))))
                    ready.push_back(std::exchange(it->second.read, nullptr));
                if (it->second.write && (failed || (flags & EPOLLOUT)))
                    ready.push_back(std::exchange(it->second.write, nullptr));
                updateInterest(fd, it->second, true);
                if (!it->second.read && !it->second.write) watches_.erase(it);
            }
            const double now = MonotonicClock::realNow();
            while (auto action = timers_.takeDue(now)) ready.push_back(std::move(*action));
        }
        for (auto& callback : ready) callback();
        ready.clear();
    }
}
