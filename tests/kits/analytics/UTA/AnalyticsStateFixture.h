#pragma once

// Base of the tests that use the analytics library's shared instances
// (settings, helper, store, online configuration): each test starts and ends
// with them forgotten, as in a new process.
#include <gtest/gtest.h>

#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAService.h"

class AnalyticsStateFixture : public ::testing::Test {
protected:
    void SetUp() override { UTAResetForTests(); }
    void TearDown() override { UTAResetForTests(); }
};
