#pragma once

#include <deque>
#include <memory>
#include <string>

#include "uikit/UIView.h"

// A screen's toasts on its view, one after the other: a message that comes
// while an earlier one of the sequence still shows waits until that one has
// had its time, then shows for its own (a toast shown at once would replace
// the earlier one before anybody could read it). A message that is showing
// or waiting already is not added again. Nothing waits once the sequence
// or the view is gone.
class KXToastSequence {
public:
    void show(const Ref<UIView>& view, const std::string& message);

private:
    struct State {
        WeakRef<UIView> view;
        // The message on show and when its time is up.
        std::string showing;
        double showingUntil = 0;
        std::deque<std::string> waiting;
    };
    static void showNow(State& state, const Ref<UIView>& view, const std::string& message);
    // Shows the first waiting message once the one on show has had its time.
    static void showNextInTurn(const std::shared_ptr<State>& state);

    std::shared_ptr<State> state_ = std::make_shared<State>();
};
