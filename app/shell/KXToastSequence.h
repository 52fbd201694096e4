#pragma once

#include <deque>
#include <memory>
#include <string>

#include "uikit/UIView.h"

// A screen's toasts, one after the other: a message that comes while an
// earlier one of the sequence still shows waits until that one has had its
// time, then shows for its own (a toast shown at once would replace or cover
// the earlier one before anybody could read it). Each message shows on the
// view it was given, so the pages a screen holds toast on their own views in
// the screen's turn. A message that is showing or waiting already on the
// same view is not added again; on another view it is (one page's message
// would otherwise be lost when another page showed the same text). A copy is the same sequence: a screen hands its sequence to
// the pages it shows. Nothing waits once every copy is gone, and a message
// whose view is gone is passed over.
class KXToastSequence {
public:
    void show(const Ref<UIView>& view, const std::string& message);

private:
    struct Toast {
        WeakRef<UIView> view;
        std::string message;
        bool is(const Ref<UIView>& on, const std::string& text) const { return message == text && view.lock() == on; }
    };
    struct State {
        // The message on show, its view and when its time is up.
        std::string showing;
        WeakRef<UIView> showingOn;
        double showingUntil = 0;
        std::deque<Toast> waiting;
    };
    static void showNow(State& state, const Ref<UIView>& view, const std::string& message);
    // Shows the first waiting message whose view is still there once the
    // one on show has had its time.
    static void showNextInTurn(const std::shared_ptr<State>& state);

    std::shared_ptr<State> state_ = std::make_shared<State>();
};
