#pragma once

#include <string>
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

// Every point near the edges and at the middle of each shown control of the
// key window (one point inside its shown part) where the control is the
// front-most that takes touches in its own bounds, and which a tap gives to
// another control: the touches a user aims at one button and another takes
// (a pop-up or a bar in front of a control takes its touches there).
inline std::vector<std::string> touchFaults(const UIDriver& driver) {
    std::vector<std::string> faults;
    auto window = driver.keyWindow();
    if (!window) return faults;
    auto name = [](const Ref<UIView>& view) {
        const std::string caption = view->accessibilityLabel();
        const std::string id = view->accessibilityIdentifier();
        return "\"" + caption + "\"" + (id.empty() ? "" : " #" + id) + " (" + view->className() + ")";
    };
    auto walk = [&](const auto& self, const Ref<UIView>& view) -> void {
        if (auto control = cast<UIControl>(view)) {
            const CGRect shown = driver.shownRect(view);
            if (!CGRectIsNull(shown) && shown.size.width >= 2 && shown.size.height >= 2) {
                const CGFloat xs[] = {CGRectGetMinX(shown) + 1, CGRectGetMidX(shown), CGRectGetMaxX(shown) - 1};
                const CGFloat ys[] = {CGRectGetMinY(shown) + 1, CGRectGetMidY(shown), CGRectGetMaxY(shown) - 1};
                for (CGFloat x : xs)
                    for (CGFloat y : ys) {
                        if (controlHolding(window->hitTestWithin({x, y}, nullptr, UIView::TouchArea::OwnBounds)) !=
                            control)
                            continue;
                        auto taker = controlHolding(window->hitTest({x, y}));
                        if (taker != control)
                            faults.push_back("a tap at " + UIDriver::pointText({x, y}) + " inside " + name(control) +
                                             " goes to " + (taker ? name(taker) : "no control"));
                    }
            }
        }
        for (const auto& subview : view->subviews()) self(self, subview);
    };
    walk(walk, window);
    return faults;
}

// Fails the test once for every such point, naming the screen.
inline void expectTapsReachTheirControls(const UIDriver& driver, const std::string& screen) {
    for (const std::string& fault : touchFaults(driver)) ADD_FAILURE() << screen << ": " << fault;
}
