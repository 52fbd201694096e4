#pragma once

// Tests of what a store file in trouble sends: a store started on a file as
// after a restart, sending through a proxy in front of the collector that
// counts every event that goes out.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "backend/AnalyticsCollector.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEvents.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAReportHost.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAService.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTASocket.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStore.h"
#include "tests/kits/analytics/UTA/CountingProxy.h"
#include "tests/kits/analytics/UTA/SendStored.h"
#include "tests/kits/analytics/UTA/StoreFileRows.h"
#include "tests/support/TempSandbox.h"

// The text of the waiting event `n` in a file the fixture prepares.
inline std::string waitingEventText(int n) { return "{\"n\":" + std::to_string(n) + "}"; }

inline Ref<RPOUTAEvent> customEvent(const std::string& content, std::uint32_t ts) {
    auto event = make<RPOUTACustomEvent>();
    event->content = content;
    event->ts = ts;
    return event;
}

class CountedStoreFixture : public StoreSendingFixture {
protected:
    void SetUp() override {
        UTAResetForTests();
        ASSERT_TRUE(collector);
    }
    void TearDown() override {
        if (store) store->shutDown();
        UTAResetForTests();
        RPOUTAReportHost::setHost("");
    }

    // A store file of `waiting` events (`waitingEventText(n)` at time n, the first
    // `inFlight` of them in flight when the last process ended), a user of
    // type 3 and a configuration row; its path. What is sent is counted
    // from here on.
    std::string prepareFile(int waiting, int inFlight = 0) {
        if (store) store->shutDown();
        store = nullptr;
        std::filesystem::remove_all(RPOUTAStore::getUTAStorePath());
        auto maker = make<RPOUTAStore>();
        const std::string path = maker->getDbPath();
        maker->loadUser();
        maker->shutDown();
        storeFileRows(path, "with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
                                std::to_string(waiting) +
                                ") insert into events(content, status, send_count, ts) "
                                "select '{\"n\":' || i || '}', case when i <= " +
                                std::to_string(inFlight) + " then 2 else 1 end, 1, i from n");
        storeFileRows(path, "update user set user_type = 3");
        storeFileRows(path, "insert into config values(2, '{\"k\":\"v\"}', 'm', 4)");
        proxy = std::make_unique<CountingProxy>(collector->port());
        return path;
    }

    // Starts a store on the file, as after a restart, sending through the
    // proxy in batches of up to `batch` events.
    void restart(std::uint32_t batch = 60) {
        if (store) store->shutDown();
        if (!proxy) proxy = std::make_unique<CountingProxy>(collector->port());
        RPOUTAReportHost::setHost("127.0.0.1", static_cast<std::uint16_t>(proxy->port()));
        channel = make<RPOUTASocket>();
        store = make<RPOUTAStore>(channel);
        RPOUTAConfig::getInstance()->setMaxLoadEventCount(batch);
        store->launch();
        store->taskQueue()->sync([] {});
    }
    bool stored(const std::string& content, std::uint32_t ts) {
        bool completed = false;
        store->storeEvent(customEvent(content, ts), false, [&] { completed = true; });
        store->taskQueue()->sync([] {});
        return completed;
    }
    void sendStored() { sendEverythingStored(store); }
    // The events among the first `waiting` sent fewer than `fewest`
    // or more than `most` times since the file was prepared, with how often.
    std::map<std::string, int> sentOutside(int waiting, int fewest, int most) {
        std::map<std::string, int> wrong, sent = proxy->sent();
        for (int n = 1; n <= waiting; ++n) {
            const std::string text = waitingEventText(n);
            if (sent[text] < fewest || sent[text] > most) wrong[text] = sent[text];
        }
        return wrong;
    }
    std::map<std::string, int> notSentOnce(int waiting) { return sentOutside(waiting, 1, 1); }

    TempSandbox sandbox;
    std::unique_ptr<backend::AnalyticsCollector> collector = backend::AnalyticsCollector::start();
    std::unique_ptr<CountingProxy> proxy;
    Ref<RPOUTASocket> channel;
    Ref<RPOUTAStore> store;
};
