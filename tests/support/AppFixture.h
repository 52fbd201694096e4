#pragma once

#include "tests/support/ManualClock.h"
#include "tests/support/TempSandbox.h"
#include "uikit/UIApplication.h"

// Base of UI tests: the main loop on the manual clock, a fresh sandbox, and
// a fresh application (no windows, no simulated apps, the standard screen
// and device), reset again at the end so tests do not see each other's
// windows. Header-only, so that only test binaries that link the UI layer
// need it.
class AppFixture : public MainLoopFixture {
protected:
    AppFixture() { UIApplication::resetForTesting(); }
    ~AppFixture() override { UIApplication::resetForTesting(); }

    TempSandbox sandbox;
};
