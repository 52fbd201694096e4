#include "uikit/UIScrollView.h"

#include <algorithm>
#include <cmath>

namespace {

// The length of animated offset changes, as UIKit's scroll animation.
constexpr double kScrollAnimationDuration = 0.3;

bool exceeds(CGFloat content, CGFloat leading, CGFloat trailing, CGFloat visible) {
    return content + leading + trailing > visible;
}

}  // namespace

void UIScrollView::didCreate() {
    UIView::didCreate();
    setClipsToBounds(true);
}

void UIScrollView::setContentSize(CGSize size) {
    if (size == contentSize_) return;
    contentSize_ = size;
    setNeedsLayout();
    Ref<UIScrollView> me = self<UIScrollView>();
    for (const auto& observer : liveObservers()) observer->scrollViewContentDidChange(me);
}

void UIScrollView::setContentOffset(CGPoint offset) {
    CGRect bounds = this->bounds();
    if (bounds.origin == offset) return;
    bounds.origin = offset;
    setBounds(bounds);
    setNeedsLayout();
    // Those told may let the scroll view go: it lives until they all are.
    Ref<UIScrollView> me = self<UIScrollView>();
    if (auto listener = delegate()) listener->scrollViewDidScroll(me);
    for (const auto& observer : liveObservers()) observer->scrollViewContentDidChange(me);
}

void UIScrollView::setContentOffset(CGPoint offset, bool animated) {
    if (!animated || offset == contentOffset()) {
        setContentOffset(offset);
        return;
    }
    WeakRef<UIScrollView> weak = self<UIScrollView>();
    UIView::animateWithDuration(
        kScrollAnimationDuration, [this, offset] { setContentOffset(offset); },
        [weak](bool) {
            auto scrollView = weak.lock();
            if (!scrollView) return;
            if (auto listener = scrollView->delegate()) listener->scrollViewDidEndScrollingAnimation(scrollView);
        });
}

void UIScrollView::addObserver(const Ref<UIScrollViewObserver>& observer) {
    if (observer) observers_.push_back(observer);
}

void UIScrollView::removeObserver(const UIScrollViewObserver* observer) {
    std::erase_if(observers_, [observer](const WeakRef<UIScrollViewObserver>& entry) {
        auto live = entry.lock();
        return !live || live.get() == observer;
    });
}

void UIScrollView::notifyDataReloaded() {
    Ref<UIScrollView> me = self<UIScrollView>();
    for (const auto& observer : liveObservers()) observer->scrollViewDidReloadData(me);
}

// The observers still alive, as a copy: they may add or remove observers
// while they are told.
std::vector<Ref<UIScrollViewObserver>> UIScrollView::liveObservers() {
    std::erase_if(observers_, [](const WeakRef<UIScrollViewObserver>& entry) { return entry.expired(); });
    std::vector<Ref<UIScrollViewObserver>> live;
    for (const auto& entry : observers_)
        if (auto observer = entry.lock()) live.push_back(observer);
    return live;
}

void UIScrollView::setContentInset(UIEdgeInsets insets) {
    if (insets == contentInset_) return;
    contentInset_ = insets;
    setNeedsLayout();
}

void UIScrollView::setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior behavior) {
    adjustmentBehavior_ = behavior;
    setNeedsLayout();
}

UIEdgeInsets UIScrollView::adjustedContentInset() const {
    using Behavior = UIScrollViewContentInsetAdjustmentBehavior;
    if (adjustmentBehavior_ == Behavior::Never) return contentInset_;
    UIEdgeInsets safe = safeAreaInsets();
    CGSize visible = bounds().size;
    bool vertical = adjustmentBehavior_ == Behavior::Always || alwaysBounceVertical_ ||
                    exceeds(contentSize_.height, contentInset_.top, contentInset_.bottom, visible.height);
    bool horizontal = adjustmentBehavior_ == Behavior::Always || alwaysBounceHorizontal_ ||
                      exceeds(contentSize_.width, contentInset_.left, contentInset_.right, visible.width);
    UIEdgeInsets adjusted = contentInset_;
    if (vertical) {
        adjusted.top += safe.top;
        adjusted.bottom += safe.bottom;
    }
    if (horizontal) {
        adjusted.left += safe.left;
        adjusted.right += safe.right;
    }
    return adjusted;
}

void UIScrollView::setZoomScale(CGFloat scale, bool) {
    scale = std::clamp(scale, minimumZoomScale_, std::max(minimumZoomScale_, maximumZoomScale_));
    if (scale == zoomScale_) return;
    zoomScale_ = scale;
    auto listener = delegate();
    if (!listener) return;
    Ref<UIScrollView> me = self<UIScrollView>();
    if (auto zoomed = listener->viewForZoomingInScrollView(me)) {
        // As on the phone: the zoomed view is scaled, its frame put back at
        // the content's origin, and the content is as large as that frame.
        zoomed->setTransform(CGAffineTransformMakeScale(scale, scale));
        CGRect frame = zoomed->frame();
        frame.origin = CGPointZero;
        zoomed->setFrame(frame);
        setContentSize(frame.size);
        // The content shrinks under an offset that stays: the offset is
        // brought back within the content.
        const CGPoint within = clampedToRestingRange(contentOffset());
        if (within != contentOffset()) setContentOffset(within);
    }
    listener->scrollViewDidZoom(me);
}

// --- Resting range ---

CGPoint UIScrollView::minimumContentOffset() const {
    UIEdgeInsets insets = adjustedContentInset();
    return {-insets.left, -insets.top};
}

CGPoint UIScrollView::maximumContentOffset() const {
    UIEdgeInsets insets = adjustedContentInset();
    CGSize visible = bounds().size;
    CGPoint minimum = minimumContentOffset();
    return {std::max(minimum.x, contentSize_.width + insets.right - visible.width),
            std::max(minimum.y, contentSize_.height + insets.bottom - visible.height)};
}

CGPoint UIScrollView::clampedToRestingRange(CGPoint offset) const {
    CGPoint minimum = minimumContentOffset(), maximum = maximumContentOffset();
    return {std::clamp(offset.x, minimum.x, maximum.x), std::clamp(offset.y, minimum.y, maximum.y)};
}

CGPoint UIScrollView::pagedTarget(CGPoint offset) const {
    CGSize page = bounds().size;
    auto snap = [](CGFloat value, CGFloat length) { return length > 0 ? std::round(value / length) * length : value; };
    return clampedToRestingRange({snap(offset.x, page.width), snap(offset.y, page.height)});
}

CGFloat UIScrollView::verticalDragToRestingEdge(bool end) const {
    return (end ? maximumContentOffset().y : minimumContentOffset().y) - contentOffset().y;
}

bool UIScrollView::scrollsVertically() const {
    UIEdgeInsets insets = adjustedContentInset();
    return scrollEnabled_ &&
           (alwaysBounceVertical_ || exceeds(contentSize_.height, insets.top, insets.bottom, bounds().size.height));
}

bool UIScrollView::scrollsHorizontally() const {
    UIEdgeInsets insets = adjustedContentInset();
    return scrollEnabled_ &&
           (alwaysBounceHorizontal_ || exceeds(contentSize_.width, insets.left, insets.right, bounds().size.width));
}

// --- Simulated drag ---

namespace {
constexpr double kMostDragSteps = 1e6;
}  // namespace

bool UIScrollView::handleDragBy(CGVector translation) {
    CGVector move{scrollsHorizontally() ? translation.dx : 0, scrollsVertically() ? translation.dy : 0};
    if (move.dx == 0 && move.dy == 0) return false;
    Ref<UIScrollView> me = self<UIScrollView>();
    auto listener = [this] { return delegate(); };

    tracking_ = true;
    dragging_ = true;
    if (auto d = listener()) d->scrollViewWillBeginDragging(me);

    // Steps of at most half the visible size, each followed by a layout, as
    // the frames of a real drag would be.
    CGSize visible = bounds().size;
    double lengths = std::max(visible.width > 0 ? std::fabs(move.dx) / visible.width : 0,
                              visible.height > 0 ? std::fabs(move.dy) / visible.height : 0);
    // Capped before the cast, so no distance (nor a NaN) overflows it.
    int steps = std::max(1, static_cast<int>(std::min(kMostDragSteps, std::ceil(lengths * 2))));
    CGPoint start = contentOffset();
    for (int step = 1; step <= steps; ++step) {
        CGPoint next{start.x + move.dx * step / steps, start.y + move.dy * step / steps};
        if (!bounces_) next = clampedToRestingRange(next);
        setContentOffset(next);
        layoutIfNeeded();
    }

    tracking_ = false;
    for (const auto& observer : liveObservers()) observer->scrollViewWillEndDragging(me);
    CGPoint target = pagingEnabled_ ? pagedTarget(contentOffset()) : clampedToRestingRange(contentOffset());
    if (auto d = listener()) d->scrollViewWillEndDraggingWithVelocityTargetContentOffset(me, CGPointZero, &target);
    bool decelerate = target != contentOffset();
    dragging_ = false;
    if (auto d = listener()) d->scrollViewDidEndDraggingWillDecelerate(me, decelerate);
    if (decelerate) {
        // The delegate may have changed the insets, so the target is
        // checked again.
        decelerating_ = true;
        setContentOffset(clampedToRestingRange(target));
        layoutIfNeeded();
        decelerating_ = false;
        if (auto d = listener()) d->scrollViewDidEndDecelerating(me);
    }
    return true;
}

void UIScrollView::layoutSubviews() {
    CGFloat top = adjustedContentInset().top;
    if (top == lastAdjustedTop_) return;
    bool restingAtTop = !dragging_ && contentOffset().y == -lastAdjustedTop_;
    lastAdjustedTop_ = top;
    if (restingAtTop) setContentOffset({contentOffset().x, -top});
}
