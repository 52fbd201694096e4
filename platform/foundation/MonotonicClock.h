#pragma once

// The clock every timer reads: NSTimer, main-queue `after`, dispatch timer
// sources on the main queue, perform-after-delay, animations. Times are
// seconds on a monotonic scale (not since 1970).
//
// Normally it is the system's steady clock. Tests switch it to manual mode:
// time then stands still until the main run loop's `advanceManualClock`
// moves it, so timers of seconds or minutes fire at once and in order.
// Work on background queues (`after` on them, their timer sources) always
// reads real time.
class MonotonicClock {
public:
    // The steady clock, whatever the mode.
    static double realNow();
    // The main loop's time: the manual time in manual mode, else realNow().
    static double now();

    static bool isManual();
    // Switching manual mode on freezes time at the current real time;
    // switching it off lets real time run again.
    static void setManual(bool manual);
    // Moves manual time forward to `time` (never backwards); ignored in real mode.
    static void setManualTime(double time);
};
