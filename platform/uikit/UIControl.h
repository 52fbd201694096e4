#pragma once

#include <cstdint>
#include <functional>
#include <type_traits>
#include <vector>

#include "uikit/TargetAction.h"
#include "uikit/UIView.h"

// The touch and editing events a control sends actions for.
enum UIControlEvents : std::uint32_t {
    UIControlEventTouchDown = 1u << 0,
    UIControlEventTouchDownRepeat = 1u << 1,
    UIControlEventTouchDragInside = 1u << 2,
    UIControlEventTouchDragOutside = 1u << 3,
    UIControlEventTouchDragEnter = 1u << 4,
    UIControlEventTouchDragExit = 1u << 5,
    UIControlEventTouchUpInside = 1u << 6,
    UIControlEventTouchUpOutside = 1u << 7,
    UIControlEventTouchCancel = 1u << 8,
    UIControlEventValueChanged = 1u << 12,
    UIControlEventPrimaryActionTriggered = 1u << 13,
    UIControlEventEditingDidBegin = 1u << 16,
    UIControlEventEditingChanged = 1u << 17,
    UIControlEventEditingDidEnd = 1u << 18,
    UIControlEventEditingDidEndOnExit = 1u << 19,
    UIControlEventAllTouchEvents = 0x00000FFFu,
    UIControlEventAllEditingEvents = 0x000F0000u,
    UIControlEventAllEvents = 0xFFFFFFFFu,
};
inline UIControlEvents operator|(UIControlEvents a, UIControlEvents b) {
    return static_cast<UIControlEvents>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

// A control's state: normal, or any combination of the flags.
enum UIControlState : std::uint32_t {
    UIControlStateNormal = 0,
    UIControlStateHighlighted = 1u << 0,
    UIControlStateDisabled = 1u << 1,
    UIControlStateSelected = 1u << 2,
};
inline UIControlState operator|(UIControlState a, UIControlState b) {
    return static_cast<UIControlState>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

enum class UIControlContentHorizontalAlignment { Center, Left, Right, Fill, Leading, Trailing };
enum class UIControlContentVerticalAlignment { Center, Top, Bottom, Fill };

// A view that turns touches into actions: targets register an action for a
// set of events, and the control sends the actions of an event, in the
// order they were added, when the event happens.
//
// Targets are weak: an action whose target is gone is skipped (and dropped).
// An action added without a target runs as long as the control lives.
//
// A simulated tap (UIDriver) on an enabled control first offers itself to
// the control's own gesture recognizers (one that recognizes it and cancels
// touches in the view ends it there); then the control tracks it as UIKit
// does: highlighted, touch down, not highlighted, touch up inside. Because
// the control takes the tap, recognizers of its superviews do not see it. A
// disabled control lets the tap go on to its superview.
class UIControl : public UIView {
public:
    using Action = std::function<void(const Ref<UIControl>& sender)>;

    UIControl() = default;
    explicit UIControl(CGRect frame) : UIView(frame) {}

    // --- State ---
    bool isEnabled() const { return enabled_; }
    virtual void setEnabled(bool enabled);
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool highlighted);
    // The flags combined.
    UIControlState state() const;

    UIControlContentHorizontalAlignment contentHorizontalAlignment() const { return horizontalAlignment_; }
    void setContentHorizontalAlignment(UIControlContentHorizontalAlignment alignment);
    UIControlContentVerticalAlignment contentVerticalAlignment() const { return verticalAlignment_; }
    void setContentVerticalAlignment(UIControlContentVerticalAlignment alignment);

    // --- Target-action ---
    void addTarget(const Ref<NSObject>& target, Action action, UIControlEvents events);
    // A member function of the target (see bindTargetAction).
    template <class T, class Method>
        requires std::is_member_function_pointer_v<Method>
    void addTarget(const Ref<T>& target, Method method, UIControlEvents events) {
        addTarget(target, bindTargetAction<UIControl>(target, method), events);
    }
    // Stops sending the target's actions for the events (null: every target's),
    // at once: also for an event being sent.
    void removeTarget(const Ref<NSObject>& target, UIControlEvents events);
    // The live targets, each once, in the order they were first added.
    std::vector<Ref<NSObject>> allTargets() const;
    // The events that have at least one action.
    UIControlEvents allControlEvents() const;
    // Sends the actions registered for any of the events.
    void sendActionsForControlEvents(UIControlEvents events);

    bool handleTapAt(CGPoint point) override;

protected:
    // Appearance hook: the state flags changed.
    virtual void stateDidChange() {}
    // What a tap does once the control tracks it: the default is the touch
    // sequence of a button.
    virtual void trackTapAt(CGPoint point);

private:
    bool enabled_ = true;
    bool selected_ = false;
    bool highlighted_ = false;
    UIControlContentHorizontalAlignment horizontalAlignment_ = UIControlContentHorizontalAlignment::Center;
    UIControlContentVerticalAlignment verticalAlignment_ = UIControlContentVerticalAlignment::Center;
    TargetActionList<UIControl> actions_;
};
