#pragma once

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

class NSLayoutConstraint;
class UIView;

// A group of active constraints solved together, and the views they involve
// (see LayoutEngine). Views hold their island; the island holds its views
// and constraints weakly, and drops the dead and deactivated ones when it
// solves. Islands only grow: two join when a constraint links them, and a
// deactivated constraint leaves its island whole, which is still correct
// (two independent groups solved at once).
class LayoutIsland : public std::enable_shared_from_this<LayoutIsland> {
public:
    // The island of `views` once joined: one of theirs, or a new one.
    static Ref<LayoutIsland> join(const std::vector<Ref<UIView>>& views);

    void addConstraint(const Ref<NSLayoutConstraint>& constraint);
    // To be solved again; the superviews of its constrained views are marked
    // for layout so that the next pass applies the new frames.
    void invalidate();
    // The view's solved frame (solving first if needed), when it is a
    // constrained view the constraints reach.
    std::optional<CGRect> frameOf(const UIView& view);

private:
    void adopt(const Ref<UIView>& view);
    void absorb(LayoutIsland& other);
    void solve();

    std::vector<WeakRef<NSLayoutConstraint>> constraints_;  // in activation order
    std::vector<WeakRef<UIView>> members_;
    std::unordered_map<const UIView*, CGRect> frames_;
    bool needsSolving_ = true;
};
