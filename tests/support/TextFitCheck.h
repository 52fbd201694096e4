#pragma once

#include <algorithm>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "uikit/UIDriver.h"
#include "uikit/UILabel.h"
#include "uikit/UIScreen.h"
#include "tests/support/TouchCheck.h"

// Fails the test once for every shown label whose whole text (a text ending
// in an ellipsis is expectNothingCutOff's) crosses a grid line beside it (a
// coloured sibling without subviews at most 2 points thin) by more than the
// point a line box reaches past its glyphs: text run into the next column.
inline void expectTextKeepsItsColumn(const UIDriver& driver, const std::string& screen) {
    const auto shown = [](const Ref<UIView>& view) { return !view->isHidden() && view->alpha() >= 0.01; };
    auto walk = [&](const auto& self, const Ref<UIView>& view) -> void {
        if (!shown(view) || view->bounds().size.width <= 0 || view->bounds().size.height <= 0) return;
        for (const auto& subview : view->subviews()) {
            auto label = cast<UILabel>(subview);
            if (!label || label->text().empty() || !shown(label) || label->drawnText().truncated) continue;
            const CGRect glyphs = CGRectInset(label->convertRectToView(label->drawnText().rect, view), 1, 1);
            for (const auto& line : view->subviews()) {
                const CGRect crossed = CGRectIntersection(glyphs, line->frame());
                const auto colour = line->backgroundColor();
                if (shown(line) && !cast<UILabel>(line) && line->subviews().empty() && colour && colour->alpha() > 0 &&
                    std::min(line->bounds().size.width, line->bounds().size.height) <= 2 && !CGRectIsNull(crossed) &&
                    crossed.size.width > 0 && crossed.size.height > 0)
                    ADD_FAILURE() << screen << ": \"" << label->text() << "\" (#" << label->accessibilityIdentifier()
                                  << ") runs across a line in " << view->className();
            }
        }
        for (const auto& subview : view->subviews()) self(self, subview);
    };
    driver.settle();
    if (auto window = driver.keyWindow()) walk(walk, window);
}

// Puts the app on the screen VELMARO_TEST_SCREEN names, before the layout
// scale's first use: "se" (320 x 568), "notched" (375 x 812) or "max"
// (428 x 926). Answers the name, or "" for the standard screen: ctest runs
// the walk of every screen and the suites named *AtEitherSize once more on
// the small screen, and the pop-ups' walk on the two notched ones, each in
// a process of its own.
inline std::string configureTestScreen() {
    const char* screen = std::getenv("VELMARO_TEST_SCREEN");
    const std::string name = screen ? screen : "";
    if (name == "se")
        UIScreen::configureMainScreen({320, 568}, 2, false);
    else if (name == "notched")
        UIScreen::configureMainScreen({375, 812}, 3, true);
    else if (name == "max")
        UIScreen::configureMainScreen({428, 926}, 3, true);
    else
        return "";
    return name;
}

// Fails the test once for every shown label of the key window whose text a
// reader cannot see whole (UIDriver::textFitFaults) or that leaves its
// column (expectTextKeepsItsColumn), naming the screen. The
// labels with the accessibility identifier `widerLabel`, when one is named,
// are laid out wider than their superview on purpose: their text may spill
// out of it (the superview does not clip, so it is drawn whole); their other
// faults count.
inline void expectTextFits(const UIDriver& driver, const std::string& screen, const std::string& widerLabel = "") {
    const std::string mark = "#" + widerLabel + " ";
    for (const std::string& fault : driver.textFitFaults())
        if (widerLabel.empty() || fault.find(mark) == std::string::npos || fault.find(": text spills ") == std::string::npos)
            ADD_FAILURE() << screen << ": " << fault;
    expectTextKeepsItsColumn(driver, screen);
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
