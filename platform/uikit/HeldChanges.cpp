#include "uikit/HeldChanges.h"

#include <deque>

namespace {

// The callbacks running, of any container's transitions, and the changes
// waiting for them to return (the UI runs on the main queue alone).
int runningCallbacks = 0;
std::deque<std::function<void()>>& waitingChanges() {
    static std::deque<std::function<void()>> waiting;
    return waiting;
}

}  // namespace

void HeldChanges::hold(const std::function<void()>& callbacks) {
    ++depth_;
    ++runningCallbacks;
    callbacks();
    --depth_;
    if (--runningCallbacks > 0) return;
    // Each waiting change holds its own callbacks; one they ask joins the
    // end of the line.
    auto& waiting = waitingChanges();
    while (!waiting.empty()) {
        auto change = std::move(waiting.front());
        waiting.pop_front();
        change();
    }
}

bool HeldChanges::defers(bool inWindowHierarchy) const {
    return holding() || *waiting_ > 0 || (inWindowHierarchy && runningCallbacks > 0);
}

void HeldChanges::make(std::function<void()> change, bool inWindowHierarchy) {
    if (!defers(inWindowHierarchy)) {
        change();
        return;
    }
    ++*waiting_;
    waitingChanges().push_back([waiting = waiting_, change = std::move(change)] {
        --*waiting;
        change();
    });
}
