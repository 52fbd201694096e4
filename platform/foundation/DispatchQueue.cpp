#include "foundation/DispatchQueue.h"

#include <algorithm>
#include <array>
#include <vector>

#include "foundation/DispatchPoller.h"
#include "foundation/DispatchThreadPool.h"
#include "foundation/MonotonicClock.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSThread.h"

namespace {
// The queues the calling thread is running blocks of, innermost last.
thread_local std::vector<const DispatchQueue*> queueStack;

// How many blocks a serial queue runs before giving its worker to other work.
constexpr int drainBatch = 64;

std::size_t laneOf(DispatchQueuePriority priority) { return static_cast<std::size_t>(priority); }

struct ScopeExit {
    std::function<void()> action;
    ~ScopeExit() { action(); }
};
}  // namespace

DispatchQueue::DispatchQueue(Kind kind, std::string label, DispatchQueuePriority priority)
    : kind_(kind), label_(std::move(label)), priority_(priority) {}

Ref<DispatchQueue> DispatchQueue::main() {
    // Never destroyed, like the main loop it posts to.
    static const auto* queue = new Ref<DispatchQueue>(
        make<DispatchQueue>(Kind::Main, "com.apple.main-thread", DispatchQueuePriority::Default));
    return *queue;
}

Ref<DispatchQueue> DispatchQueue::global(DispatchQueuePriority priority) {
    static const auto* queues = new std::array<Ref<DispatchQueue>, 4>{
        make<DispatchQueue>(Kind::Global, "global.high", DispatchQueuePriority::High),
        make<DispatchQueue>(Kind::Global, "global.default", DispatchQueuePriority::Default),
        make<DispatchQueue>(Kind::Global, "global.low", DispatchQueuePriority::Low),
        make<DispatchQueue>(Kind::Global, "global.background", DispatchQueuePriority::Background),
    };
    return (*queues)[laneOf(priority)];
}

Ref<DispatchQueue> DispatchQueue::serial(std::string label) {
    return make<DispatchQueue>(Kind::Serial, std::move(label), DispatchQueuePriority::Default);
}

bool DispatchQueue::isCurrent() const {
    if (kind_ == Kind::Main) return NSThread::isMainThread();
    return std::find(queueStack.begin(), queueStack.end(), this) != queueStack.end();
}

void DispatchQueue::runHere(const std::function<void()>& block) {
    queueStack.push_back(this);
    ScopeExit pop{[] { queueStack.pop_back(); }};
    block();
}

void DispatchQueue::async(std::function<void()> block) {
    switch (kind_) {
    case Kind::Main:
        // The main and global queues live for the whole process.
        NSRunLoop::mainRunLoop()->performBlock([this, block = std::move(block)] { runHere(block); });
        return;
    case Kind::Global:
        DispatchThreadPool::shared().submit(laneOf(priority_), [this, block = std::move(block)] { runHere(block); });
        return;
    case Kind::Serial: {
        bool start = false;
        {
            std::lock_guard lock(mutex_);
            items_.push_back(Item{std::move(block), nullptr});
            start = !std::exchange(running_, true);
        }
        if (start) submitDrain();
        return;
    }
    }
}

void DispatchQueue::submitDrain() {
    DispatchThreadPool::shared().submit(laneOf(priority_), [queue = self<DispatchQueue>()] { queue->drain(); });
}

void DispatchQueue::drain() {
    for (int n = 0; n < drainBatch; ++n) {
        Item item;
        {
            std::lock_guard lock(mutex_);
            if (items_.empty()) {
                running_ = false;
                return;
            }
            item = std::move(items_.front());
            items_.pop_front();
        }
        if (item.handoff) {
            item.handoff->set_value();  // the waiting thread now runs the queue
            return;
        }
        runHere(item.block);
    }
    releaseSerial();
}

void DispatchQueue::releaseSerial() {
    {
        std::lock_guard lock(mutex_);
        if (items_.empty()) {
            running_ = false;
            return;
        }
    }
    submitDrain();
}

void DispatchQueue::sync(const std::function<void()>& block) {
    if (isCurrent() || kind_ == Kind::Global) {
        runHere(block);
        return;
    }
    if (kind_ == Kind::Main) {
        std::promise<void> done;
        NSRunLoop::mainRunLoop()->performBlock([&] {
            runHere(block);
            done.set_value();
        });
        done.get_future().wait();
        return;
    }
    std::shared_ptr<std::promise<void>> handoff;
    {
        std::lock_guard lock(mutex_);
        if (std::exchange(running_, true)) {
            handoff = std::make_shared<std::promise<void>>();
            items_.push_back(Item{nullptr, handoff});
        }
    }
    if (handoff) handoff->get_future().wait();
    ScopeExit release{[this] { releaseSerial(); }};
    runHere(block);
}

void DispatchQueue::after(double seconds, std::function<void()> block) {
    seconds = std::max(seconds, 0.0);
    if (kind_ == Kind::Main) {
        NSRunLoop::mainRunLoop()->schedule(
            MonotonicClock::now() + seconds, [this, block = std::move(block)] { runHere(block); },
            NSRunLoop::modeMask(NSRunLoopCommonModes));
        return;
    }
    DispatchPoller::shared().addTimer(MonotonicClock::realNow() + seconds,
                                      [queue = self<DispatchQueue>(), block = std::move(block)]() mutable {
                                          queue->async(std::move(block));
                                      });
}

void DispatchQueue::setSpecific(const void* key, Value value) {
    std::lock_guard lock(mutex_);
    if (value.isNil())
        specifics_.erase(key);
    else
        specifics_[key] = std::move(value);
}

Value DispatchQueue::getSpecific(const void* key) {
    const DispatchQueue* queue = nullptr;
    if (!queueStack.empty())
        queue = queueStack.back();
    else if (NSThread::isMainThread())
        queue = main().get();
    if (!queue) return Value();
    std::lock_guard lock(queue->mutex_);
    auto found = queue->specifics_.find(key);
    return found == queue->specifics_.end() ? Value() : found->second;
}
