#include "uikit/HeldChanges.h"

void HeldChanges::hold(const std::function<void()>& callbacks) {
    ++depth_;
    callbacks();
    if (--depth_ > 0) return;
    // Each waiting change holds its own callbacks; one they ask joins the
    // end of the line.
    while (!waiting_.empty()) {
        auto change = std::move(waiting_.front());
        waiting_.pop_front();
        change();
    }
}

void HeldChanges::make(std::function<void()> change) {
    if (holding()) waiting_.push_back(std::move(change));
    else change();
}
