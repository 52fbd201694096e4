#pragma once

#include <functional>
#include <type_traits>
#include <vector>

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"
#include "uikit/TargetAction.h"
#include "uikit/UIGestureRecognizerDelegate.h"
#include "uikit/UITouch.h"

class UIView;

enum class UIGestureRecognizerState { Possible, Began, Changed, Ended, Cancelled, Failed, Recognized = Ended };

// The base of gesture recognizers. A view keeps its recognizers and offers
// simulated taps to them (UIView::handleTapAt); the driver's pans go to pan
// recognizers.
//
// A recognizer sends its actions (target-action, in the order added) as its
// state changes: once when a discrete gesture (a tap) is recognized, and at
// began, every change and the end of a continuous one (a pan). Before it
// looks at a touch it asks its delegate whether to receive it, and before it
// recognizes whether to begin; a refusal leaves the touch to other views.
// Targets are weak, as with controls.
class UIGestureRecognizer : public NSObject {
public:
    using Action = std::function<void(const Ref<UIGestureRecognizer>& recognizer)>;

    UIGestureRecognizer() = default;
    // initWithTarget:action:
    UIGestureRecognizer(const Ref<NSObject>& target, Action action) { addTarget(target, std::move(action)); }
    template <class T, class Method>
        requires std::is_member_function_pointer_v<Method>
    UIGestureRecognizer(const Ref<T>& target, Method method) {
        addTarget(target, method);
    }

    void addTarget(const Ref<NSObject>& target, Action action);
    template <class T, class Method>
        requires std::is_member_function_pointer_v<Method>
    void addTarget(const Ref<T>& target, Method method) {
        addTarget(target, bindTargetAction<UIGestureRecognizer>(target, method));
    }
    // Drops the target's actions (null: every action).
    void removeTarget(const Ref<NSObject>& target);

    // The view the recognizer is attached to.
    Ref<UIView> view() const { return view_.lock(); }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    UIGestureRecognizerState state() const { return state_; }
    Ref<UIGestureRecognizerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<UIGestureRecognizerDelegate>& delegate) { delegate_ = delegate; }
    // Whether a recognized gesture keeps the touch from the view's own
    // handling (a control's actions); true by default.
    bool cancelsTouchesInView() const { return cancelsTouchesInView_; }
    void setCancelsTouchesInView(bool cancels) { cancelsTouchesInView_ = cancels; }
    // Where the gesture's touch is (was, when it ended), in the view's
    // bounds space (null: the window's).
    CGPoint locationInView(const Ref<UIView>& view) const;

    // A simulated tap at a point of the view's bounds; true when the
    // recognizer recognized it (and sent its actions). The base recognizes nothing.
    virtual bool handleTapAt(CGPoint /*point*/) { return false; }

    struct TapOutcome {
        bool recognized = false;
        bool cancelsTouches = false;
    };
    // Offers a tap to a view's recognizers: the first enabled one that
    // recognizes it wins; later ones recognize it too only where one of the
    // two delegates allows simultaneous recognition.
    static TapOutcome offerTap(const std::vector<Ref<UIGestureRecognizer>>& recognizers, CGPoint point);

protected:
    // A touch at a point of the view's bounds, landing on the deepest view
    // there; null when the recognizer has no view in a window.
    Ref<UITouch> touchAt(CGPoint point) const;
    // Whether the delegate lets the recognizer see the touch; on yes the
    // touch becomes the recognizer's current touch.
    bool receiveTouch(const Ref<UITouch>& touch);
    // Asks the delegate whether to begin; on no the state becomes failed.
    bool shouldBegin();
    // Enters a state, sending the actions for the states that report.
    void setState(UIGestureRecognizerState state);
    // Back to possible once a gesture is over; the last touch stays for
    // locationInView.
    void reset() { state_ = UIGestureRecognizerState::Possible; }
    const Ref<UITouch>& touch() const { return touch_; }

private:
    friend class UIView;
    bool allowsSimultaneousRecognitionWith(const Ref<UIGestureRecognizer>& other);

    WeakRef<UIView> view_;
    bool enabled_ = true;
    bool cancelsTouchesInView_ = true;
    UIGestureRecognizerState state_ = UIGestureRecognizerState::Possible;
    WeakRef<UIGestureRecognizerDelegate> delegate_;
    TargetActionList<UIGestureRecognizer> actions_;
    Ref<UITouch> touch_;
};
