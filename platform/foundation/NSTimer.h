#pragma once

#include <functional>
#include <mutex>

#include "foundation/NSDate.h"
#include "foundation/NSObject.h"
#include "foundation/TimerQueue.h"
#include "foundation/Value.h"

class NSRunLoop;

// A timer that fires on a run loop, once or repeatedly, reading the loop's
// clock. The loop keeps a scheduled timer alive until it is invalidated
// (a one-shot timer invalidates itself after firing); invalidating also
// releases the action, the target and the user info. A repeating timer that
// falls behind skips the firings it missed, as the platform's does.
class NSTimer : public NSObject {
public:
    using Action = std::function<void(const Ref<NSTimer>&)>;

    // Use the factories below.
    NSTimer(double interval, bool repeats, Action action, Ref<NSObject> target, Value userInfo);

    // A timer not yet on a run loop (see NSRunLoop::addTimer).
    static Ref<NSTimer> timerWithTimeInterval(double interval, bool repeats, Action block);
    // A timer added to the current thread's run loop in the default mode.
    static Ref<NSTimer> scheduledTimerWithTimeInterval(double interval, bool repeats, Action block);
    // The target/selector forms: `selector` is called with the timer, and the
    // timer keeps `target` alive until it is invalidated.
    static Ref<NSTimer> timerWithTimeInterval(double interval, Ref<NSObject> target, Action selector, Value userInfo,
                                              bool repeats);
    static Ref<NSTimer> scheduledTimerWithTimeInterval(double interval, Ref<NSObject> target, Action selector,
                                                       Value userInfo, bool repeats);

    // Runs the action now; a one-shot timer is then invalidated, a repeating
    // one keeps its schedule. Nothing happens once invalid.
    void fire();
    void invalidate();
    bool isValid() const;
    Value userInfo() const;
    // The repeat interval; 0 for a one-shot timer.
    double timeInterval() const { return repeats_ ? interval_ : 0; }
    // When it fires next, as a wall-clock date.
    NSDate fireDate() const;

private:
    friend class NSRunLoop;
    void scheduleOn(const Ref<NSRunLoop>& loop, unsigned modes);
    void fireFromRunLoop();
    void scheduleLocked();

    const double interval_;
    const bool repeats_;
    mutable std::mutex mutex_;
    Action action_;
    Ref<NSObject> target_;
    Value userInfo_;
    bool valid_ = true;
    double due_;       // on the clock of the loop that creates or schedules it
    WeakRef<NSRunLoop> loop_;
    unsigned modes_ = 0;
    TimerQueue::Token token_ = 0;
};
