#pragma once

#include <vector>

#include "graphics/UIEdgeInsets.h"
#include "uikit/UIScrollViewDelegate.h"
#include "uikit/UIScrollViewObserver.h"
#include "uikit/UIView.h"

// How the safe area adds to the content inset (adjustedContentInset).
enum class UIScrollViewContentInsetAdjustmentBehavior {
    // As ScrollableAxes (tables always scroll vertically, so they take the
    // top and bottom safe area).
    Automatic,
    // The safe area of an axis the content scrolls along.
    ScrollableAxes,
    Never,
    Always,
};

enum class UIScrollViewKeyboardDismissMode { None, OnDrag, Interactive };

// A view whose content is larger than its bounds: the bounds' origin is the
// content offset, so subviews (the content) move as it scrolls, and
// rendering clips to the bounds.
//
// Insets: the content may rest anywhere from -adjustedContentInset.top/left
// to the content size plus adjustedContentInset.bottom/right less the
// bounds' size. The adjusted inset is contentInset plus the safe area the
// adjustment behaviour picks. When that changes in a layout pass while the
// content rests at the old top, the content moves to the new top, so a list
// under a notch starts below it.
//
// Scrolling: setContentOffset moves the content at once (any offset, as in
// UIKit) and tells the delegate. A simulated drag (handleDragBy, what the
// driver uses) goes through the delegate's drag calls in UIKit's order:
// willBeginDragging, didScroll per step (laying out in between, so lists
// show every row they pass), willEndDragging with the resting target (the
// nearest page with paging), didEndDragging, then, when the content is not
// at rest, the move to the target and didEndDecelerating. While dragging,
// the content follows the finger one to one past the edges when it
// bounces; otherwise it stops at them.
//
// Subclasses that override layoutSubviews call this class's first.
class UIScrollView : public UIView {
public:
    UIScrollView() = default;
    explicit UIScrollView(CGRect frame) : UIView(frame) {}

    CGSize contentSize() const { return contentSize_; }
    void setContentSize(CGSize size);
    CGPoint contentOffset() const { return bounds().origin; }
    void setContentOffset(CGPoint offset);
    // Animated: the offset applies at once; didEndScrollingAnimation follows
    // when the animation's time has passed on the main loop's clock.
    void setContentOffset(CGPoint offset, bool animated);

    UIEdgeInsets contentInset() const { return contentInset_; }
    void setContentInset(UIEdgeInsets insets);
    UIEdgeInsets adjustedContentInset() const;
    UIScrollViewContentInsetAdjustmentBehavior contentInsetAdjustmentBehavior() const { return adjustmentBehavior_; }
    void setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior behavior);
    UIEdgeInsets scrollIndicatorInsets() const { return scrollIndicatorInsets_; }
    void setScrollIndicatorInsets(UIEdgeInsets insets) { scrollIndicatorInsets_ = insets; }
    bool showsHorizontalScrollIndicator() const { return showsHorizontalScrollIndicator_; }
    void setShowsHorizontalScrollIndicator(bool shows) { showsHorizontalScrollIndicator_ = shows; }
    bool showsVerticalScrollIndicator() const { return showsVerticalScrollIndicator_; }
    void setShowsVerticalScrollIndicator(bool shows) { showsVerticalScrollIndicator_ = shows; }

    bool bounces() const { return bounces_; }
    void setBounces(bool bounces) { bounces_ = bounces; }
    bool alwaysBounceVertical() const { return alwaysBounceVertical_; }
    void setAlwaysBounceVertical(bool bounces) { alwaysBounceVertical_ = bounces; }
    bool alwaysBounceHorizontal() const { return alwaysBounceHorizontal_; }
    void setAlwaysBounceHorizontal(bool bounces) { alwaysBounceHorizontal_ = bounces; }
    bool isPagingEnabled() const { return pagingEnabled_; }
    void setPagingEnabled(bool enabled) { pagingEnabled_ = enabled; }
    // Whether the user may drag; code may still set the offset.
    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool enabled) { scrollEnabled_ = enabled; }
    UIScrollViewKeyboardDismissMode keyboardDismissMode() const { return keyboardDismissMode_; }
    void setKeyboardDismissMode(UIScrollViewKeyboardDismissMode mode) { keyboardDismissMode_ = mode; }

    // Zooming scales the delegate's viewForZooming, keeps its frame's origin
    // at the content's origin, makes the content size its frame's size and
    // keeps the offset where the content may rest; the
    // scale stays within the minimum and maximum (both 1 by default, which
    // means no zooming).
    CGFloat minimumZoomScale() const { return minimumZoomScale_; }
    void setMinimumZoomScale(CGFloat scale) { minimumZoomScale_ = scale; }
    CGFloat maximumZoomScale() const { return maximumZoomScale_; }
    void setMaximumZoomScale(CGFloat scale) { maximumZoomScale_ = scale; }
    CGFloat zoomScale() const { return zoomScale_; }
    void setZoomScale(CGFloat scale, bool animated = false);

    Ref<UIScrollViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<UIScrollViewDelegate>& delegate) { delegate_ = delegate; }

    // Observers, held weakly, are told of offset and content size changes
    // after the delegate, and of a drag's end before its resting target is
    // chosen (see UIScrollViewObserver).
    void addObserver(const Ref<UIScrollViewObserver>& observer);
    void removeObserver(const UIScrollViewObserver* observer);

    // Touch state: tracking while a finger is down, dragging once it moves
    // the content, decelerating while the content moves on after the drag.
    bool isTracking() const { return tracking_; }
    bool isDragging() const { return dragging_; }
    bool isDecelerating() const { return decelerating_; }

    // A simulated drag moving the content offset by `translation` (positive
    // y moves toward the end of the content). Axes along which the content
    // does not scroll are ignored; false when nothing could move (scrolling
    // disabled, or no scrollable axis in the translation). Scroll views that
    // carry nested ones may share the drag out between them.
    virtual bool handleDragBy(CGVector translation);
    // The vertical drag that brings the content from where it is to where it
    // rests at its end (or its start): what a pull past the edge starts from.
    // Scroll views that carry nested ones count the nested content too.
    virtual CGFloat verticalDragToRestingEdge(bool end) const;

    // The offsets the content may rest at.
    CGPoint minimumContentOffset() const;
    CGPoint maximumContentOffset() const;
    // Whether the content scrolls along the axis: scrolling enabled and the
    // content (with its inset) larger than the bounds, or always bouncing.
    bool scrollsVertically() const;
    bool scrollsHorizontally() const;

    void layoutSubviews() override;

protected:
    void didCreate() override;
    // Tells the observers that the list read its counts afresh.
    void notifyDataReloaded();

private:
    CGPoint clampedToRestingRange(CGPoint offset) const;
    CGPoint pagedTarget(CGPoint offset) const;
    std::vector<Ref<UIScrollViewObserver>> liveObservers();

    CGSize contentSize_{};
    UIEdgeInsets contentInset_{};
    UIEdgeInsets scrollIndicatorInsets_{};
    UIScrollViewContentInsetAdjustmentBehavior adjustmentBehavior_ = UIScrollViewContentInsetAdjustmentBehavior::Automatic;
    CGFloat lastAdjustedTop_ = 0;
    bool showsHorizontalScrollIndicator_ = true;
    bool showsVerticalScrollIndicator_ = true;
    bool bounces_ = true;
    bool alwaysBounceVertical_ = false;
    bool alwaysBounceHorizontal_ = false;
    bool pagingEnabled_ = false;
    bool scrollEnabled_ = true;
    UIScrollViewKeyboardDismissMode keyboardDismissMode_ = UIScrollViewKeyboardDismissMode::None;
    CGFloat minimumZoomScale_ = 1;
    CGFloat maximumZoomScale_ = 1;
    CGFloat zoomScale_ = 1;
    WeakRef<UIScrollViewDelegate> delegate_;
    std::vector<WeakRef<UIScrollViewObserver>> observers_;
    bool tracking_ = false;
    bool dragging_ = false;
    bool decelerating_ = false;
};
