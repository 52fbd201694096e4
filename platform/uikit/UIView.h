#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "graphics/CGAffineTransform.h"
#include "graphics/CGGeometry.h"
#include "graphics/UIColor.h"
#include "graphics/UIEdgeInsets.h"
#include "uikit/CALayer.h"
#include "uikit/NSLayoutConstraint.h"
#include "uikit/UIResponder.h"

class UIEvent;
class UIGestureRecognizer;
class UILayoutGuide;
struct ViewConstraintState;
class UIViewController;
class UIWindow;

enum class UIViewContentMode {
    ScaleToFill,
    ScaleAspectFit,
    ScaleAspectFill,
    Redraw,
    Center,
    Top,
    Bottom,
    Left,
    Right,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight,
};

// Which margins and sizes of a view follow its superview's size changes.
enum UIViewAutoresizing : std::uint32_t {
    UIViewAutoresizingNone = 0,
    UIViewAutoresizingFlexibleLeftMargin = 1u << 0,
    UIViewAutoresizingFlexibleWidth = 1u << 1,
    UIViewAutoresizingFlexibleRightMargin = 1u << 2,
    UIViewAutoresizingFlexibleTopMargin = 1u << 3,
    UIViewAutoresizingFlexibleHeight = 1u << 4,
    UIViewAutoresizingFlexibleBottomMargin = 1u << 5,
};
inline UIViewAutoresizing operator|(UIViewAutoresizing a, UIViewAutoresizing b) {
    return static_cast<UIViewAutoresizing>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

enum UIViewAnimationOptions : std::uint32_t {
    UIViewAnimationOptionLayoutSubviews = 1u << 0,
    UIViewAnimationOptionAllowUserInteraction = 1u << 1,
    UIViewAnimationOptionBeginFromCurrentState = 1u << 2,
    UIViewAnimationOptionRepeat = 1u << 3,
    UIViewAnimationOptionAutoreverse = 1u << 4,
    UIViewAnimationOptionCurveEaseInOut = 0,
    UIViewAnimationOptionCurveEaseIn = 1u << 16,
    UIViewAnimationOptionCurveEaseOut = 2u << 16,
    UIViewAnimationOptionCurveLinear = 3u << 16,
};
inline UIViewAnimationOptions operator|(UIViewAnimationOptions a, UIViewAnimationOptions b) {
    return static_cast<UIViewAnimationOptions>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

enum class UIViewAnimationCurve { EaseInOut, EaseIn, EaseOut, Linear };

// What a view answers for "no intrinsic size along this axis".
inline constexpr CGFloat UIViewNoIntrinsicMetric = -1;

// Targets of systemLayoutSizeFittingSize: as small / as large as the layout allows.
inline constexpr CGSize UILayoutFittingCompressedSize{0, 0};
inline constexpr CGSize UILayoutFittingExpandedSize{1e6, 1e6};

// A rectangle on screen: geometry, a place in the view tree, appearance,
// layout, hit testing and drawing. Every view is backed by a CALayer (its
// `layer()`), which holds the geometry and appearance and renders the view
// tree: a subview's layer is a sublayer of its superview's layer, in the same
// order as the subviews.
//
// Subclassing (the extension points):
// - Set-up goes in `didCreate()`; do not use the view from a constructor,
//   where it is not yet owned by a Ref (its layer is made on first use).
// - `makeBackingLayer()` picks the layer class (a shape or gradient layer).
// - `layoutSubviews()` positions subviews; it runs in the layout pass that
//   follows setNeedsLayout (posted to the main queue when the view is in a
//   window) or on layoutIfNeeded, from the window down. Subviews placed by
//   constraints already have their frames when it runs.
// - `updateConstraints()` makes or changes constraints before a layout pass,
//   when asked by setNeedsUpdateConstraints.
// - `sizeThatFits()` and `intrinsicContentSize()` report a natural size.
// - `drawRect()` draws the view's own content over its background.
// - `pointInside()` can enlarge or shrink the touch area (an enlarged one
//   yields to the controls whose own bounds hold the point, see hitTest);
//   `hitTestWithin()` finds the deepest view under a point as UIKit does.
// - `handleTapAt()` is how a simulated tap reaches a view (see UIDriver):
//   controls send their actions, tables select cells; the default offers the
//   tap to the view's gesture recognizers.
// - accessibilityLabel/accessibilityValue are what the driver finds a view by
//   and prints: labels and buttons answer their text, text fields their
//   placeholder (label) and text (value).
// - The move hooks (willMoveToSuperview... didAddSubview, willRemoveSubview)
//   run as UIKit runs them.
class UIView : public UIResponder, public CALayerDelegate {
public:
    UIView();
    explicit UIView(CGRect frame);
    ~UIView() override;

    // --- Geometry (in the superview's space, except bounds) ---
    CGRect frame() const;
    void setFrame(CGRect frame);
    CGRect bounds() const;
    void setBounds(CGRect bounds);
    CGPoint center() const;
    void setCenter(CGPoint center);
    CGAffineTransform transform() const;
    void setTransform(CGAffineTransform transform);

    // --- The tree ---
    Ref<UIView> superview() const { return superview_.lock(); }
    const std::vector<Ref<UIView>>& subviews() const { return subviews_; }
    // Adding a view that is already elsewhere moves it; adding it again to
    // the same superview brings it to the front.
    void addSubview(const Ref<UIView>& view);
    // Index clamped to the number of subviews.
    void insertSubview(const Ref<UIView>& view, std::size_t index);
    // At the front/back when `sibling` is not a subview.
    void insertSubviewAboveSubview(const Ref<UIView>& view, const Ref<UIView>& sibling);
    void insertSubviewBelowSubview(const Ref<UIView>& view, const Ref<UIView>& sibling);
    void removeFromSuperview();
    void bringSubviewToFront(const Ref<UIView>& view);
    void sendSubviewToBack(const Ref<UIView>& view);
    // True for the view itself too.
    bool isDescendantOfView(const Ref<UIView>& view) const;
    // The window the view is in (itself for a window), or null.
    virtual Ref<UIWindow> window() const;

    // The controller whose root view this is, or null (set by UIViewController).
    Ref<UIViewController> owningViewController() const { return owningController_.lock(); }
    void setOwningViewController(const Ref<UIViewController>& controller) { owningController_ = controller; }
    // The owning controller, else the superview.
    Ref<UIResponder> nextResponder() const override;

    // --- Tags and accessibility ---
    long tag() const { return tag_; }
    void setTag(long tag) { tag_ = tag; }
    // The view itself or the first descendant (depth first) with the tag.
    Ref<UIView> viewWithTag(long tag);
    const std::string& accessibilityIdentifier() const { return accessibilityIdentifier_; }
    void setAccessibilityIdentifier(std::string identifier) { accessibilityIdentifier_ = std::move(identifier); }
    // The label set explicitly, else what the view shows as its name.
    virtual std::string accessibilityLabel() const { return accessibilityLabel_; }
    void setAccessibilityLabel(std::string label) { accessibilityLabel_ = std::move(label); }
    // The view's current value as text (a field's text); empty by default.
    virtual std::string accessibilityValue() const { return {}; }

    // --- Appearance (kept on the layer) ---
    bool isHidden() const;
    // Windows override it to join or leave the application's visible windows.
    virtual void setHidden(bool hidden);
    CGFloat alpha() const;
    void setAlpha(CGFloat alpha);
    bool isOpaque() const { return opaque_; }
    void setOpaque(bool opaque) { opaque_ = opaque; }
    // Null (no background) by default.
    std::optional<UIColor> backgroundColor() const;
    void setBackgroundColor(std::optional<UIColor> color);
    bool clipsToBounds() const;
    void setClipsToBounds(bool clips);
    UIViewContentMode contentMode() const { return contentMode_; }
    void setContentMode(UIViewContentMode mode) { contentMode_ = mode; }
    // Set explicitly, else the superview's, else the system blue.
    UIColor tintColor() const;
    void setTintColor(std::optional<UIColor> color) { tintColor_ = color; }

    // --- Touches ---
    bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }
    // The view a touch at the point (in this view's bounds space) goes to:
    // the deepest visible, interactive view containing it, front-most
    // subviews first; null when the view is hidden, nearly transparent
    // (alpha < 0.01), not interactive, or the point is outside it.
    // A touch area larger than a view's bounds (pointInside) takes only
    // points that no control holds in its own bounds: the search is made
    // first with every view's own bounds, and when that lands in a control
    // (or a view inside one) the control keeps the touch, though a view in
    // front reaches over it with a larger touch area; otherwise the larger
    // areas count, and of the controls whose larger area holds the point
    // the one whose own bounds lie nearest takes it (the front-most on a
    // tie). Any other view that takes the point still hides what lies
    // behind it, also one that takes it in its own bounds while a control
    // in it holds it in a larger area (a pop-up's card beside its button):
    // the point goes to that control, never behind the card.
    Ref<UIView> hitTest(CGPoint point, UIEvent* event = nullptr);
    // Which touch areas one search counts: the bounds (cut by pointInside),
    // or what pointInside answers, larger areas included.
    enum class TouchArea { OwnBounds, Enlarged };
    // One search of hitTest, counting the given touch areas; subclasses
    // that let touches through, or keep them all, override it.
    virtual Ref<UIView> hitTestWithin(CGPoint point, UIEvent* event, TouchArea area);
    // Whether the point (bounds space) counts as inside: within the bounds.
    virtual bool pointInside(CGPoint point, UIEvent* event = nullptr);
    // How far the point (in `space`'s bounds space) lies from this view's
    // bounds, measured in `space`: 0 inside them.
    CGFloat distanceFromBounds(CGPoint point, const Ref<UIView>& space) const;
    // A simulated tap at a point of the view's bounds: true when the view
    // handled it. The default offers it to the enabled gesture recognizers.
    virtual bool handleTapAt(CGPoint point);

    // Ends editing in the view or a subview: the first responder there
    // resigns, asked first unless `force`. True when none is left editing.
    bool endEditing(bool force);

    void addGestureRecognizer(const Ref<UIGestureRecognizer>& recognizer);
    void removeGestureRecognizer(const Ref<UIGestureRecognizer>& recognizer);
    const std::vector<Ref<UIGestureRecognizer>>& gestureRecognizers() const { return gestureRecognizers_; }

    // --- Coordinates: a null view means the window's space ---
    CGPoint convertPointToView(CGPoint point, const Ref<UIView>& view) const;
    CGPoint convertPointFromView(CGPoint point, const Ref<UIView>& view) const;
    CGRect convertRectToView(CGRect rect, const Ref<UIView>& view) const;
    CGRect convertRectFromView(CGRect rect, const Ref<UIView>& view) const;

    // --- Layout ---
    UIViewAutoresizing autoresizingMask() const { return autoresizingMask_; }
    void setAutoresizingMask(UIViewAutoresizing mask) { autoresizingMask_ = mask; }
    bool autoresizesSubviews() const { return autoresizesSubviews_; }
    void setAutoresizesSubviews(bool resizes) { autoresizesSubviews_ = resizes; }
    void setNeedsLayout();
    bool needsLayout() const { return needsLayout_; }
    // Runs layoutSubviews if layout is pending, then does the same for the
    // subviews, top down.
    void layoutIfNeeded();
    virtual void layoutSubviews() {}
    // The size the view would like within `size`; the current size by default.
    virtual CGSize sizeThatFits(CGSize size);
    // Resizes the view to sizeThatFits(its size), keeping its origin.
    void sizeToFit();
    // The natural size from the content; UIViewNoIntrinsicMetric on both axes by default.
    virtual CGSize intrinsicContentSize();
    // The content changed size: lays the superview out again.
    virtual void invalidateIntrinsicContentSize();
    // The part of the window's safe-area insets (status bar, notch, home
    // indicator) that overlaps the view; zero outside a window.
    virtual UIEdgeInsets safeAreaInsets() const;

    // --- Constraint layout ---
    // Constraints place the views that do not translate their frame into
    // constraints (false; the constraint DSLs set it for the views they
    // constrain): such a view gets its frame from the solved constraints in
    // its superview's layout pass, before the superview's layoutSubviews.
    // Views that keep the default (true) are placed by their frames, and
    // constraints that refer to them read those as they are. Positions are
    // in the superview's space, its bounds' origin (a scroll offset) not
    // counted, so constrained content scrolls with it.
    //
    // A view with an intrinsic content size on an axis (labels, buttons,
    // image views) resists growing beyond it with its hugging priority and
    // shrinking below it with its compression resistance; a multi-line label
    // without a preferred width wraps at the width the constraints give it.
    bool translatesAutoresizingMaskIntoConstraints() const;
    void setTranslatesAutoresizingMaskIntoConstraints(bool translates);
    // The active constraints installed on this view.
    const std::vector<Ref<NSLayoutConstraint>>& constraints() const;
    // Installs and activates; ignored (with a logged line) unless the
    // constraint's items are this view or within it.
    void addConstraint(const Ref<NSLayoutConstraint>& constraint);
    void addConstraints(const std::vector<Ref<NSLayoutConstraint>>& constraints);
    // Deactivates the constraint when it is installed here.
    void removeConstraint(const Ref<NSLayoutConstraint>& constraint);
    void removeConstraints(const std::vector<Ref<NSLayoutConstraint>>& constraints);
    // Hugging: 250 by default; compression resistance: 750.
    UILayoutPriority contentHuggingPriorityForAxis(UILayoutConstraintAxis axis) const;
    void setContentHuggingPriority(UILayoutPriority priority, UILayoutConstraintAxis axis);
    UILayoutPriority contentCompressionResistancePriorityForAxis(UILayoutConstraintAxis axis) const;
    void setContentCompressionResistancePriority(UILayoutPriority priority, UILayoutConstraintAxis axis);
    // The size the constraints within this view give it when its width and
    // height are pulled towards the target's with the given priorities
    // (required: exactly). Only constraints between this view and views
    // inside it count; the view's own frame, its superview and its
    // autoresizing mask play no part, and no frame changes. A view whose
    // constraints leave an axis free answers the target on that axis.
    // Without constraints inside, it answers sizeThatFits(targetSize).
    // Automatic row heights call it on a cell's content view with the row's
    // width (required) and UILayoutFittingCompressedSize's height at the
    // fitting-size level. The one-argument form uses that level on both axes
    // (cells override it to measure their content view).
    virtual CGSize systemLayoutSizeFittingSize(CGSize targetSize);
    CGSize systemLayoutSizeFittingSize(CGSize targetSize, UILayoutPriority horizontalFittingPriority,
                                       UILayoutPriority verticalFittingPriority);
    // Makes or changes constraints; runs before the next layout pass for the
    // views that asked with setNeedsUpdateConstraints.
    virtual void updateConstraints() {}
    void setNeedsUpdateConstraints();
    bool needsUpdateConstraints() const;
    // Runs updateConstraints, subviews first, where it was asked for.
    void updateConstraintsIfNeeded();
    // The view's bounds less its safe-area insets, for constraints.
    Ref<UILayoutGuide> safeAreaLayoutGuide();
    // The view's constraint-layout record, made on first use: for the layout engine.
    ViewConstraintState& constraintState();
    ViewConstraintState* existingConstraintState() const { return constraintState_.get(); }

    // --- Drawing ---
    Ref<CALayer> layer() const;
    // The view's own content, in its bounds space, into the current context.
    virtual void drawRect(CGRect rect);
    void setNeedsDisplay() {}

    // --- Animations ---
    // The new values apply at once; the completion runs with true on the main
    // loop once delay + duration have passed on its clock.
    using AnimationCompletion = std::function<void(bool finished)>;
    static void animateWithDuration(double duration, const std::function<void()>& animations,
                                    AnimationCompletion completion = nullptr);
    static void animateWithDuration(double duration, double delay, UIViewAnimationOptions options,
                                    const std::function<void()>& animations, AnimationCompletion completion = nullptr);
    // The spring form; damping and velocity are accepted as given.
    static void animateWithDuration(double duration, double delay, CGFloat damping, CGFloat velocity,
                                    UIViewAnimationOptions options, const std::function<void()>& animations,
                                    AnimationCompletion completion = nullptr);
    static void performWithoutAnimation(const std::function<void()>& actions);
    // The older form: changes between begin and commit are one animation; at
    // its end the did-stop callback runs with the animation's id and context.
    using AnimationDidStop = std::function<void(const std::string& animationID, bool finished, void* context)>;
    static void beginAnimations(std::string animationID = {}, void* context = nullptr);
    static void commitAnimations();
    static void setAnimationDuration(double duration);
    static void setAnimationDelay(double delay);
    static void setAnimationCurve(UIViewAnimationCurve curve);
    // The delegate is kept alive until its did-stop callback has run.
    static void setAnimationDelegate(const Ref<NSObject>& delegate);
    static void setAnimationDidStopSelector(AnimationDidStop didStop);
    static void setAnimationsEnabled(bool enabled);
    static bool areAnimationsEnabled();

    // --- Move hooks ---
    virtual void willMoveToSuperview(const Ref<UIView>& /*newSuperview*/) {}
    virtual void didMoveToSuperview() {}
    virtual void willMoveToWindow(const Ref<UIWindow>& /*newWindow*/) {}
    virtual void didMoveToWindow() {}
    virtual void didAddSubview(const Ref<UIView>& /*subview*/) {}
    virtual void willRemoveSubview(const Ref<UIView>& /*subview*/) {}

    // --- Objects tied to the view's life ---
    // Keeps `object` under `key` while the view lives (null removes it); a
    // later object under the same key replaces the earlier, which is let go.
    // What others do for the view can so end with it: web image loads are
    // cancelled when their view goes away.
    void setAssociatedObject(const void* key, std::shared_ptr<void> object);
    std::shared_ptr<void> associatedObject(const void* key) const;

    // "<UIView: 0x...; frame = (x y; w h)>"
    std::string description() const override;

protected:
    // The layer the view is backed by; a plain CALayer by default.
    virtual Ref<CALayer> makeBackingLayer() const { return CALayer::layer(); }
    bool canTakeFocusNow() const override;
    void drawLayerInContext(CALayer& layer, const CGContextRef& context) override;

private:
    void insertSubviewAt(const Ref<UIView>& view, std::size_t index);
    void placeLayerOf(const Ref<UIView>& view, std::size_t index);
    void boundsSizeChanged(CGSize oldSize);
    // Tells the constraint layout that the frame moved or resized.
    void frameChanged(CGRect oldFrame);
    // The layout pass below layoutIfNeeded: constraint frames of the
    // subviews, then layoutSubviews, then the same for the subviews.
    void layoutSubtreeIfNeeded();
    void autoresize(CGSize oldSuperSize, CGSize newSuperSize);
    // Runs the window hooks over the subtree when its window changes.
    void notifyWindowChange(const Ref<UIWindow>& oldWindow, const Ref<UIWindow>& newWindow, bool didMove);
    Ref<UIView> rootView() const;

    CGRect initialFrame_{};
    mutable Ref<CALayer> layer_;
    WeakRef<UIView> superview_;
    std::vector<Ref<UIView>> subviews_;
    WeakRef<UIViewController> owningController_;
    std::vector<Ref<UIGestureRecognizer>> gestureRecognizers_;
    long tag_ = 0;
    std::string accessibilityIdentifier_;
    std::string accessibilityLabel_;
    bool opaque_ = true;
    UIViewContentMode contentMode_ = UIViewContentMode::ScaleToFill;
    std::optional<UIColor> tintColor_;
    bool userInteractionEnabled_ = true;
    UIViewAutoresizing autoresizingMask_ = UIViewAutoresizingNone;
    bool autoresizesSubviews_ = true;
    bool needsLayout_ = true;
    std::unique_ptr<ViewConstraintState> constraintState_;
    std::vector<std::pair<const void*, std::shared_ptr<void>>> associatedObjects_;
};
