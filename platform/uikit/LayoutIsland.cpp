#include "uikit/LayoutIsland.h"

#include <algorithm>

#include "uikit/ConstraintSystem.h"
#include "uikit/NSLayoutConstraint.h"
#include "uikit/UIView.h"
#include "uikit/ViewConstraintState.h"

namespace {

// Views that were frame-placed or elsewhere when they joined can come
// into an island's solution later; joining them restarts the solve, at most
// this many times.
constexpr int kMaxJoinsPerSolve = 4;

bool isConstrained(const UIView& view) {
    auto* state = view.existingConstraintState();
    return state && !state->translatesAutoresizingMaskIntoConstraints;
}

}  // namespace

Ref<LayoutIsland> LayoutIsland::join(const std::vector<Ref<UIView>>& views) {
    Ref<LayoutIsland> island;
    for (const auto& view : views)
        if (auto* state = view->existingConstraintState(); state && state->island) {
            island = state->island;
            break;
        }
    if (!island) island = std::make_shared<LayoutIsland>();
    for (const auto& view : views) {
        auto& current = view->constraintState().island;
        if (current == island) continue;
        if (current)
            island->absorb(*current);
        else
            island->adopt(view);
    }
    return island;
}

void LayoutIsland::adopt(const Ref<UIView>& view) {
    view->constraintState().island = shared_from_this();
    members_.push_back(view);
}

void LayoutIsland::absorb(LayoutIsland& other) {
    Ref<LayoutIsland> keepAlive = other.shared_from_this();
    for (const auto& weak : other.members_)
        if (auto view = weak.lock()) adopt(view);
    auto order = [](const WeakRef<NSLayoutConstraint>& a, const WeakRef<NSLayoutConstraint>& b) {
        auto x = a.lock(), y = b.lock();
        return (x ? x->activationOrder_ : 0) < (y ? y->activationOrder_ : 0);
    };
    std::vector<WeakRef<NSLayoutConstraint>> merged;
    std::merge(constraints_.begin(), constraints_.end(), other.constraints_.begin(), other.constraints_.end(),
               std::back_inserter(merged), order);
    constraints_ = std::move(merged);
    other.members_.clear();
    other.constraints_.clear();
    needsSolving_ = true;
}

void LayoutIsland::addConstraint(const Ref<NSLayoutConstraint>& constraint) { constraints_.push_back(constraint); }

void LayoutIsland::invalidate() {
    needsSolving_ = true;
    std::erase_if(members_, [](const WeakRef<UIView>& weak) { return weak.expired(); });
    // The superviews of the constrained views apply the new frames; an
    // island of frame-placed views only is still solved, to report conflicts.
    std::vector<Ref<UIView>> members;
    for (const auto& weak : members_)
        if (auto view = weak.lock()) members.push_back(view);
    bool anyConstrained = std::any_of(members.begin(), members.end(), [](const auto& v) { return isConstrained(*v); });
    for (const auto& view : members)
        if (!anyConstrained || isConstrained(*view))
            if (auto superview = view->superview()) superview->setNeedsLayout();
}

std::optional<CGRect> LayoutIsland::frameOf(const UIView& view) {
    if (needsSolving_) solve();
    auto at = frames_.find(&view);
    if (at == frames_.end()) return std::nullopt;
    return at->second;
}

void LayoutIsland::solve() {
    Ref<LayoutIsland> keepAlive = shared_from_this();
    for (int attempt = 0;; ++attempt) {
        std::erase_if(constraints_, [](const WeakRef<NSLayoutConstraint>& weak) {
            auto constraint = weak.lock();
            return !constraint || !constraint->isActive();
        });
        ConstraintSystem system;
        for (const auto& weak : constraints_) system.add(weak.lock());
        system.solve();

        bool joined = false;
        if (attempt < kMaxJoinsPerSolve)
            for (const auto& placement : system.placements()) {
                auto& island = placement.view->constraintState().island;
                if (island.get() == this) continue;
                if (island)
                    absorb(*island);
                else
                    adopt(placement.view);
                joined = true;
            }
        if (joined) continue;

        frames_.clear();
        for (const auto& placement : system.placements()) frames_[placement.view.get()] = placement.frame;
        needsSolving_ = false;
        return;
    }
}
