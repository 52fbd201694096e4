#include "foundation/NSRunLoop.h"

#include <algorithm>
#include <chrono>

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

std::chrono::steady_clock::time_point steadyTime(double seconds) {
    using namespace std::chrono;
    return steady_clock::time_point(duration_cast<steady_clock::duration>(duration<double>(seconds)));
}
}  // namespace

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
    ++generation_;
    wake_.notify_all();
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

void NSRunLoop::addTimer(const Ref<NSTimer>& timer, NSRunLoopMode mode) {
    if (timer) timer->scheduleOn(self<NSRunLoop>(), modeMask(mode));
}

bool NSRunLoop::runTurn(unsigned modes) {
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
    // Only the blocks present now; taken one at a time so that a nested run of
    // the loop inside a block keeps the posting order.
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

bool NSRunLoop::runWaiting(unsigned modes, double realDeadline) {
    std::uint64_t seen;
    {
        std::lock_guard lock(mutex_);
        seen = generation_;  // read before the turn, so work posted during it is not missed
    }
    if (runTurn(modes)) return true;
    {
        std::unique_lock lock(mutex_);
        double deadline = realDeadline;
        if (!(usesMainClock_ && MonotonicClock::isManual())) {
            if (auto due = timers_.nextDue(modes)) deadline = std::min(deadline, *due);
        }
        wake_.wait_until(lock, steadyTime(deadline), [&] { return generation_ != seen; });
    }
    return runTurn(modes);
}

bool NSRunLoop::runMode(NSRunLoopMode mode, const NSDate& limitDate) {
    double limit = std::clamp(limitDate.timeIntervalSinceNow(), 0.0, 1e9);
    return runWaiting(modeMask(mode), MonotonicClock::realNow() + limit);
}

bool NSRunLoop::runOnce() { return runTurn(defaultModeBit); }

bool NSRunLoop::runUntil(const std::function<bool()>& predicate, double timeoutSeconds) {
    const double deadline = MonotonicClock::realNow() + std::clamp(timeoutSeconds, 0.0, 1e9);
    for (;;) {
        if (predicate()) return true;
        if (MonotonicClock::realNow() >= deadline) return false;
        runWaiting(defaultModeBit, std::min(deadline, MonotonicClock::realNow() + predicatePollInterval));
    }
}

void NSRunLoop::runUntilIdle() {
    for (int turn = 0; turn < idleTurnLimit && runTurn(defaultModeBit); ++turn) {
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
    std::deque<std::function<void()>> posted;
    TimerQueue timers;
    std::lock_guard lock(mutex_);
    std::swap(posted, posted_);
    std::swap(timers, timers_);
}
