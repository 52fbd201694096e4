#pragma once

// Base of the tests that run the analytics service. The service, its store
// and its session state are process-wide: each test starts and ends with them
// forgotten, as in a new process, so tests run in any order in one process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/NSJSONSerialization.h"
#include "foundation/NSLog.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTA.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAService.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStore.h"
#include "system/SCNetworkReachability.h"
#include "tests/kits/analytics/UTA/StoreFileRows.h"
#include "tests/support/ManualClock.h"
#include "tests/support/TempSandbox.h"

class AnalyticsServiceFixture : public MainLoopFixture {
protected:
    static constexpr SCNetworkReachabilityFlags kCellular =
        kSCNetworkReachabilityFlagsReachable | kSCNetworkReachabilityFlagsIsWWAN;
    static constexpr SCNetworkReachabilityFlags kWiFi = kSCNetworkReachabilityFlagsReachable;

    void SetUp() override {
        UTAResetForTests();
        auto config = RPOUTAConfig::getInstance();
        config->setDebugEnable(true);
        // Every event is stored unless a test says otherwise, on a cellular link.
        config->setReportStrategy(6);
        SCNetworkReachability::setFakeFlags(kCellular);
        now = 1'700'000'000;
        UTASetTimeSource([this] { return now; });
    }
    void TearDown() override {
        // While the sandbox is still there: the store closes its file in it.
        UTAResetForTests();
        SCNetworkReachability::setFakeFlags(std::nullopt);
        UTASetTimeSource({});
    }

    // Lets the report policy and the store finish what was handed to them.
    static void settle() {
        for (int round = 0; round < 2; ++round) {
            RPOUTA::getInstance()->getTaskQueue()->sync([] {});
            RPOUTAStore::getInstance()->taskQueue()->sync([] {});
        }
    }

    // The stored events, oldest first, as JSON objects.
    static std::vector<Dictionary> storedEvents() {
        settle();
        std::vector<Dictionary> events;
        for (const auto& row :
             storeFileRows(RPOUTAStore::getInstance()->getDbPath(), "select content from events order by event_id")) {
            const Value parsed = NSJSONSerialization::JSONObjectWithData(NSData::fromString(row[0]));
            if (const Dictionary* event = parsed.dictionary()) events.push_back(*event);
        }
        return events;
    }

    // The stored events of one type ("et").
    static std::vector<Dictionary> storedEvents(int type) {
        std::vector<Dictionary> matching;
        for (auto& event : storedEvents()) {
            if (event["et"].intValue() == type) matching.push_back(event);
        }
        return matching;
    }

    TempSandbox sandbox;
    NSLogCapture log;
    double now = 0;
};
