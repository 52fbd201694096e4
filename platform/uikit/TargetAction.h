#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "foundation/NSObject.h"

// Turns a member function of a target into an action that receives its
// sender, the way controls and gesture recognizers call their targets. The
// target is held weakly: once it is gone the action does nothing. A method
// that takes a more specific sender type is only called with senders of
// that type.
template <class Sender, class T, class S>
std::function<void(const Ref<Sender>&)> bindTargetAction(const Ref<T>& target, void (T::*method)(const Ref<S>&)) {
    WeakRef<T> weak = target;
    return [weak, method](const Ref<Sender>& sender) {
        auto object = weak.lock();
        auto typed = std::dynamic_pointer_cast<S>(sender);
        if (object && typed) (object.get()->*method)(typed);
    };
}

template <class Sender, class T>
std::function<void(const Ref<Sender>&)> bindTargetAction(const Ref<T>& target, void (T::*method)()) {
    WeakRef<T> weak = target;
    return [weak, method](const Ref<Sender>&) {
        if (auto object = weak.lock()) (object.get()->*method)();
    };
}

// The actions registered on a control or gesture recognizer, each for a set
// of events (a bit mask). Actions run in the order they were added; one whose
// target is gone is skipped and dropped. An action added without a target
// runs as long as the list lives. Actions may add or remove actions while an
// event is sent: one removed for that event is not called afterwards; one
// added first hears the next event.
template <class Sender> class TargetActionList {
public:
    using Action = std::function<void(const Ref<Sender>&)>;

    void add(const Ref<NSObject>& target, Action action, std::uint32_t events) {
        if (!action || events == 0) return;
        entries_.push_back(std::make_shared<Entry>(Entry{target, target != nullptr, std::move(action), events}));
    }
    // Stops the target's actions (null: every action) for the events.
    void remove(const Ref<NSObject>& target, std::uint32_t events) {
        for (const auto& entry : entries_)
            if (!target || entry->target.lock() == target) entry->events &= ~events;
        std::erase_if(entries_, [](const auto& entry) { return entry->events == 0; });
    }
    // The live targets, each once, in the order they were first added.
    std::vector<Ref<NSObject>> targets() const {
        std::vector<Ref<NSObject>> found;
        for (const auto& entry : entries_) {
            auto target = entry->target.lock();
            if (target && std::find(found.begin(), found.end(), target) == found.end()) found.push_back(target);
        }
        return found;
    }
    std::uint32_t events() const {
        std::uint32_t all = 0;
        for (const auto& entry : entries_) all |= entry->events;
        return all;
    }
    void send(const Ref<Sender>& sender, std::uint32_t events) {
        std::erase_if(entries_, [](const auto& entry) { return entry->hasTarget && entry->target.expired(); });
        // A copy of the list, of shared entries: an entry's events are read
        // as they are when its turn comes.
        const auto entries = entries_;
        for (const auto& entry : entries) {
            if (!(entry->events & events)) continue;
            auto target = entry->target.lock();
            if (entry->hasTarget && !target) continue;
            entry->action(sender);
        }
    }

private:
    struct Entry {
        WeakRef<NSObject> target;
        bool hasTarget;
        Action action;
        std::uint32_t events;
    };
    std::vector<std::shared_ptr<Entry>> entries_;
};
