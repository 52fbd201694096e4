#pragma once

#include <string>

#include <gtest/gtest.h>

#include "uikit/UIDriver.h"

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

// The screen tests' shot: checks that the key window's text fits, then saves
// what it shows to the file for a person to look at.
inline bool checkedShot(UIDriver& driver, const std::string& path, const std::string& widerLabel = "") {
    expectTextFits(driver, path.substr(path.find_last_of('/') + 1), widerLabel);
    return driver.shot(path);
}
