#pragma once

// Base of the tests that use the analytics library's shared instances
// (settings, helper, store, online configuration): each test starts and ends
// with them forgotten, as in a new process. What they keep on the device
// (the device identity, settings) goes into a sandbox of the test's own,
// there until they are forgotten.
#include <gtest/gtest.h>

#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAService.h"
#include "tests/support/TempSandbox.h"

class AnalyticsStateFixture : public ::testing::Test {
protected:
    void SetUp() override { UTAResetForTests(); }
    void TearDown() override { UTAResetForTests(); }

    TempSandbox sandbox;
};
