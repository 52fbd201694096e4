#pragma once

#include <functional>
#include <memory>

// The changes a container asks of itself while one of its transitions runs
// its callbacks (a navigation stack, a tab bar's selection, a window's root,
// a presenter's presentation). A change asked inside those callbacks waits
// and is made, in the order asked, once the outermost of them has returned;
// so each transition runs its callbacks whole, from one state to the next,
// and the controllers, the views shown and the bars agree however the
// changes nest.
//
// The callbacks of every container's transitions hold one line of changes,
// and a change of a container in a window's hierarchy waits while any of
// them run, not only its own: a tab selected, a new root, a presentation or
// a push asked inside another container's callbacks would otherwise start
// while that transition is half-way, and it would end on the state it had
// started from. A container in no window (one just made, as in a
// viewDidLoad) changes at once unless its own callbacks run. Either way a
// change waits while an earlier change of the same container waits: the
// changes of one container are made in the order they were asked.
class HeldChanges {
public:
    // Runs a transition's callbacks, holding the changes they ask.
    void hold(const std::function<void()>& callbacks);
    // Makes `change` now, or once the callbacks running have returned: this
    // container's, or, when `inWindowHierarchy`, any container's.
    void make(std::function<void()> change, bool inWindowHierarchy);
    // Whether `make` would wait.
    bool defers(bool inWindowHierarchy) const;
    // Whether this container's callbacks run.
    bool holding() const { return depth_ > 0; }

private:
    int depth_ = 0;
    // This container's changes in the line, shared with them: a change may
    // outlive the container it was asked of.
    std::shared_ptr<int> waiting_ = std::make_shared<int>(0);
};
