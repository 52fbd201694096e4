#include "uikit/UIView.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "foundation/NSLog.h"
#include "uikit/AnimationTransaction.h"
#include "uikit/LayoutEngine.h"
#include "uikit/UIControl.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UILayoutGuide.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"
#include "uikit/ViewConstraintState.h"

namespace {

// Shares a change of the superview's length among the flexible parts of one
// axis (leading margin, size, trailing margin) in proportion to their
// current lengths, or evenly when those are all zero.
void resizeAxis(CGFloat& origin, CGFloat& length, CGFloat oldTotal, CGFloat newTotal, bool flexibleLeading,
                bool flexibleLength, bool flexibleTrailing) {
    CGFloat delta = newTotal - oldTotal;
    int flexibleParts = flexibleLeading + flexibleLength + flexibleTrailing;
    if (delta == 0 || flexibleParts == 0) return;
    CGFloat leading = origin, trailing = oldTotal - origin - length;
    CGFloat total = (flexibleLeading ? leading : 0) + (flexibleLength ? length : 0) + (flexibleTrailing ? trailing : 0);
    auto share = [&](bool flexible, CGFloat part) {
        if (!flexible) return 0.0;
        return total > 0 ? delta * part / total : delta / flexibleParts;
    };
    CGFloat leadingShare = share(flexibleLeading, leading);
    CGFloat lengthShare = share(flexibleLength, length);
    origin += leadingShare;
    length += lengthShare;
}


}  // namespace

UIView::UIView() = default;

UIView::UIView(CGRect frame) : initialFrame_(frame) {}

UIView::~UIView() = default;

// --- Geometry ---

Ref<CALayer> UIView::layer() const {
    if (!layer_) {
        layer_ = makeBackingLayer();
        layer_->setFrame(initialFrame_);
        layer_->setDelegate(std::const_pointer_cast<UIView>(self<UIView>()));
    }
    return layer_;
}

CGRect UIView::frame() const { return layer()->frame(); }

void UIView::setFrame(CGRect frame) {
    CGRect oldFrame = this->frame();
    CGSize oldSize = bounds().size;
    layer()->setFrame(frame);
    boundsSizeChanged(oldSize);
    frameChanged(oldFrame);
}

CGRect UIView::bounds() const { return layer()->bounds(); }

void UIView::setBounds(CGRect bounds) {
    CGRect oldFrame = frame();
    CGSize oldSize = this->bounds().size;
    layer()->setBounds(bounds);
    boundsSizeChanged(oldSize);
    frameChanged(oldFrame);
}

CGPoint UIView::center() const { return layer()->position(); }

void UIView::setCenter(CGPoint center) {
    CGRect oldFrame = frame();
    layer()->setPosition(center);
    frameChanged(oldFrame);
}

void UIView::frameChanged(CGRect oldFrame) {
    if (constraintState_ && !(frame() == oldFrame)) LayoutEngine::viewFrameChanged(*this);
}

CGAffineTransform UIView::transform() const { return layer()->affineTransform(); }

void UIView::setTransform(CGAffineTransform transform) { layer()->setAffineTransform(transform); }

void UIView::boundsSizeChanged(CGSize oldSize) {
    CGSize newSize = bounds().size;
    if (newSize == oldSize) return;
    if (autoresizesSubviews_) {
        auto subviews = subviews_;
        for (const auto& subview : subviews) subview->autoresize(oldSize, newSize);
    }
    setNeedsLayout();
}

void UIView::autoresize(CGSize oldSuperSize, CGSize newSuperSize) {
    std::uint32_t mask = autoresizingMask_;
    if (mask == UIViewAutoresizingNone) return;
    CGRect frame = this->frame();
    resizeAxis(frame.origin.x, frame.size.width, oldSuperSize.width, newSuperSize.width,
               mask & UIViewAutoresizingFlexibleLeftMargin, mask & UIViewAutoresizingFlexibleWidth,
               mask & UIViewAutoresizingFlexibleRightMargin);
    resizeAxis(frame.origin.y, frame.size.height, oldSuperSize.height, newSuperSize.height,
               mask & UIViewAutoresizingFlexibleTopMargin, mask & UIViewAutoresizingFlexibleHeight,
               mask & UIViewAutoresizingFlexibleBottomMargin);
    setFrame(frame);
}

// --- The tree ---

void UIView::addSubview(const Ref<UIView>& view) { insertSubviewAt(view, subviews_.size()); }

void UIView::insertSubview(const Ref<UIView>& view, std::size_t index) { insertSubviewAt(view, index); }

void UIView::insertSubviewAboveSubview(const Ref<UIView>& view, const Ref<UIView>& sibling) {
    if (!view || view == sibling) return;
    if (view->superview().get() == this) std::erase(subviews_, view);
    auto at = std::find(subviews_.begin(), subviews_.end(), sibling);
    insertSubviewAt(view, at == subviews_.end() ? subviews_.size() : static_cast<std::size_t>(at - subviews_.begin()) + 1);
}

void UIView::insertSubviewBelowSubview(const Ref<UIView>& view, const Ref<UIView>& sibling) {
    if (!view || view == sibling) return;
    if (view->superview().get() == this) std::erase(subviews_, view);
    auto at = std::find(subviews_.begin(), subviews_.end(), sibling);
    insertSubviewAt(view, at == subviews_.end() ? 0 : static_cast<std::size_t>(at - subviews_.begin()));
}

void UIView::insertSubviewAt(const Ref<UIView>& view, std::size_t index) {
    // A view cannot contain itself or one of its ancestors.
    if (!view || isDescendantOfView(view)) return;
    Ref<UIView> me = self<UIView>();
    auto oldSuperview = view->superview();
    if (oldSuperview == me) {
        std::erase(subviews_, view);
        index = std::min(index, subviews_.size());
        subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(index), view);
        placeLayerOf(view, index);
        return;
    }
    if (oldSuperview) LayoutEngine::viewWillLeaveSuperview(*view);
    auto oldWindow = view->window();
    auto newWindow = window();
    if (oldSuperview) oldSuperview->willRemoveSubview(view);
    view->willMoveToSuperview(me);
    if (oldWindow != newWindow) view->notifyWindowChange(oldWindow, newWindow, false);
    if (oldSuperview) std::erase(oldSuperview->subviews_, view);
    index = std::min(index, subviews_.size());
    subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(index), view);
    view->superview_ = me;
    placeLayerOf(view, index);
    if (oldWindow != newWindow) view->notifyWindowChange(oldWindow, newWindow, true);
    view->didMoveToSuperview();
    didAddSubview(view);
    setNeedsLayout();
    view->setNeedsLayout();
}

// Keeps the layer tree in the subviews' order; layers that are not views'
// stay where they are, except that the first subview goes below them all.
void UIView::placeLayerOf(const Ref<UIView>& view, std::size_t index) {
    if (index == 0)
        layer()->insertSublayer(view->layer(), 0);
    else if (index + 1 < subviews_.size())
        layer()->insertSublayerBelow(view->layer(), subviews_[index + 1]->layer());
    else
        layer()->addSublayer(view->layer());
}

void UIView::removeFromSuperview() {
    auto parent = superview();
    if (!parent) return;
    Ref<UIView> me = self<UIView>();
    LayoutEngine::viewWillLeaveSuperview(*this);
    auto oldWindow = window();
    parent->willRemoveSubview(me);
    willMoveToSuperview(nullptr);
    if (oldWindow) notifyWindowChange(oldWindow, nullptr, false);
    std::erase(parent->subviews_, me);
    superview_.reset();
    layer()->removeFromSuperlayer();
    if (oldWindow) notifyWindowChange(oldWindow, nullptr, true);
    didMoveToSuperview();
}

void UIView::notifyWindowChange(const Ref<UIWindow>& oldWindow, const Ref<UIWindow>& newWindow, bool didMove) {
    auto controller = owningViewController();
    if (!didMove) {
        if (isFirstResponder()) forceResignFirstResponder();
        if (controller) controller->rootViewWillMoveToWindow(newWindow);
        willMoveToWindow(newWindow);
    }
    auto subviews = subviews_;
    for (const auto& subview : subviews) subview->notifyWindowChange(oldWindow, newWindow, didMove);
    if (didMove) {
        didMoveToWindow();
        if (controller) controller->rootViewDidMoveToWindow(newWindow);
        if (newWindow && needsLayout_) newWindow->scheduleLayoutPass();
    }
}

void UIView::bringSubviewToFront(const Ref<UIView>& view) {
    if (view && view->superview().get() == this) insertSubviewAt(view, subviews_.size());
}

void UIView::sendSubviewToBack(const Ref<UIView>& view) {
    if (view && view->superview().get() == this) insertSubviewAt(view, 0);
}

bool UIView::isDescendantOfView(const Ref<UIView>& view) const {
    if (!view) return false;
    for (const UIView* v = this; v; v = v->superview_.lock().get())
        if (v == view.get()) return true;
    return false;
}

Ref<UIWindow> UIView::window() const {
    auto parent = superview();
    return parent ? parent->window() : nullptr;
}

Ref<UIView> UIView::rootView() const {
    Ref<UIView> root = std::const_pointer_cast<UIView>(self<UIView>());
    while (auto parent = root->superview()) root = parent;
    return root;
}

Ref<UIResponder> UIView::nextResponder() const {
    if (auto controller = owningViewController()) return controller;
    return superview();
}

bool UIView::canTakeFocusNow() const { return window() != nullptr; }

// --- Tags ---

Ref<UIView> UIView::viewWithTag(long tag) {
    if (tag_ == tag) return self<UIView>();
    for (const auto& subview : subviews_)
        if (auto found = subview->viewWithTag(tag)) return found;
    return nullptr;
}

// --- Appearance ---

bool UIView::isHidden() const { return layer()->isHidden(); }

void UIView::setHidden(bool hidden) { layer()->setHidden(hidden); }

CGFloat UIView::alpha() const { return layer()->opacity(); }

void UIView::setAlpha(CGFloat alpha) { layer()->setOpacity(alpha); }

std::optional<UIColor> UIView::backgroundColor() const { return layer()->backgroundColor(); }

void UIView::setBackgroundColor(std::optional<UIColor> color) { layer()->setBackgroundColor(color); }

bool UIView::clipsToBounds() const { return layer()->masksToBounds(); }

void UIView::setClipsToBounds(bool clips) { layer()->setMasksToBounds(clips); }

UIColor UIView::tintColor() const {
    if (tintColor_) return *tintColor_;
    if (auto parent = superview()) return parent->tintColor();
    return UIColor::colorWithRed(0, 122.0 / 255, 1, 1);
}

// --- Touches ---

Ref<UIView> UIView::hitTest(CGPoint point, UIEvent* event) {
    // Two buttons 6 points apart, each with a 44-point touch area: a touch
    // on the lower part of the upper one goes to it, not to the lower one
    // whose area reaches over it from in front.
    auto held = hitTestWithin(point, event, TouchArea::OwnBounds);
    for (auto view = held; view; view = view.get() == this ? nullptr : view->superview())
        if (cast<UIControl>(view)) return held;
    return hitTestWithin(point, event, TouchArea::Enlarged);
}

Ref<UIView> UIView::hitTestWithin(CGPoint point, UIEvent* event, TouchArea area) {
    if (isHidden() || !userInteractionEnabled_ || alpha() < 0.01) return nullptr;
    if (area == TouchArea::OwnBounds && !CGRectContainsPoint(bounds(), point)) return nullptr;
    if (!pointInside(point, event)) return nullptr;
    // Front-most first. With the larger areas, a control (or a view inside
    // one) lets the search go on behind it, and of the controls found the one
    // whose own bounds lie nearest the point takes it, the front-most on a
    // tie; any other view that takes the point hides what lies behind it,
    // also when the point lies in a control's larger area in it (a pop-up's
    // card beside its button): the point stays with that control.
    Ref<UIView> nearest;
    CGFloat nearestDistance = 0;
    auto subviews = subviews_;
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        const Ref<UIView>& subview = *it;
        CGPoint inSubview =
            CGPointApplyAffineTransform(point, CGAffineTransformInvert(subview->layer()->transformToSuperlayer()));
        auto hit = subview->hitTestWithin(inSubview, event, area);
        if (!hit) continue;
        if (area == TouchArea::OwnBounds) return hit;
        Ref<UIView> control;
        for (auto view = hit; view && !control; view = view == subview ? nullptr : view->superview())
            if (cast<UIControl>(view)) control = view;
        if (!control) return nearest ? nearest : hit;
        const CGFloat distance = control->distanceFromBounds(point, self<UIView>());
        if (!nearest || distance < nearestDistance) {
            nearest = hit;
            nearestDistance = distance;
        }
        if (distance == 0 || subview->hitTestWithin(inSubview, event, TouchArea::OwnBounds)) break;
    }
    return nearest ? nearest : self<UIView>();
}

CGFloat UIView::distanceFromBounds(CGPoint point, const Ref<UIView>& space) const {
    const CGPoint inside = convertPointFromView(point, space);
    const CGRect own = bounds();
    if (CGRectContainsPoint(own, inside)) return 0;
    const CGPoint closest{std::clamp(inside.x, CGRectGetMinX(own), CGRectGetMaxX(own)),
                          std::clamp(inside.y, CGRectGetMinY(own), CGRectGetMaxY(own))};
    const CGPoint there = convertPointToView(closest, space);
    return std::hypot(there.x - point.x, there.y - point.y);
}

bool UIView::pointInside(CGPoint point, UIEvent*) { return CGRectContainsPoint(bounds(), point); }

bool UIView::handleTapAt(CGPoint point) { return UIGestureRecognizer::offerTap(gestureRecognizers_, point).recognized; }

bool UIView::endEditing(bool force) {
    auto editing = std::dynamic_pointer_cast<UIView>(currentFirstResponder());
    if (!editing || !editing->isDescendantOfView(self<UIView>())) return true;
    return force ? editing->forceResignFirstResponder() : editing->resignFirstResponder();
}

void UIView::addGestureRecognizer(const Ref<UIGestureRecognizer>& recognizer) {
    if (!recognizer) return;
    if (auto previous = recognizer->view(); previous && previous.get() != this) previous->removeGestureRecognizer(recognizer);
    if (std::find(gestureRecognizers_.begin(), gestureRecognizers_.end(), recognizer) == gestureRecognizers_.end())
        gestureRecognizers_.push_back(recognizer);
    recognizer->view_ = self<UIView>();
}

void UIView::removeGestureRecognizer(const Ref<UIGestureRecognizer>& recognizer) {
    if (!recognizer) return;
    auto at = std::find(gestureRecognizers_.begin(), gestureRecognizers_.end(), recognizer);
    if (at == gestureRecognizers_.end()) return;
    gestureRecognizers_.erase(at);
    recognizer->view_.reset();
}

// --- Coordinates ---

CGPoint UIView::convertPointToView(CGPoint point, const Ref<UIView>& view) const {
    Ref<UIView> target = view ? view : window();
    return layer()->convertPoint(point, target ? target->layer().get() : nullptr);
}

CGPoint UIView::convertPointFromView(CGPoint point, const Ref<UIView>& view) const {
    Ref<UIView> source = view ? view : window();
    if (source) return source->layer()->convertPoint(point, layer().get());
    // Not in a window: the point is in the space the root view is placed in.
    auto root = rootView();
    CGPoint inRoot =
        CGPointApplyAffineTransform(point, CGAffineTransformInvert(root->layer()->transformToSuperlayer()));
    return root->layer()->convertPoint(inRoot, layer().get());
}

CGRect UIView::convertRectToView(CGRect rect, const Ref<UIView>& view) const {
    return CGRectBoundingBoxOfCorners(rect, [&](CGPoint p) { return convertPointToView(p, view); });
}

CGRect UIView::convertRectFromView(CGRect rect, const Ref<UIView>& view) const {
    return CGRectBoundingBoxOfCorners(rect, [&](CGPoint p) { return convertPointFromView(p, view); });
}

// --- Layout ---

void UIView::setNeedsLayout() {
    needsLayout_ = true;
    if (auto w = window()) w->scheduleLayoutPass();
}

void UIView::layoutIfNeeded() {
    Ref<UIView> keepAlive = self<UIView>();
    updateConstraintsIfNeeded();
    layoutSubtreeIfNeeded();
}

void UIView::layoutSubtreeIfNeeded() {
    if (needsLayout_) {
        needsLayout_ = false;
        LayoutEngine::applyConstraintFrames(*this);
        layoutSubviews();
    }
    auto subviews = subviews_;
    for (const auto& subview : subviews) subview->layoutSubtreeIfNeeded();
}

CGSize UIView::sizeThatFits(CGSize) { return bounds().size; }

void UIView::sizeToFit() {
    CGRect frame = this->frame();
    frame.size = sizeThatFits(bounds().size);
    setFrame(frame);
}

CGSize UIView::intrinsicContentSize() { return {UIViewNoIntrinsicMetric, UIViewNoIntrinsicMetric}; }

void UIView::invalidateIntrinsicContentSize() {
    setNeedsLayout();
    if (auto parent = superview()) parent->setNeedsLayout();
    if (constraintState_) LayoutEngine::viewContentChanged(*this);
}

UIEdgeInsets UIView::safeAreaInsets() const {
    auto w = window();
    if (!w) return UIEdgeInsetsZero;
    UIEdgeInsets windowInsets = w->safeAreaInsets();
    CGRect inWindow = convertRectToView(bounds(), w);
    CGRect windowBounds = w->bounds();
    auto overlap = [](CGFloat amount, CGFloat limit) { return std::clamp(amount, 0.0, std::max(0.0, limit)); };
    return {overlap(CGRectGetMinY(windowBounds) + windowInsets.top - CGRectGetMinY(inWindow), inWindow.size.height),
            overlap(CGRectGetMinX(windowBounds) + windowInsets.left - CGRectGetMinX(inWindow), inWindow.size.width),
            overlap(CGRectGetMaxY(inWindow) - (CGRectGetMaxY(windowBounds) - windowInsets.bottom), inWindow.size.height),
            overlap(CGRectGetMaxX(inWindow) - (CGRectGetMaxX(windowBounds) - windowInsets.right), inWindow.size.width)};
}

// --- Constraint layout ---

ViewConstraintState& UIView::constraintState() {
    if (!constraintState_) constraintState_ = std::make_unique<ViewConstraintState>();
    return *constraintState_;
}

bool UIView::translatesAutoresizingMaskIntoConstraints() const {
    return !constraintState_ || constraintState_->translatesAutoresizingMaskIntoConstraints;
}

void UIView::setTranslatesAutoresizingMaskIntoConstraints(bool translates) {
    if (translates == translatesAutoresizingMaskIntoConstraints()) return;
    constraintState().translatesAutoresizingMaskIntoConstraints = translates;
    LayoutEngine::viewContentChanged(*this);
}

const std::vector<Ref<NSLayoutConstraint>>& UIView::constraints() const {
    static const std::vector<Ref<NSLayoutConstraint>> none;
    return constraintState_ ? constraintState_->constraints : none;
}

void UIView::addConstraint(const Ref<NSLayoutConstraint>& constraint) {
    if (!constraint) return;
    Ref<UIView> me = self<UIView>();
    if (constraint->active_) {
        if (constraint->container_.lock() == me) return;
        constraint->setActive(false);
    }
    auto within = [&](const Ref<NSObject>& item) {
        auto view = LayoutEngine::viewOfItem(item);
        return view && view->isDescendantOfView(me);
    };
    if (!within(constraint->firstItem()) || (constraint->hasSecondItem() && !within(constraint->secondItem()))) {
        NSLog("Unable to install constraint on a view that does not contain its items: " + constraint->description());
        return;
    }
    static std::uint64_t activations = 0;
    constraintState().constraints.push_back(constraint);
    constraint->container_ = me;
    constraint->active_ = true;
    constraint->activationOrder_ = ++activations;
    LayoutEngine::constraintInstalled(constraint);
}

void UIView::addConstraints(const std::vector<Ref<NSLayoutConstraint>>& constraints) {
    for (const auto& constraint : constraints) addConstraint(constraint);
}

void UIView::removeConstraint(const Ref<NSLayoutConstraint>& constraint) {
    if (!constraint || !constraintState_) return;
    auto& installed = constraintState_->constraints;
    auto at = std::find(installed.begin(), installed.end(), constraint);
    if (at == installed.end()) return;
    installed.erase(at);
    constraint->active_ = false;
    constraint->container_.reset();
    LayoutEngine::constraintChanged(*constraint);
}

void UIView::removeConstraints(const std::vector<Ref<NSLayoutConstraint>>& constraints) {
    for (const auto& constraint : constraints) removeConstraint(constraint);
}

UILayoutPriority UIView::contentHuggingPriorityForAxis(UILayoutConstraintAxis axis) const {
    return constraintState_ ? constraintState_->contentHugging[static_cast<int>(axis)] : UILayoutPriorityDefaultLow;
}

void UIView::setContentHuggingPriority(UILayoutPriority priority, UILayoutConstraintAxis axis) {
    constraintState().contentHugging[static_cast<int>(axis)] = priority;
    LayoutEngine::viewContentChanged(*this);
}

UILayoutPriority UIView::contentCompressionResistancePriorityForAxis(UILayoutConstraintAxis axis) const {
    return constraintState_ ? constraintState_->compressionResistance[static_cast<int>(axis)]
                            : UILayoutPriorityDefaultHigh;
}

void UIView::setContentCompressionResistancePriority(UILayoutPriority priority, UILayoutConstraintAxis axis) {
    constraintState().compressionResistance[static_cast<int>(axis)] = priority;
    LayoutEngine::viewContentChanged(*this);
}

CGSize UIView::systemLayoutSizeFittingSize(CGSize targetSize) {
    return systemLayoutSizeFittingSize(targetSize, UILayoutPriorityFittingSizeLevel, UILayoutPriorityFittingSizeLevel);
}

CGSize UIView::systemLayoutSizeFittingSize(CGSize targetSize, UILayoutPriority horizontalFittingPriority,
                                           UILayoutPriority verticalFittingPriority) {
    return LayoutEngine::fittingSize(*this, targetSize, horizontalFittingPriority, verticalFittingPriority);
}

void UIView::setNeedsUpdateConstraints() {
    constraintState().needsUpdateConstraints = true;
    setNeedsLayout();
}

bool UIView::needsUpdateConstraints() const { return constraintState_ && constraintState_->needsUpdateConstraints; }

void UIView::updateConstraintsIfNeeded() {
    auto subviews = subviews_;
    for (const auto& subview : subviews) subview->updateConstraintsIfNeeded();
    if (needsUpdateConstraints()) {
        constraintState_->needsUpdateConstraints = false;
        updateConstraints();
    }
}

Ref<UILayoutGuide> UIView::safeAreaLayoutGuide() {
    auto& guide = constraintState().safeAreaLayoutGuide;
    if (!guide) guide = make<UILayoutGuide>(self<UIView>());
    return guide;
}

// --- Drawing ---

void UIView::drawRect(CGRect) {}

void UIView::drawLayerInContext(CALayer&, const CGContextRef&) { drawRect(bounds()); }

// --- Animations ---

void UIView::animateWithDuration(double duration, const std::function<void()>& animations,
                                 AnimationCompletion completion) {
    AnimationTransaction::run(duration, 0, animations, std::move(completion));
}

void UIView::animateWithDuration(double duration, double delay, UIViewAnimationOptions,
                                 const std::function<void()>& animations, AnimationCompletion completion) {
    AnimationTransaction::run(duration, delay, animations, std::move(completion));
}

void UIView::animateWithDuration(double duration, double delay, CGFloat, CGFloat, UIViewAnimationOptions,
                                 const std::function<void()>& animations, AnimationCompletion completion) {
    AnimationTransaction::run(duration, delay, animations, std::move(completion));
}

void UIView::performWithoutAnimation(const std::function<void()>& actions) {
    if (actions) actions();
}

void UIView::beginAnimations(std::string animationID, void* context) {
    AnimationTransaction::begin(std::move(animationID), context);
}

void UIView::commitAnimations() { AnimationTransaction::commit(); }

void UIView::setAnimationDuration(double duration) {
    if (auto* open = AnimationTransaction::current()) open->duration = duration;
}

void UIView::setAnimationDelay(double delay) {
    if (auto* open = AnimationTransaction::current()) open->delay = delay;
}

void UIView::setAnimationCurve(UIViewAnimationCurve) {}

void UIView::setAnimationDelegate(const Ref<NSObject>& delegate) {
    if (auto* open = AnimationTransaction::current()) open->delegate = delegate;
}

void UIView::setAnimationDidStopSelector(AnimationDidStop didStop) {
    if (auto* open = AnimationTransaction::current()) open->didStop = std::move(didStop);
}

void UIView::setAnimationsEnabled(bool enabled) { AnimationTransaction::setEnabled(enabled); }

bool UIView::areAnimationsEnabled() { return AnimationTransaction::isEnabled(); }

void UIView::setAssociatedObject(const void* key, std::shared_ptr<void> object) {
    // The replaced object is let go after the list is consistent again: its
    // end may run code that looks at this view.
    std::shared_ptr<void> replaced;
    auto found = std::find_if(associatedObjects_.begin(), associatedObjects_.end(),
                              [key](const auto& entry) { return entry.first == key; });
    if (found != associatedObjects_.end()) {
        replaced = std::move(found->second);
        if (object) found->second = std::move(object);
        else associatedObjects_.erase(found);
    } else if (object) {
        associatedObjects_.emplace_back(key, std::move(object));
    }
}

std::shared_ptr<void> UIView::associatedObject(const void* key) const {
    for (const auto& [entryKey, object] : associatedObjects_) {
        if (entryKey == key) return object;
    }
    return nullptr;
}

std::string UIView::description() const {
    CGRect f = frame();
    char text[160];
    std::snprintf(text, sizeof text, "; frame = (%g %g; %g %g)>", f.origin.x, f.origin.y, f.size.width, f.size.height);
    std::string base = NSObject::description();
    base.pop_back();
    return base + text;
}
