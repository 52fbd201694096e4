#pragma once

#include "foundation/DispatchSource.h"
#include "foundation/TimerQueue.h"

// A timer whose handler runs on the target queue. It reads the main loop's
// clock when its queue is the main queue, and also when its queue is a
// global queue while that clock is manual (so a test drives a one-second
// tick on a global queue by advancing the clock); timers of serial queues
// read real time, as they time real I/O. It keeps running while suspended; the firings are then counted
// and delivered together (data() tells how many). A repeating timer that
// falls behind counts the firings it missed instead of catching up.
class DispatchTimerSource : public DispatchSource {
public:
    // Use DispatchSource::makeTimerSource.
    explicit DispatchTimerSource(Ref<DispatchQueue> queue) : DispatchSource(std::move(queue)) {}

    // First firing `deadline` seconds from now, then every `interval` seconds
    // (0: once). Timers fire at their time, so a leeway only bounds lateness
    // and is not used. Replaces an earlier schedule.
    void schedule(double deadline, double interval = 0, double leeway = 0);

protected:
    void didResume(bool first) override;
    void didCancel() override;
    std::optional<unsigned long> eventData(unsigned long count) override { return count; }

private:
    double clockNow() const;
    // Under the source's lock.
    void armLocked();
    void disarmLocked();
    void fired();

    // Which clock the schedule reads: decided by schedule(), so that a
    // switch of the clock's mode never strands an armed timer.
    bool onMainClock_ = false;
    bool scheduled_ = false;
    bool resumed_ = false;
    double due_ = 0, interval_ = 0;
    TimerQueue::Token token_ = 0;
};
