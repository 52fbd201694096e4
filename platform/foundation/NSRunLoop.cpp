#include "foundation/NSRunLoop.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <ctime>

#include "foundation/MonotonicClock.h"
#include "foundation/NSThread.h"
#include "foundation/NSTimer.h"

namespace {
constexpr unsigned defaultModeBit = 1, trackingModeBit = 2, privateModeBit = 4;
constexpr unsigned commonModes = defaultModeBit | trackingModeBit;
// A loop that keeps posting to itself must not make advanceManualClock spin forever.
constexpr int idleTurnLimit = 10000;
// runUntil looks at its predicate at least this often, for predicates that
// other threads make true without posting to the loop.
constexpr double predicatePollInterval = 0.01;
// Manual time moves in decimal steps (0.3, then 0.05) whose binary sums can
// fall a hair short of a timer set for their total (0.35) once the clock
// stands at thousands of seconds. Timers due within this much past the
// target count as due, so the outcome of a step never depends on where the
// clock started.
constexpr double manualStepTolerance = 1e-6;

constexpr int readyBatch = 64;

unsigned epollEventsFor(unsigned events) {
    return ((events & NSRunLoop::DescriptorReadable) ? unsigned(EPOLLIN | EPOLLRDHUP) : 0u) |
           ((events & NSRunLoop::DescriptorWritable) ? unsigned(EPOLLOUT) : 0u);
}

unsigned descriptorEventsFor(unsigned epollEvents) {
    if (epollEvents & (EPOLLHUP | EPOLLERR)) return NSRunLoop::DescriptorReadable | NSRunLoop::DescriptorWritable;
    return ((epollEvents & (EPOLLIN | EPOLLRDHUP)) ? NSRunLoop::DescriptorReadable : 0u) |
           ((epollEvents & EPOLLOUT) ? NSRunLoop::DescriptorWritable : 0u);
}

int waitInEpoll(int epoll, epoll_event* events, double seconds) {
    if (seconds <= 0) return epoll_wait(epoll, events, readyBatch, 0);
    seconds = std::min(seconds, 3600.0);
    timespec timeout{static_cast<time_t>(seconds), static_cast<long>((seconds - std::floor(seconds)) * 1e9)};
    static std::atomic<bool> precise{true};  // epoll_pwait2 needs Linux 5.11; loops of any thread ask
    if (precise.load(std::memory_order_relaxed)) {
        int count = epoll_pwait2(epoll, events, readyBatch, &timeout, nullptr);
        if (count >= 0 || errno != ENOSYS) return count;
        precise.store(false, std::memory_order_relaxed);
    }
    return epoll_wait(epoll, events, readyBatch, static_cast<int>(std::ceil(seconds * 1000)));
}
}  // namespace

NSRunLoop::NSRunLoop(bool usesMainClock)
    : usesMainClock_(usesMainClock),
      epoll_(epoll_create1(EPOLL_CLOEXEC)),
      wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = wakeFd_;
    epoll_ctl(epoll_, EPOLL_CTL_ADD, wakeFd_, &event);
}

NSRunLoop::~NSRunLoop() {
    close(wakeFd_);
    close(epoll_);
}

Ref<NSRunLoop> NSRunLoop::mainRunLoop() {
    // Never destroyed: blocks and timers may still reach it while the process exits.
    static const auto* loop = new Ref<NSRunLoop>(make<NSRunLoop>(true));
    return *loop;
}

Ref<NSRunLoop> NSRunLoop::currentRunLoop() {
    if (NSThread::isMainThread()) return mainRunLoop();
    thread_local Ref<NSRunLoop> loop = make<NSRunLoop>(false);
    return loop;
}

unsigned NSRunLoop::modeMask(NSRunLoopMode mode) {
    if (mode == NSDefaultRunLoopMode) return defaultModeBit;
    if (mode == UITrackingRunLoopMode) return trackingModeBit;
    if (mode == NSRunLoopCommonModes) return commonModes;
    return privateModeBit;
}

double NSRunLoop::now() const { return usesMainClock_ ? MonotonicClock::now() : MonotonicClock::realNow(); }

void NSRunLoop::wakeLocked() {
    // Only a loop asleep in epoll needs the eventfd: a running one looks at
    // its queues before it waits again.
    if (!waiting_ || std::exchange(signalled_, true)) return;
    std::uint64_t one = 1;
    [[maybe_unused]] auto written = write(wakeFd_, &one, sizeof one);
}

void NSRunLoop::performBlock(std::function<void()> block) {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(block));
    wakeLocked();
}

TimerQueue::Token NSRunLoop::schedule(double due, std::function<void()> action, unsigned modes) {
    std::lock_guard lock(mutex_);
    auto token = timers_.add(due, std::move(action), modes);
    wakeLocked();
    return token;
}

bool NSRunLoop::unschedule(TimerQueue::Token token) {
    std::optional<std::function<void()>> dropped;  // destroyed outside the lock
    std::lock_guard lock(mutex_);
    dropped = timers_.remove(token);
    return dropped.has_value();
}

TimerQueue::Token NSRunLoop::scheduleRealTime(double realDue, std::function<void()> action) {
    std::lock_guard lock(mutex_);
    auto token = realTimers_.add(realDue, std::move(action));
    wakeLocked();
    return token;
}

bool NSRunLoop::unscheduleRealTime(TimerQueue::Token token) {
    std::optional<std::function<void()>> dropped;  // destroyed outside the lock
    std::lock_guard lock(mutex_);
    dropped = realTimers_.remove(token);
    return dropped.has_value();
}

void NSRunLoop::addTimer(const Ref<NSTimer>& timer, NSRunLoopMode mode) {
    if (timer) timer->scheduleOn(self<NSRunLoop>(), modeMask(mode));
}

void NSRunLoop::updateInterestLocked(int fd) {
    unsigned wanted = 0;
    if (auto found = watchesOfFd_.find(fd); found != watchesOfFd_.end()) {
        for (WatchToken token : found->second) {
            const Watch& watch = watches_.at(token);
            if (!watch.parked) wanted |= watch.events;
        }
    }
    const unsigned events = epollEventsFor(wanted);
    auto registered = interest_.find(fd);
    if (registered != interest_.end() && registered->second == events) return;
    epoll_event event{};
    event.events = events;
    event.data.fd = fd;
    if (registered == interest_.end()) {
        if (events && epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event) == 0) interest_.emplace(fd, events);
        return;
    }
    if (!events) {
        epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
        interest_.erase(registered);
        return;
    }
    // A descriptor closed and opened again under the same number has left
    // the kernel's set: add it anew.
    if (epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &event) != 0 && errno == ENOENT) epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event);
    registered->second = events;
}

NSRunLoop::WatchToken NSRunLoop::watchDescriptor(int fd, unsigned events, DescriptorHandler handler) {
    std::lock_guard lock(mutex_);
    if (fd < 0 || fd == wakeFd_ || fd == epoll_) return 0;
    const WatchToken token = ++lastWatch_;
    watches_.emplace(token, Watch{fd, events, std::make_shared<DescriptorHandler>(std::move(handler))});
    watchesOfFd_[fd].push_back(token);
    const bool known = interest_.contains(fd);
    updateInterestLocked(fd);
    if (!known && events && !interest_.contains(fd)) {  // epoll refused it (a regular file, a closed descriptor)
        watches_.erase(token);
        auto& tokens = watchesOfFd_[fd];
        tokens.pop_back();
        if (tokens.empty()) watchesOfFd_.erase(fd);
        return 0;
    }
    return token;
}

bool NSRunLoop::setWatchedEvents(WatchToken token, unsigned events) {
    std::lock_guard lock(mutex_);
    auto found = watches_.find(token);
    if (found == watches_.end()) return false;
    found->second.events = events;
    updateInterestLocked(found->second.fd);
    return true;
}

void NSRunLoop::unwatchDescriptor(WatchToken token) {
    std::shared_ptr<DescriptorHandler> dropped;  // destroyed outside the lock
    std::lock_guard lock(mutex_);
    auto found = watches_.find(token);
    if (found == watches_.end()) return;
    const int fd = found->second.fd;
    dropped = std::move(found->second.handler);
    watches_.erase(found);
    auto& tokens = watchesOfFd_[fd];
    std::erase(tokens, token);
    if (tokens.empty()) watchesOfFd_.erase(fd);
    updateInterestLocked(fd);
}

std::vector<NSRunLoop::ReadyDescriptor> NSRunLoop::poll(double waitSeconds) {
    epoll_event events[readyBatch];
    const int count = waitInEpoll(epoll_, events, waitSeconds);
    std::vector<ReadyDescriptor> ready;
    bool woken = false;
    for (int i = 0; i < count; ++i) {
        if (events[i].data.fd == wakeFd_) {
            woken = true;
            continue;
        }
        ready.push_back({events[i].data.fd, descriptorEventsFor(events[i].events)});
    }
    if (woken) {
        std::uint64_t value;
        [[maybe_unused]] auto got = read(wakeFd_, &value, sizeof value);
    }
    std::lock_guard lock(mutex_);
    waiting_ = false;
    if (woken) signalled_ = false;
    return ready;
}

bool NSRunLoop::dispatchDescriptors(const std::vector<ReadyDescriptor>& ready) {
    bool handled = false;
    for (const auto& [fd, events] : ready) {
        std::vector<WatchToken> tokens;
        {
            std::lock_guard lock(mutex_);
            auto found = watchesOfFd_.find(fd);
            if (found != watchesOfFd_.end()) tokens = found->second;
        }
        for (WatchToken token : tokens) {
            std::shared_ptr<DescriptorHandler> handler;
            unsigned seen = 0;
            {
                std::lock_guard lock(mutex_);
                auto found = watches_.find(token);
                if (found == watches_.end() || !(seen = found->second.events & events)) continue;
                Watch& watch = found->second;
                if (watch.running) {
                    // A nested run inside this handler: keep the descriptor out
                    // of the wait until the handler returns, so the nested run
                    // does not spin on it.
                    watch.parked = true;
                    updateInterestLocked(fd);
                    continue;
                }
                watch.running = true;
                handler = watch.handler;
            }
            (*handler)(seen);
            handled = true;
            std::lock_guard lock(mutex_);
            auto found = watches_.find(token);
            if (found == watches_.end()) continue;
            found->second.running = false;
            if (std::exchange(found->second.parked, false)) updateInterestLocked(fd);
        }
    }
    return handled;
}

bool NSRunLoop::fireTimers(unsigned modes) {
    bool handled = false;
    const double time = now();
    for (;;) {
        std::function<void()> action;
        {
            std::lock_guard lock(mutex_);
            auto due = timers_.takeDue(time, modes);
            if (!due) break;
            action = std::move(*due);
        }
        action();
        handled = true;
    }
    if (!(modes & commonModes)) return handled;
    const double realTime = MonotonicClock::realNow();
    for (;;) {
        std::function<void()> action;
        {
            std::lock_guard lock(mutex_);
            auto due = realTimers_.takeDue(realTime);
            if (!due) break;
            action = std::move(*due);
        }
        action();
        handled = true;
    }
    return handled;
}

bool NSRunLoop::runPosted() {
    // Only the blocks present now; taken one at a time so that a nested run of
    // the loop inside a block keeps the posting order.
    bool handled = false;
    std::size_t count;
    {
        std::lock_guard lock(mutex_);
        count = posted_.size();
    }
    for (; count > 0; --count) {
        std::function<void()> block;
        {
            std::lock_guard lock(mutex_);
            if (posted_.empty()) break;
            block = std::move(posted_.front());
            posted_.pop_front();
        }
        block();
        handled = true;
    }
    return handled;
}

double NSRunLoop::waitLocked(unsigned modes, double realDeadline, double realNow) const {
    const bool common = modes & commonModes;
    if (common && !posted_.empty()) return 0;
    double deadline = realDeadline;
    if (common) {
        if (auto due = realTimers_.nextDue()) deadline = std::min(deadline, *due);
    }
    if (auto due = timers_.nextDue(modes)) {
        if (usesMainClock_ && MonotonicClock::isManual()) {
            if (*due <= MonotonicClock::now()) return 0;  // due already: only the clock moving on waits
        } else {
            deadline = std::min(deadline, *due);
        }
    }
    return std::max(deadline - realNow, 0.0);
}

bool NSRunLoop::runTurn(unsigned modes, double realDeadline) {
    double wait;
    {
        std::lock_guard lock(mutex_);
        wait = waitLocked(modes, realDeadline, MonotonicClock::realNow());
        waiting_ = wait > 0;
    }
    const auto ready = poll(wait);
    bool handled = false;
    if (modes & commonModes) handled = dispatchDescriptors(ready);
    handled = fireTimers(modes) || handled;
    if (modes & commonModes) handled = runPosted() || handled;
    return handled;
}

bool NSRunLoop::runWaiting(unsigned modes, double realDeadline) {
    if (runTurn(modes, 0)) return true;
    return runTurn(modes, realDeadline);
}

bool NSRunLoop::runMode(NSRunLoopMode mode, const NSDate& limitDate) {
    double limit = std::clamp(limitDate.timeIntervalSinceNow(), 0.0, 1e9);
    return runWaiting(modeMask(mode), MonotonicClock::realNow() + limit);
}

bool NSRunLoop::runOnce() { return runTurn(defaultModeBit, 0); }

bool NSRunLoop::runUntil(const std::function<bool()>& predicate, double timeoutSeconds) {
    const double deadline = MonotonicClock::realNow() + std::clamp(timeoutSeconds, 0.0, 1e9);
    for (;;) {
        if (predicate()) return true;
        if (MonotonicClock::realNow() >= deadline) return false;
        runWaiting(defaultModeBit, std::min(deadline, MonotonicClock::realNow() + predicatePollInterval));
    }
}

void NSRunLoop::runUntilIdle() {
    for (int turn = 0; turn < idleTurnLimit && runTurn(defaultModeBit, 0); ++turn) {
    }
}

void NSRunLoop::advanceManualClock(double seconds) {
    if (!(usesMainClock_ && MonotonicClock::isManual())) {
        runUntilIdle();
        return;
    }
    const double target = MonotonicClock::now() + std::max(seconds, 0.0);
    for (;;) {
        runUntilIdle();
        std::optional<double> next;
        {
            std::lock_guard lock(mutex_);
            next = timers_.nextDue(defaultModeBit);
        }
        if (!next || *next > target + manualStepTolerance) break;
        MonotonicClock::setManualTime(*next);
    }
    MonotonicClock::setManualTime(target);
    runUntilIdle();
}

void NSRunLoop::discardPendingWork() {
    // Destroyed outside the lock. The timer queue keeps counting its tokens,
    // so a token of a dropped action held somewhere (a delayed perform's)
    // never names a later one.
    std::deque<std::function<void()>> posted;
    std::vector<std::function<void()>> timed;
    std::lock_guard lock(mutex_);
    std::swap(posted, posted_);
    timed = timers_.takeAll();
}
