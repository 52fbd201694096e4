#include "foundation/NSTimer.h"

#include <cmath>

#include "foundation/NSRunLoop.h"

namespace {
// The shortest interval a timer keeps, so a zero interval cannot spin the loop.
constexpr double minimumInterval = 0.0001;
}  // namespace

NSTimer::NSTimer(double interval, bool repeats, Action action, Ref<NSObject> target, Value userInfo)
    : interval_(std::max(interval, minimumInterval)),
      repeats_(repeats),
      action_(std::move(action)),
      target_(std::move(target)),
      userInfo_(std::move(userInfo)),
      due_(NSRunLoop::currentRunLoop()->now() + interval_) {}

Ref<NSTimer> NSTimer::timerWithTimeInterval(double interval, bool repeats, Action block) {
    return make<NSTimer>(interval, repeats, std::move(block), nullptr, Value());
}

Ref<NSTimer> NSTimer::scheduledTimerWithTimeInterval(double interval, bool repeats, Action block) {
    auto timer = timerWithTimeInterval(interval, repeats, std::move(block));
    NSRunLoop::currentRunLoop()->addTimer(timer, NSDefaultRunLoopMode);
    return timer;
}

Ref<NSTimer> NSTimer::timerWithTimeInterval(double interval, Ref<NSObject> target, Action selector, Value userInfo,
                                            bool repeats) {
    return make<NSTimer>(interval, repeats, std::move(selector), std::move(target), std::move(userInfo));
}

Ref<NSTimer> NSTimer::scheduledTimerWithTimeInterval(double interval, Ref<NSObject> target, Action selector,
                                                     Value userInfo, bool repeats) {
    auto timer = timerWithTimeInterval(interval, std::move(target), std::move(selector), std::move(userInfo), repeats);
    NSRunLoop::currentRunLoop()->addTimer(timer, NSDefaultRunLoopMode);
    return timer;
}

bool NSTimer::isValid() const {
    std::lock_guard lock(mutex_);
    return valid_;
}

Value NSTimer::userInfo() const {
    std::lock_guard lock(mutex_);
    return userInfo_;
}

NSDate NSTimer::fireDate() const {
    std::lock_guard lock(mutex_);
    auto loop = loop_.lock();
    double now = loop ? loop->now() : NSRunLoop::currentRunLoop()->now();
    return NSDate::date().dateByAddingTimeInterval(due_ - now);
}

void NSTimer::scheduleOn(const Ref<NSRunLoop>& loop, unsigned modes) {
    std::lock_guard lock(mutex_);
    if (!valid_) return;
    auto current = loop_.lock();
    if (current && current != loop) return;  // already on another loop
    if (current && token_) current->unschedule(token_);
    loop_ = loop;
    modes_ |= modes;
    scheduleLocked();
}

void NSTimer::scheduleLocked() {
    if (auto loop = loop_.lock())
        token_ = loop->schedule(due_, [timer = self<NSTimer>()] { timer->fireFromRunLoop(); }, modes_);
}

void NSTimer::fireFromRunLoop() {
    Action action;
    {
        std::lock_guard lock(mutex_);
        token_ = 0;
        if (!valid_) return;
        action = action_;
        if (repeats_) {
            auto loop = loop_.lock();
            double now = loop ? loop->now() : due_;
            double missed = std::floor((now - due_) / interval_);
            due_ += interval_ * (std::max(missed, 0.0) + 1);
            scheduleLocked();
        }
    }
    action(self<NSTimer>());
    if (!repeats_) invalidate();
}

void NSTimer::fire() {
    Action action;
    {
        std::lock_guard lock(mutex_);
        if (!valid_) return;
        action = action_;
    }
    // The action may invalidate the timer and let it go.
    Ref<NSTimer> me = self<NSTimer>();
    action(me);
    if (!repeats_) invalidate();
}

void NSTimer::invalidate() {
    Action action;
    Ref<NSObject> target;
    Value userInfo;
    Ref<NSRunLoop> loop;
    TimerQueue::Token token;
    {
        std::lock_guard lock(mutex_);
        if (!valid_) return;
        valid_ = false;
        action = std::move(action_);
        target = std::move(target_);
        userInfo = std::exchange(userInfo_, Value());
        loop = loop_.lock();
        token = std::exchange(token_, 0);
    }
    if (loop && token) loop->unschedule(token);
}
