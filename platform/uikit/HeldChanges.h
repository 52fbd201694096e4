#pragma once

#include <deque>
#include <functional>

// The changes a container asks of itself while one of its transitions runs
// its callbacks (a navigation stack, a tab bar's selection, a window's root,
// a presenter's presentation). A change asked inside those callbacks waits
// and is made, in the order asked, once the outermost of them has returned;
// so each transition runs its callbacks whole, from one state to the next,
// and the controllers, the views shown and the bars agree however the
// changes nest.
class HeldChanges {
public:
    // Runs a transition's callbacks, holding the changes they ask.
    void hold(const std::function<void()>& callbacks);
    // Makes `change` now, or once the callbacks running have returned.
    void make(std::function<void()> change);
    bool holding() const { return depth_ > 0; }

private:
    int depth_ = 0;
    std::deque<std::function<void()>> waiting_;
};
