#pragma once

#include <string>

#include <gtest/gtest.h>

#include "uikit/UIDriver.h"

// Fails the test once for every shown label of the key window whose text a
// reader cannot see whole (UIDriver::textFitFaults), naming the screen.
inline void expectTextFits(const UIDriver& driver, const std::string& screen) {
    for (const std::string& fault : driver.textFitFaults()) ADD_FAILURE() << screen << ": " << fault;
}

// The screen tests' shot: checks that the key window's text fits, then saves
// what it shows to the file for a person to look at.
inline bool checkedShot(UIDriver& driver, const std::string& path) {
    expectTextFits(driver, path.substr(path.find_last_of('/') + 1));
    return driver.shot(path);
}
