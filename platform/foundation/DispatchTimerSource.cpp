#include "foundation/DispatchTimerSource.h"

#include <algorithm>
#include <cmath>

#include "foundation/DispatchPoller.h"
#include "foundation/MonotonicClock.h"
#include "foundation/NSRunLoop.h"

double DispatchTimerSource::clockNow() const { return onMainClock_ ? MonotonicClock::now() : MonotonicClock::realNow(); }

void DispatchTimerSource::schedule(double deadline, double interval, double /*leeway*/) {
    whileLive(false, [&] {
        disarmLocked();
        onMainClock_ = queue_->kind() == DispatchQueue::Kind::Main ||
                       (queue_->kind() == DispatchQueue::Kind::Global && MonotonicClock::isManual());
        scheduled_ = true;
        due_ = clockNow() + std::max(deadline, 0.0);
        interval_ = std::max(interval, 0.0);
        if (resumed_) armLocked();
    });
}

void DispatchTimerSource::didResume(bool first) {
    if (!first) return;
    whileLive(false, [&] {
        resumed_ = true;
        if (scheduled_) armLocked();
    });
}

void DispatchTimerSource::didCancel() {
    // The source is cancelled now, so nothing arms it again.
    TimerQueue::Token token = std::exchange(token_, 0);
    if (!token) return;
    if (onMainClock_)
        NSRunLoop::mainRunLoop()->unschedule(token);
    else
        DispatchPoller::shared().cancelTimer(token);
}

void DispatchTimerSource::armLocked() {
    auto action = [source = self<DispatchTimerSource>()] { source->fired(); };
    if (onMainClock_)
        token_ = NSRunLoop::mainRunLoop()->schedule(due_, action, NSRunLoop::modeMask(NSRunLoopCommonModes));
    else
        token_ = DispatchPoller::shared().addTimer(due_, action);
}

void DispatchTimerSource::disarmLocked() {
    if (!token_) return;
    if (onMainClock_)
        NSRunLoop::mainRunLoop()->unschedule(std::exchange(token_, 0));
    else
        DispatchPoller::shared().cancelTimer(std::exchange(token_, 0));
}

void DispatchTimerSource::fired() {
    unsigned long count = 0;
    whileLive(false, [&] {
        token_ = 0;
        count = 1;
        if (interval_ <= 0) return;
        const double behind = clockNow() - due_;
        if (behind > 0) count += static_cast<unsigned long>(std::floor(behind / interval_));
        due_ += interval_ * count;
        armLocked();
    });
    if (count) signal(count);
}
