#pragma once

// Tests that send what an analytics store holds and wait until it is done.
#include <gtest/gtest.h>

#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStore.h"
#include "tests/support/ManualClock.h"

class StoreSendingFixture : public MainLoopFixture {
protected:
    // Sends every stored event of `store` and waits until the store is idle
    // again. A delivered batch queues the next send while the store looks
    // idle: a second look, behind it on the store queue, sees whether it
    // went out.
    static void sendEverythingStored(const Ref<RPOUTAStore>& store) {
        store->sendCachedEvents(-1);
        const auto idle = [&] {
            bool idle = false;
            store->taskQueue()->sync([&] { idle = !store->isSendingCacheEvent(); });
            return idle;
        };
        ASSERT_TRUE(runUntil([&] { return idle() && idle(); }, kGiveUpAfterSeconds));
    }
};
