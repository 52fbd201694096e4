#include "app/shell/KXToastSequence.h"

#include <algorithm>

#include "app/shell/KXUniversal.h"
#include "foundation/MonotonicClock.h"
#include "foundation/NSRunLoop.h"

void KXToastSequence::show(const Ref<UIView>& view, const std::string& message) {
    State& state = *state_;
    const bool busy = !state.waiting.empty() || MonotonicClock::now() < state.showingUntil;
    if (!busy) {
        showNow(state, view, message);
        return;
    }
    const Toast shown{state.showingOn, state.showing};
    if (shown.is(view, message) || std::any_of(state.waiting.begin(), state.waiting.end(),
                                               [&](const Toast& toast) { return toast.is(view, message); }))
        return;
    state.waiting.push_back({view, message});
    if (state.waiting.size() == 1) showNextInTurn(state_);
}

void KXToastSequence::showNow(State& state, const Ref<UIView>& view, const std::string& message) {
    showToast(view, message);
    state.showing = message;
    state.showingOn = view;
    // Read after the toast has set its own end, so the next message comes
    // no sooner than that end and is not taken away by it.
    state.showingUntil = MonotonicClock::now() + kToastDuration;
}

void KXToastSequence::showNextInTurn(const std::shared_ptr<State>& state) {
    std::weak_ptr<State> weak = state;
    NSRunLoop::mainRunLoop()->schedule(
        state->showingUntil,
        [weak] {
            auto state = weak.lock();
            if (!state) return;
            while (!state->waiting.empty()) {
                const Toast toast = state->waiting.front();
                state->waiting.pop_front();
                if (auto view = toast.view.lock()) {
                    showNow(*state, view, toast.message);
                    break;
                }
            }
            if (!state->waiting.empty()) showNextInTurn(state);
        },
        NSRunLoop::modeMask(NSRunLoopCommonModes));
}
