#pragma once

#include <string>

#include <gtest/gtest.h>

#include "uikit/UIDriver.h"
#include "uikit/UILabel.h"
#include "tests/support/TouchCheck.h"

// Fails the test once for every shown label of the key window whose text a
// reader cannot see whole (UIDriver::textFitFaults), naming the screen. The
// labels with the accessibility identifier `widerLabel`, when one is named,
// are laid out wider than their superview on purpose: their text may spill
// out of it (the superview does not clip, so it is drawn whole); their other
// faults count.
inline void expectTextFits(const UIDriver& driver, const std::string& screen, const std::string& widerLabel = "") {
    const std::string mark = "#" + widerLabel + " ";
    for (const std::string& fault : driver.textFitFaults())
        if (widerLabel.empty() || fault.find(mark) == std::string::npos || fault.find(": text spills ") == std::string::npos)
            ADD_FAILURE() << screen << ": " << fault;
}

// Fails the test once for every label in view whose text its line break
// mode cuts off with an ellipsis: what a result or money page says (what to
// do next, an amount) is read whole or not at all. Names what is drawn, the
// ellipsis in it, beside the whole text.
inline void expectNothingCutOff(const UIDriver& driver, const std::string& screen) {
    driver.settle();
    auto walk = [&](const auto& self, const Ref<UIView>& view) -> void {
        if (auto label = cast<UILabel>(view); label && label->drawnText().truncated && driver.isInView(label)) {
            // Named by its identifier, or by its holder's (a button's title).
            const auto holder = label->superview();
            const std::string name = !label->accessibilityIdentifier().empty() ? "#" + label->accessibilityIdentifier()
                                     : holder && !holder->accessibilityIdentifier().empty()
                                         ? "in #" + holder->accessibilityIdentifier()
                                         : label->className();
            ADD_FAILURE() << screen << ": \"" << driver.shownText(label) << "\" is drawn for \"" << label->text()
                          << "\" (" << name << ")";
        }
        for (const auto& subview : view->subviews()) self(self, subview);
    };
    if (auto window = driver.keyWindow()) walk(walk, window);
}

// The screen tests' shot: checks that the key window's text fits and that
// a touch inside each control reaches it, then saves what it shows to the
// file for a person to look at.
inline bool checkedShot(UIDriver& driver, const std::string& path, const std::string& widerLabel = "") {
    const std::string screen = path.substr(path.find_last_of('/') + 1);
    expectTextFits(driver, screen, widerLabel);
    expectTapsReachTheirControls(driver, screen);
    return driver.shot(path);
}

// The shot of a result or money page: checkedShot, and nothing in view cut
// off with an ellipsis.
inline bool checkedWholeShot(UIDriver& driver, const std::string& path) {
    expectNothingCutOff(driver, path.substr(path.find_last_of('/') + 1));
    return checkedShot(driver, path);
}
