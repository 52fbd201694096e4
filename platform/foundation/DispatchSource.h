#pragma once

#include <functional>
#include <mutex>
#include <optional>

#include "foundation/DispatchQueue.h"
#include "foundation/NSObject.h"

class DispatchTimerSource;
class DispatchDescriptorSource;

// A source of events (a timer, a descriptor becoming readable or writable)
// whose handlers run on a target queue.
//
// Life cycle: a source starts suspended; the first resume() starts it.
// suspend() and resume() nest. Events that arrive while it is suspended are
// held and delivered, coalesced, after the last resume(). The event handler
// never runs twice at once, even on a concurrent queue: events arriving while
// it runs are coalesced into its next call. cancel() stops it
// for good: no event handler starts afterwards, and the cancel handler runs
// once on the target queue once the source is not suspended (a cancelled,
// suspended source needs its resume() for that). When the cancel handler
// runs, the source no longer watches anything, and both handlers are released
// after it.
class DispatchSource : public NSObject {
public:
    static Ref<DispatchTimerSource> makeTimerSource(Ref<DispatchQueue> queue);
    // A source for a readable descriptor; data() is the count of bytes readable
    // (0 at end of stream).
    static Ref<DispatchDescriptorSource> makeReadSource(int fd, Ref<DispatchQueue> queue);
    // A source for a writable descriptor; data() is 1.
    static Ref<DispatchDescriptorSource> makeWriteSource(int fd, Ref<DispatchQueue> queue);

    void setEventHandler(std::function<void()> handler);
    void setCancelHandler(std::function<void()> handler);
    void resume();
    void suspend();
    void cancel();
    bool isCancelled() const;
    // For the running event handler: what the event carried (see the factories;
    // timers: the number of firings since the last handler call).
    unsigned long data() const;

protected:
    explicit DispatchSource(Ref<DispatchQueue> queue);

    // Hooks, called without the lock held.
    // The source became active (not suspended, not cancelled); `first` on the first resume.
    virtual void didResume(bool first) = 0;
    // Stop watching or timing; called once, by cancel().
    virtual void didCancel() = 0;
    // On the target queue, before the handler: what the event carries, or
    // nothing when it turned out stale and the handler must not run.
    virtual std::optional<unsigned long> eventData(unsigned long count) = 0;
    // On the target queue, after an event was handled or dropped.
    virtual void didDeliver() {}

    // Records `count` events (from the poller or a timer, any thread).
    void signal(unsigned long count = 1);
    // Runs `action` under the source's lock when the source is not cancelled
    // (and, with `unlessSuspended`, not suspended); answers whether it ran.
    bool whileLive(bool unlessSuspended, const std::function<void()>& action);

    const Ref<DispatchQueue> queue_;

private:
    void deliver();
    void deliverCancel();

    mutable std::mutex mutex_;
    std::function<void()> eventHandler_, cancelHandler_;
    int suspendCount_ = 1;
    bool started_ = false;
    bool cancelled_ = false;
    bool cancelScheduled_ = false;
    bool deliveryScheduled_ = false;
    unsigned long pending_ = 0;
    unsigned long data_ = 0;
};
