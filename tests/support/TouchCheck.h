#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include <gtest/gtest.h>

#include "uikit/UIControl.h"
#include "uikit/UIDriver.h"
#include "uikit/UIWindow.h"

// The control a touch on the view goes to: the view or its closest
// ancestor that is a control.
inline Ref<UIControl> controlHolding(Ref<UIView> view) {
    for (; view; view = view->superview())
        if (auto control = cast<UIControl>(view)) return control;
    return nullptr;
}

// Whether a touch at the point (window space) lies in the view's touch
// area and in that of each of its containers, all shown and taking touches.
inline bool withinTouchArea(const Ref<UIWindow>& window, const Ref<UIView>& view, CGPoint point) {
    for (auto area = view; area; area = area->superview())
        if (area->isHidden() || !area->isUserInteractionEnabled() || area->alpha() < 0.01 ||
            !area->pointInside(window->convertPointToView(point, area)))
            return false;
    return true;
}

// The touches a user aims at one control and another takes, on the key
// window:
// - every point near the edges and at the middle of each shown control (one
//   point inside its shown part) where the control is the front-most that
//   takes touches in its own bounds, and which a tap gives to another
//   control (a pop-up or a bar in front of a control takes its touches
//   there);
// - every point 1, 2 and 3 points beyond each edge and corner of a shown
//   control that its larger touch area holds and no control holds in its
//   own bounds, which a tap gives to a view behind the one the point lies
//   on (a pop-up's card lets it through to the screen under it), or, where
//   no view in front of the control covers it, to a control whose own
//   bounds lie farther away, or to a view that is not in front of the
//   control.
inline std::vector<std::string> touchFaults(const UIDriver& driver) {
    std::vector<std::string> faults;
    auto window = driver.keyWindow();
    if (!window) return faults;
    auto name = [](const Ref<UIView>& view) {
        const std::string caption = view->accessibilityLabel();
        const std::string id = view->accessibilityIdentifier();
        return "\"" + caption + "\"" + (id.empty() ? "" : " #" + id) + " (" + view->className() + ")";
    };
    // The views in drawing order: one drawn later, and not inside another,
    // lies in front of it.
    std::unordered_map<const UIView*, std::size_t> order;
    std::vector<Ref<UIControl>> controls;
    auto walk = [&](const auto& self, const Ref<UIView>& view) -> void {
        order.emplace(view.get(), order.size());
        if (auto control = cast<UIControl>(view)) controls.push_back(control);
        for (const auto& subview : view->subviews()) self(self, subview);
    };
    walk(walk, window);
    auto heldInOwnBounds = [&](CGPoint point) {
        return window->hitTestWithin(point, nullptr, UIView::TouchArea::OwnBounds);
    };
    auto inFront = [&](const Ref<UIView>& view, const Ref<UIView>& behind) {
        return view && order.at(view.get()) > order.at(behind.get());
    };
    for (const auto& control : controls) {
        const CGRect shown = driver.shownRect(control);
        if (CGRectIsNull(shown) || shown.size.width < 2 || shown.size.height < 2) continue;
        const CGFloat xs[] = {CGRectGetMinX(shown) + 1, CGRectGetMidX(shown), CGRectGetMaxX(shown) - 1};
        const CGFloat ys[] = {CGRectGetMinY(shown) + 1, CGRectGetMidY(shown), CGRectGetMaxY(shown) - 1};
        for (CGFloat x : xs)
            for (CGFloat y : ys) {
                if (controlHolding(heldInOwnBounds({x, y})) != control) continue;
                auto taker = controlHolding(window->hitTest({x, y}));
                if (taker != control)
                    faults.push_back("a tap at " + UIDriver::pointText({x, y}) + " inside " + name(control) +
                                     " goes to " + (taker ? name(taker) : "no control"));
            }
        const CGRect own = control->convertRectToView(control->bounds(), window);
        for (CGFloat beyond : {1.0, 2.0, 3.0}) {
            const CGFloat besideXs[] = {CGRectGetMinX(own) - beyond, CGRectGetMidX(own), CGRectGetMaxX(own) + beyond};
            const CGFloat besideYs[] = {CGRectGetMinY(own) - beyond, CGRectGetMidY(own), CGRectGetMaxY(own) + beyond};
            for (CGFloat x : besideXs)
                for (CGFloat y : besideYs) {
                    if (CGRectContainsPoint(own, {x, y}) || !withinTouchArea(window, control, {x, y})) continue;
                    auto held = heldInOwnBounds({x, y});
                    if (controlHolding(held)) continue;  // inside another control
                    auto hit = window->hitTest({x, y});
                    auto taker = controlHolding(hit);
                    const Ref<UIView> took = taker ? Ref<UIView>(taker) : hit;
                    const bool behind =
                        held && took && order.at(took.get()) < order.at(held.get()) && !held->isDescendantOfView(took);
                    // Under a view in front only what lies behind that view is a fault.
                    const bool fair =
                        !behind && (inFront(held, control) ||
                                    (taker ? taker == control || taker->distanceFromBounds({x, y}, window) <=
                                                                     control->distanceFromBounds({x, y}, window) + 1e-6
                                           : inFront(hit, control)));
                    if (!fair)
                        faults.push_back("a tap at " + UIDriver::pointText({x, y}) + " just outside " + name(control) +
                                         " goes to " + (took ? name(took) : "nothing") +
                                         (behind ? " behind " + name(held) : ""));
                }
        }
    }
    return faults;
}

// Fails the test once for every such point, naming the screen.
inline void expectTapsReachTheirControls(const UIDriver& driver, const std::string& screen) {
    for (const std::string& fault : touchFaults(driver)) ADD_FAILURE() << screen << ": " << fault;
}
