#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

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

// One thread's loop of posted blocks, timers and watched descriptors.
//
// The main loop belongs to the process's first thread and reads the
// MonotonicClock, so tests can run it on a manual clock; loops of other
// threads read real time. A loop does nothing on its own: its thread runs it
// with runUntil, runMode or runOnce. Each turn runs the handlers of the
// descriptors found ready, fires the timers due in the turn's mode (earliest
// first, equal times in scheduling order), then runs the blocks that were
// posted before the turn began, in posting order (posted blocks, descriptor
// handlers and real-time actions run in the common modes only).
//
// A loop waiting for work blocks in epoll: on an eventfd that posts from
// other threads signal, on the descriptors it watches, and until the next
// timer's due time (a wait on the manual clock ends only by work, real-time
// actions or its own time limit).
//
// With the manual clock, time moves only through advanceManualClock;
// runUntil and runMode never move it, and their time limits are real time.
class NSRunLoop : public NSObject {
public:
    // Use mainRunLoop() or currentRunLoop(); `usesMainClock` is true only for the main loop.
    explicit NSRunLoop(bool usesMainClock);
    ~NSRunLoop() override;
    NSRunLoop(const NSRunLoop&) = delete;
    NSRunLoop& operator=(const NSRunLoop&) = delete;

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
    // Timed actions on real time whatever the clock's mode, for I/O
    // deadlines; any thread. They fire in the common modes and survive
    // discardPendingWork.
    TimerQueue::Token scheduleRealTime(double realDue, std::function<void()> action);
    bool unscheduleRealTime(TimerQueue::Token token);

    // Descriptors the loop itself watches (level-triggered): while `fd` is
    // ready for one of `events`, `handler` runs on the loop's thread in each
    // turn with the events found (a hang-up or error counts as every watched
    // event). Several watches may share a descriptor. A handler is never
    // re-entered: a nested run of the loop inside it leaves its watch alone
    // until it returns. Any thread may watch, change and unwatch; once
    // unwatchDescriptor returns no new handler call starts. Unwatch before
    // closing the descriptor. Handlers of regular files (which epoll cannot
    // watch) are refused: the token is 0.
    enum DescriptorEvent : unsigned { DescriptorReadable = 1, DescriptorWritable = 2 };
    using DescriptorHandler = std::function<void(unsigned events)>;
    using WatchToken = std::uint64_t;
    WatchToken watchDescriptor(int fd, unsigned events, DescriptorHandler handler);
    bool setWatchedEvents(WatchToken token, unsigned events);
    void unwatchDescriptor(WatchToken token);

    // Main loop with the manual clock: moves time forward by `seconds`,
    // stepping to each timer's due time in order and running the loop until
    // idle at each step, so timers fire in order and the work they post runs
    // before time moves on. In real-time mode it only runs pending work.
    void advanceManualClock(double seconds);
    // Drops every posted block and timed action on the loop's clock (for test
    // fixtures between tests); real-time actions and watches belong to I/O in
    // flight and stay.
    void discardPendingWork();

private:
    struct Watch {
        int fd;
        unsigned events;
        std::shared_ptr<DescriptorHandler> handler;
        bool running = false;  // its handler is on the stack
        bool parked = false;   // left out of the kernel's interest while running
    };
    struct ReadyDescriptor {
        int fd;
        unsigned events;
    };

    // A turn: waits in epoll up to `realDeadline` (no wait when it has passed
    // or work is pending), then handles what is ready or due.
    bool runTurn(unsigned modes, double realDeadline);
    // A turn that does not wait, and when it handled nothing, a turn that waits.
    bool runWaiting(unsigned modes, double realDeadline);
    void runUntilIdle();
    // Seconds to wait from `now` for work in `modes`, at most until `realDeadline`.
    double waitLocked(unsigned modes, double realDeadline, double now) const;
    void wakeLocked();
    std::vector<ReadyDescriptor> poll(double waitSeconds);
    bool dispatchDescriptors(const std::vector<ReadyDescriptor>& ready);
    bool fireTimers(unsigned modes);
    bool runPosted();
    // Brings the kernel's interest in `fd` in line with its unparked watches.
    void updateInterestLocked(int fd);

    const bool usesMainClock_;
    const int epoll_;
    const int wakeFd_;
    std::mutex mutex_;
    bool waiting_ = false;    // the loop's thread is in epoll
    bool signalled_ = false;  // the eventfd holds an unread wake-up
    std::deque<std::function<void()>> posted_;
    TimerQueue timers_;
    TimerQueue realTimers_;
    std::unordered_map<WatchToken, Watch> watches_;
    std::unordered_map<int, std::vector<WatchToken>> watchesOfFd_;
    std::unordered_map<int, unsigned> interest_;  // registered epoll events per descriptor
    WatchToken lastWatch_ = 0;
};
