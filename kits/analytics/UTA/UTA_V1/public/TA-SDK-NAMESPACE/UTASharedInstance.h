#pragma once

#include <functional>
#include <mutex>

#include "foundation/NSObject.h"

// The library's process-wide state lives as long as the process: its queues
// may still reach it while the process exits. Tests run many app lives in one
// process, so each piece of that state also says how it is forgotten, and
// `UTAResetForTests` (RPOUTAService.h) forgets it all at once.

// Adds a way to forget one piece of process-wide state. Answers true, so that
// a namespace-scope constant can register at start-up.
bool UTAOnReset(std::function<void()> forget);
// Runs every registered way, in the order registered.
void UTAForgetProcessState();

// One shared instance of T, made on first use. While it is being made, other
// callers of `get` wait for it and `existing` answers nothing, as before it
// was asked for.
template <class T> class UTASharedSlot {
public:
    Ref<T> get(const std::function<Ref<T>()>& maker = [] { return make<T>(); }) {
        if (auto made = existing()) return made;
        std::lock_guard making(creationLock_);
        if (auto made = existing()) return made;
        auto instance = maker();
        std::lock_guard lock(lock_);
        instance_ = instance;
        return instance;
    }
    Ref<T> existing() const {
        std::lock_guard lock(lock_);
        return instance_;
    }
    // The next `get` makes a new instance; users of the old one keep it.
    void forget() {
        Ref<T> old;
        std::lock_guard lock(lock_);
        old.swap(instance_);
    }

private:
    std::mutex creationLock_;
    mutable std::mutex lock_;
    Ref<T> instance_;
};

// The slot of T's shared instance, never destroyed, forgotten on reset.
template <class T> UTASharedSlot<T>& UTASharedSlotOf() {
    static auto* slot = [] {
        auto* made = new UTASharedSlot<T>();
        UTAOnReset([made] { made->forget(); });
        return made;
    }();
    return *slot;
}

// The one instance of `T` the library shares.
template <class T> Ref<T> UTASharedInstance() { return UTASharedSlotOf<T>().get(); }
