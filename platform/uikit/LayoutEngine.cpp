#include "uikit/LayoutEngine.h"

#include <algorithm>

#include "uikit/ConstraintSystem.h"
#include "uikit/LayoutIsland.h"
#include "uikit/UILayoutGuide.h"
#include "uikit/UIView.h"
#include "uikit/ViewConstraintState.h"

namespace {

bool isSizeAttribute(NSLayoutAttribute attribute) {
    return attribute == NSLayoutAttribute::Width || attribute == NSLayoutAttribute::Height;
}

// The items' views and the views between them and the common container.
std::vector<Ref<UIView>> participantsOf(const NSLayoutConstraint& constraint) {
    std::vector<Ref<UIView>> views;
    auto container = LayoutEngine::commonContainer(constraint.firstItem(), constraint.secondItem());
    for (const auto& item : {constraint.firstItem(), constraint.secondItem()}) {
        auto view = LayoutEngine::viewOfItem(item);
        if (!view) continue;
        views.push_back(view);
        if (view == container) continue;
        for (view = view->superview(); view && view != container; view = view->superview()) views.push_back(view);
    }
    return views;
}

Ref<LayoutIsland> islandOf(const Ref<UIView>& view) {
    auto* state = view ? view->existingConstraintState() : nullptr;
    return state ? state->island : nullptr;
}

}  // namespace

Ref<UIView> LayoutEngine::viewOfItem(const Ref<NSObject>& item) {
    if (auto view = cast<UIView>(item)) return view;
    if (auto guide = cast<UILayoutGuide>(item)) return guide->owningView();
    return nullptr;
}

Ref<UIView> LayoutEngine::commonContainer(const Ref<NSObject>& first, const Ref<NSObject>& second) {
    auto firstView = viewOfItem(first);
    if (!second) return firstView;
    auto secondView = viewOfItem(second);
    if (!secondView) return nullptr;
    for (auto view = firstView; view; view = view->superview())
        if (secondView->isDescendantOfView(view)) return view;
    return nullptr;
}

void LayoutEngine::constraintInstalled(const Ref<NSLayoutConstraint>& constraint) {
    auto participants = participantsOf(*constraint);
    if (participants.empty()) return;
    auto island = LayoutIsland::join(participants);
    island->addConstraint(constraint);
    island->invalidate();
}

void LayoutEngine::constraintChanged(const NSLayoutConstraint& constraint) {
    auto island = islandOf(viewOfItem(constraint.firstItem()));
    if (!island) island = islandOf(viewOfItem(constraint.secondItem()));
    if (island) island->invalidate();
}

void LayoutEngine::applyConstraintFrames(UIView& superview) {
    auto subviews = superview.subviews();
    for (const auto& subview : subviews) {
        auto* state = subview->existingConstraintState();
        if (!state || !state->island) continue;
        auto island = state->island;
        auto frame = island->frameOf(*subview);
        if (frame && !state->translatesAutoresizingMaskIntoConstraints && !(*frame == subview->frame()))
            subview->setFrame(*frame);
    }
}

void LayoutEngine::viewFrameChanged(UIView& view) {
    auto* state = view.existingConstraintState();
    if (state && state->translatesAutoresizingMaskIntoConstraints && state->island) state->island->invalidate();
}

void LayoutEngine::viewContentChanged(UIView& view) {
    auto* state = view.existingConstraintState();
    if (!state) return;
    state->intrinsicSize.reset();
    if (state->island) state->island->invalidate();
}

void LayoutEngine::viewWillLeaveSuperview(UIView& view) {
    Ref<UIView> leaving = view.self<UIView>();
    auto refersToLeaving = [&](const Ref<NSLayoutConstraint>& constraint) {
        for (const auto& item : {constraint->firstItem(), constraint->secondItem()})
            if (auto itemView = viewOfItem(item); itemView && itemView->isDescendantOfView(leaving)) return true;
        return false;
    };
    for (auto ancestor = view.superview(); ancestor; ancestor = ancestor->superview()) {
        auto* state = ancestor->existingConstraintState();
        if (!state || state->constraints.empty()) continue;
        std::vector<Ref<NSLayoutConstraint>> leavingConstraints;
        std::copy_if(state->constraints.begin(), state->constraints.end(), std::back_inserter(leavingConstraints),
                     refersToLeaving);
        ancestor->removeConstraints(leavingConstraints);
    }
}

CGSize LayoutEngine::fittingSize(UIView& view, CGSize target, UILayoutPriority horizontalPriority,
                                 UILayoutPriority verticalPriority) {
    Ref<UIView> root = view.self<UIView>();
    auto inside = [&](const Ref<NSObject>& item) {
        auto itemView = viewOfItem(item);
        return itemView && itemView->isDescendantOfView(root);
    };
    std::vector<Ref<NSLayoutConstraint>> constraints;
    std::vector<Ref<UIView>> pending{root};
    while (!pending.empty()) {
        auto current = std::move(pending.back());
        pending.pop_back();
        if (auto* state = current->existingConstraintState())
            for (const auto& constraint : state->constraints)
                if (inside(constraint->firstItem()) && (!constraint->hasSecondItem() || inside(constraint->secondItem())))
                    constraints.push_back(constraint);
        for (const auto& subview : current->subviews()) pending.push_back(subview);
    }
    if (constraints.empty()) return view.sizeThatFits(target);
    std::sort(constraints.begin(), constraints.end(), [](const auto& a, const auto& b) {
        return a->activationOrder_ < b->activationOrder_;
    });

    ConstraintSystem system(&view);
    for (const auto& constraint : constraints) {
        // A position without a second item is relative to the superview, outside.
        if (!constraint->hasSecondItem() && !isSizeAttribute(constraint->firstAttribute()) &&
            LayoutEngine::viewOfItem(constraint->firstItem()) == root)
            continue;
        system.add(constraint);
    }
    system.fitRootTo(target, horizontalPriority, verticalPriority);
    system.solve();
    auto frame = system.frameOf(&view);
    return frame ? frame->size : target;
}
