#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <unordered_map>

#include "foundation/NSObject.h"
#include "foundation/Value.h"

enum class DispatchQueuePriority { High, Default, Low, Background };

// Where blocks run.
//
// - The main queue posts to the main run loop; its blocks run on the main
//   thread in the common modes, and its `after` reads the main loop's clock
//   (manual in tests).
// - The global queues (one per priority) run blocks concurrently on a small
//   shared pool of worker threads.
// - A serial queue runs its blocks one at a time in submission order, on the
//   pool's threads (it holds no thread of its own).
//
// `sync` never deadlocks on the queue the caller is already on (directly or
// through nested syncs): it runs the block inline. On a serial queue it waits
// for the queue's earlier blocks and then runs the block on the calling
// thread; on a global queue it runs it at once; onto the main queue from
// another thread it waits for the main loop to run it.
class DispatchQueue : public NSObject {
public:
    enum class Kind { Main, Global, Serial };
    // Use main(), global() or serial().
    DispatchQueue(Kind kind, std::string label, DispatchQueuePriority priority);

    static Ref<DispatchQueue> main();
    static Ref<DispatchQueue> global(DispatchQueuePriority priority = DispatchQueuePriority::Default);
    // A new serial queue.
    static Ref<DispatchQueue> serial(std::string label);

    const std::string& label() const { return label_; }
    Kind kind() const { return kind_; }

    void async(std::function<void()> block);
    void sync(const std::function<void()>& block);
    // Submits `block` after `seconds` (main queue: on the main loop's clock;
    // other queues: real time).
    void after(double seconds, std::function<void()> block);

    // Queue-specific values: set on a queue, read by code running on it.
    void setSpecific(const void* key, Value value);
    // The value for `key` on the queue the caller runs on (the main queue for
    // main-thread code outside any queue); nil when none.
    static Value getSpecific(const void* key);

private:
    // One entry of a serial queue: a block, or a thread waiting in `sync`
    // that takes over the queue when its turn comes.
    struct Item {
        std::function<void()> block;
        std::shared_ptr<std::promise<void>> handoff;
    };

    bool isCurrent() const;
    void runHere(const std::function<void()>& block);
    void drain();
    void submitDrain();
    // Ends a turn of the queue on the calling thread.
    void releaseSerial();

    const Kind kind_;
    const std::string label_;
    const DispatchQueuePriority priority_;
    mutable std::mutex mutex_;
    std::unordered_map<const void*, Value> specifics_;
    std::deque<Item> items_;
    bool running_ = false;  // a thread owns the serial queue
};
