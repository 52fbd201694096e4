#pragma once

#include <functional>
#include <string>

#include "foundation/NSObject.h"
#include "foundation/Value.h"

// Delayed performs of a selector on an object: the request runs `action` on
// the current thread's run loop (default mode) after `delay` seconds, keeping
// the target and the argument alive until then; a later cancel on the same
// thread can withdraw it by target, or by target, selector name and an equal
// argument.
class NSDelayedPerform {
public:
    static void performSelector(const Ref<NSObject>& target, std::string selector, Value argument, double delay,
                                std::function<void()> action);
    // Withdraws every pending request of `target` on the current thread's loop.
    static void cancelPreviousPerformRequests(const Ref<NSObject>& target);
    // Withdraws the requests of `target` for `selector` whose argument equals `argument`.
    static void cancelPreviousPerformRequests(const Ref<NSObject>& target, const std::string& selector,
                                              const Value& argument);
};
