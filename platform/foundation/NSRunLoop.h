#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string_view>

#include "foundation/NSDate.h"
#include "foundation/NSObject.h"
#include "foundation/TimerQueue.h"

class NSTimer;

// A run loop mode names the set of timers a turn of the loop may fire.
// Common modes stand for both the default mode and the tracking mode (the
// one a scroll view runs while the finger is down). Any other name is a
// private mode: timers added for it fire only while the loop runs in it.
using NSRunLoopMode = std::string_view;
inline constexpr NSRunLoopMode NSDefaultRunLoopMode = "kCFRunLoopDefaultMode";
inline constexpr NSRunLoopMode NSRunLoopCommonModes = "kCFRunLoopCommonModes";
inline constexpr NSRunLoopMode UITrackingRunLoopMode = "UITrackingRunLoopMode";

// One thread's loop of posted blocks and timers.
//
// The main loop belongs to the process's first thread and reads the
// MonotonicClock, so tests can run it on a manual clock; loops of other
// threads read real time. A loop does nothing on its own: its thread runs it
// with runUntil, runMode or runOnce. Each turn fires the timers due in the
// turn's mode (earliest first, equal times in scheduling order), then runs the
// blocks that were posted before the turn began, in posting order (posted
// blocks run in the common modes only).
//
// With the manual clock, time moves only through advanceManualClock;
// runUntil and runMode never move it, and their time limits are real time.
class NSRunLoop : public NSObject {
public:
    // Use mainRunLoop() or currentRunLoop(); `usesMainClock` is true only for the main loop.
    explicit NSRunLoop(bool usesMainClock) : usesMainClock_(usesMainClock) {}

    static Ref<NSRunLoop> mainRunLoop();
    // The calling thread's loop, made on first use.
    static Ref<NSRunLoop> currentRunLoop();

    // Queues a block for the loop's thread; callable from any thread.
    void performBlock(std::function<void()> block);
    // Schedules a timer in `mode` (adding the same timer for another mode
    // widens the modes it fires in). A timer belongs to one loop only.
    void addTimer(const Ref<NSTimer>& timer, NSRunLoopMode mode);

    // Runs one turn in `mode`, waiting until `limitDate` for something to do
    // when the turn found nothing. True when it handled a timer or a block.
    bool runMode(NSRunLoopMode mode, const NSDate& limitDate);
    // One turn in the default mode without waiting; true when it handled anything.
    bool runOnce();
    // Runs the loop in the default mode until `predicate` holds or
    // `timeoutSeconds` of real time have passed; answers the predicate. The
    // predicate is checked after every turn and at least every 10 ms.
    bool runUntil(const std::function<bool()>& predicate, double timeoutSeconds);

    // The time the loop's timers read (see MonotonicClock).
    double now() const;

    // Timed actions for timers, `after` and delayed performs; any thread.
    // `modes` is a mask from modeMask().
    TimerQueue::Token schedule(double due, std::function<void()> action, unsigned modes);
    bool unschedule(TimerQueue::Token token);
    static unsigned modeMask(NSRunLoopMode mode);

    // Main loop with the manual clock: moves time forward by `seconds`,
    // stepping to each timer's due time in order and running the loop until
    // idle at each step, so timers fire in order and the work they post runs
    // before time moves on. In real-time mode it only runs pending work.
    void advanceManualClock(double seconds);
    // Drops every posted block and timed action (for test fixtures between tests).
    void discardPendingWork();

private:
    bool runTurn(unsigned modes);
    // A turn, and when it handled nothing, a wait until work arrives or the
    // real-time deadline, then another turn.
    bool runWaiting(unsigned modes, double realDeadline);
    void runUntilIdle();
    void wakeLocked();

    const bool usesMainClock_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::uint64_t generation_ = 0;  // bumped by every post and schedule
    std::deque<std::function<void()>> posted_;
    TimerQueue timers_;
};
