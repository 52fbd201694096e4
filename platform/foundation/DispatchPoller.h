#pragma once

#include <functional>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "foundation/TimerQueue.h"

// The one background thread that waits on every watched file descriptor
// (epoll) and on the real-time timers of background queues.
//
// A watch is one-shot: when the descriptor becomes ready in that direction
// (hang-ups and errors count as ready), its callback runs once on the poller
// thread and the watch ends; watch again for the next readiness. Callbacks
// and timer actions must be short: they hand work to a queue. The thread is
// joined when the process exits.
class DispatchPoller {
public:
    enum class Direction { Read, Write };

    static DispatchPoller& shared();

    TimerQueue::Token addTimer(double realDue, std::function<void()> action);
    void cancelTimer(TimerQueue::Token token);

    // False when the descriptor cannot be watched (closed, or a regular file).
    bool watch(int fd, Direction direction, std::function<void()> ready);
    // Ends a watch. Once it returns the poller holds nothing of the descriptor
    // in that direction, so after both directions are unwatched it may be
    // closed; a callback already taken may still be finishing.
    void unwatch(int fd, Direction direction);

    DispatchPoller();
    ~DispatchPoller();
    DispatchPoller(const DispatchPoller&) = delete;
    DispatchPoller& operator=(const DispatchPoller&) = delete;

private:
    struct Watch {
        std::function<void()> read, write;
    };
    void run();
    void wake();
    // Brings the kernel's interest set for `fd` in line with `watch`.
    bool updateInterest(int fd, const Watch& watch, bool wasRegistered);

    int epoll_ = -1;
    int wakeFd_ = -1;
    std::mutex mutex_;
    std::unordered_map<int, Watch> watches_;
    TimerQueue timers_;
    bool stopping_ = false;
    std::thread thread_;
};
