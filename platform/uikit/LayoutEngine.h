#pragma once

#include "foundation/NSObject.h"
#include "uikit/NSLayoutConstraint.h"

class UIView;

// Where constraint layout meets the view tree.
//
// Design: active constraints fall into islands (LayoutIsland), groups that
// share views: activating a constraint joins the islands of its items and of
// the views between them and their common ancestor. An island is solved as
// a whole, lazily, the first time a layout pass asks for one of its frames
// after something it depends on changed: its constraints, the intrinsic size
// or priorities of its views, or the frame of a frame-placed view it reads.
// So a screen is solved once per change, not once per view, and the cells of
// a table are separate islands that scrolling does not disturb.
//
// Each constrained view has four unknowns: its frame's origin in its
// superview's space and its size. A constraint is written in the space of
// its items' closest common ancestor, adding up the origins of the views
// between, so views constrained to siblings, ancestors or views in other
// branches all work. As on the platform, removing a view from its superview
// removes the constraints, installed above it, that refer to it or to views
// inside it.
class LayoutEngine {
public:
    // The view an item stands for: the view itself, or a guide's owner.
    static Ref<UIView> viewOfItem(const Ref<NSObject>& item);
    // The closest view containing both items (the second may be null), or null.
    static Ref<UIView> commonContainer(const Ref<NSObject>& first, const Ref<NSObject>& second);

    static void constraintInstalled(const Ref<NSLayoutConstraint>& constraint);
    // Its constant or priority changed, or it was deactivated.
    static void constraintChanged(const NSLayoutConstraint& constraint);

    // Sets the frames of the constrained subviews of `superview`.
    static void applyConstraintFrames(UIView& superview);
    static void viewFrameChanged(UIView& view);
    // Its intrinsic size, priorities or translation flag changed.
    static void viewContentChanged(UIView& view);
    static void viewWillLeaveSuperview(UIView& view);

    static CGSize fittingSize(UIView& view, CGSize target, UILayoutPriority horizontalPriority,
                              UILayoutPriority verticalPriority);
};
