#include "uikit/AnimationTransaction.h"

#include <algorithm>
#include <vector>

#include "foundation/DispatchQueue.h"

namespace {
struct State {
    std::vector<AnimationTransaction::Block> open;
    bool enabled = true;
};
State& state() {
    static State shared;
    return shared;
}
}  // namespace

void AnimationTransaction::run(double duration, double delay, const std::function<void()>& animations,
                               UIView::AnimationCompletion completion) {
    if (animations) animations();
    if (!completion) return;
    DispatchQueue::main()->after(std::max(0.0, delay) + std::max(0.0, duration),
                                 [completion = std::move(completion)] { completion(true); });
}

void AnimationTransaction::begin(std::string animationID, void* context) {
    Block block;
    block.animationID = std::move(animationID);
    block.context = context;
    state().open.push_back(std::move(block));
}

void AnimationTransaction::commit() {
    auto& open = state().open;
    if (open.empty()) return;
    Block block = std::move(open.back());
    open.pop_back();
    if (!block.didStop) return;
    double wait = std::max(0.0, block.delay) + std::max(0.0, block.duration);
    DispatchQueue::main()->after(wait, [block = std::move(block)] {
        block.didStop(block.animationID, true, block.context);
    });
}

AnimationTransaction::Block* AnimationTransaction::current() {
    auto& open = state().open;
    return open.empty() ? nullptr : &open.back();
}

void AnimationTransaction::setEnabled(bool enabled) { state().enabled = enabled; }

bool AnimationTransaction::isEnabled() { return state().enabled; }

void AnimationTransaction::reset() { state() = State{}; }
