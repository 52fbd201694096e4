// The intake of events and the report policy: for each event, whether it is
// sent at once, stored, kept in memory or dropped.
#include <algorithm>
#include <mutex>
#include <vector>

#include "foundation/NSUserDefaults.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTA.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAService.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTASocket.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStore.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTALog.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTASharedInstance.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTAReachability/RPOUTAReachability.h"

namespace {

constexpr std::size_t kMaxPendingEvents = 128;
constexpr const char* kLastPeriodicSendKey = "UTA_SDK_DATA_SENT_TS";

// Events recorded before the shared instance exists, oldest first.
std::mutex& pendingLock() {
    static auto* lock = new std::mutex();
    return *lock;
}
std::vector<Ref<RPOUTAEvent>>& pendingEvents() {
    static auto* events = new std::vector<Ref<RPOUTAEvent>>();
    return *events;
}
[[maybe_unused]] const bool pendingEventsForgotten = UTAOnReset([] {
    std::lock_guard lock(pendingLock());
    pendingEvents().clear();
});

Ref<RPOUTAStore> store() { return RPOUTAStore::getInstance(); }

void storeEvent(const Ref<RPOUTAEvent>& event, bool hasTrySent) {
    store()->storeEvent(event, hasTrySent, [] {});
}

// Sends one event at once; `completion` hears whether it was delivered.
void sendItem(const Ref<RPOUTAEvent>& event, std::function<void(bool)> completion) {
    RPOUTASocket::getInstance()->sendEvent(make<RPOUTASendItem>(event, std::move(completion)));
}

// Sends at once; a failed send keeps the event in the store.
void sendOrStoreOnFailure(const Ref<RPOUTAEvent>& event) {
    sendItem(event, [event](bool delivered) {
        if (!delivered) storeEvent(event, true);
    });
}

bool contains(const std::vector<std::string>& ids, const std::string& id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

long secondsNow() { return static_cast<long>(UTANow()); }

// Whether the period of the periodic strategies has run out since the last
// periodic send, recording the time when none was recorded yet. `due` is
// false for that first time.
bool periodRanOut() {
    auto defaults = NSUserDefaults::standardUserDefaults();
    const long last = defaults->integerForKey(kLastPeriodicSendKey);
    if (last == 0) {
        defaults->setInteger(secondsNow(), kLastPeriodicSendKey);
        defaults->synchronize();
        return false;
    }
    return secondsNow() - last >= static_cast<long>(RPOUTAConfig::getInstance()->sendPeriodMinutes()) * 60;
}

void recordPeriodicSend() {
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setInteger(secondsNow(), kLastPeriodicSendKey);
    defaults->synchronize();
}

// Strategy 2: once enough events are stored, a batch of them goes.
void onBatchStored() {
    const std::uint32_t minimum = RPOUTAConfig::getInstance()->minBatchReportCount();
    const std::uint32_t stored = store()->storedEventCount();
    if (stored >= minimum) store()->sendCachedEvents(static_cast<std::int32_t>(minimum));
    else UTALog("Stored event count:%d", stored);
}

// Strategy 8: the event waits in memory until a batch is full or the period
// has run out; then the in-memory queue goes, and the stored events with it
// (batches the channel did not deliver, events kept while offline).
void keepInMemory(const Ref<RPOUTAEvent>& event) {
    event->reportText();
    store()->enqueueMemEvent(event);
    const bool due = periodRanOut();
    if (due) recordPeriodicSend();
    if (!due && store()->memCachedEventCount() < RPOUTAConfig::getInstance()->minBatchReportCount()) return;
    store()->sendMemCachedEvents(-1);
    if (store()->storedEventCount() > 0) store()->sendCachedEvents(-1);
}

void applyReportPolicy(const Ref<RPOUTAEvent>& event) {
    auto config = RPOUTAConfig::getInstance();
    if (!config->statEnable()) return;
    std::int32_t strategy = event->isRealTime ? 1 : config->reportStrategy();
    auto reachability = RPOUTAReachability::reachabilityForInternetConnection();
    const RPOUTANetworkStatus status = reachability ? reachability->currentReachabilityStatus() : RPOUTANotReachable;

    if (strategy == 7) {
        if (status != RPOUTAReachableViaWiFi) {
            UTALog("Disard event since no active wifi network.");
            return;
        }
    } else if (status == RPOUTANotReachable) {
        UTALog("Store event since no active network.");
        storeEvent(event, false);
        return;
    }
    if (strategy != 7 && strategy != 8 && config->smartReporting() && status == RPOUTAReachableViaWiFi) strategy = 1;

    if (auto custom = cast<RPOUTACustomEvent>(event)) {
        if (auto env = RPOUTAHelper::getInstance()->getEnv()) {
            if (contains(env->instantEventList(), custom->eventID)) {
                sendOrStoreOnFailure(event);
                return;
            }
            if (contains(env->ignoreEventList(), custom->eventID)) {
                UTALog("事件: %@ 在忽略列表中,丢弃事件", custom->eventID);
                return;
            }
        }
    }

    switch (strategy) {
        case 1: RPOUTA::sendEventReplaceBlock(event, -1); break;
        case 2: store()->storeEvent(event, false, onBatchStored); break;
        case 3: storeEvent(event, false); break;
        case 4:
            if (status == RPOUTAReachableViaWiFi) RPOUTA::sendEventReplaceBlock(event, -1);
            else storeEvent(event, false);
            break;
        case 5:
            storeEvent(event, false);
            if (periodRanOut()) {
                store()->sendCachedEvents(-1);
                recordPeriodicSend();
            }
            break;
        case 6: storeEvent(event, false); break;
        case 7: sendItem(event, [](bool) {}); break;
        case 8: keepInMemory(event); break;
        default: UTALog("Not supported report strategy:%d", strategy); break;
    }
}

}  // namespace

void UTASubmitEvent(const Ref<RPOUTAEvent>& event) {
    if (UTAExistingInstance()) {
        {
            // Held while the waiting events are dispatched: an event that
            // another thread submits meanwhile goes after all of them.
            std::lock_guard lock(pendingLock());
            std::vector<Ref<RPOUTAEvent>> waiting;
            waiting.swap(pendingEvents());
            for (const auto& pending : waiting) UTADispatchEvent(pending);
        }
        UTADispatchEvent(event);
        return;
    }
    UTALog("[WARN]UTA's init method is NOT invoked.");
    std::lock_guard lock(pendingLock());
    if (pendingEvents().size() < kMaxPendingEvents) pendingEvents().push_back(event);
    else UTALog("[ERROR]Too many cached sending events befor UTA started.");
}

void UTADispatchEvent(const Ref<RPOUTAEvent>& event) {
    if (!event) {
        UTALog("[WARN]NULL event to report.");
        return;
    }
    if (!UTAAdmitSessionEvent()) return;
    RPOUTA::getInstance()->getTaskQueue()->async([event] { applyReportPolicy(event); });
}

void RPOUTA::sendEventReplaceBlock(const Ref<RPOUTAEvent>& event, std::int32_t count) {
    if (store()->storedEventCount() > 0) {
        // Stored events go first, and this one behind them, in order.
        store()->storeEvent(event, false, [] { store()->sendCachedEvents(-1); });
        return;
    }
    sendItem(event, [event, count](bool delivered) {
        if (!delivered) storeEvent(event, true);
        else if (store()->storedEventCount() > 0) store()->sendCachedEvents(count);
    });
}

void RPOUTA::commitCachedStats(std::int32_t count) {
    if (!RPOUTAConfig::getInstance()->statEnable()) return;
    if (UTAExistingInstance()) store()->sendCachedEvents(count);
    else UTALog("[WARN]UTA's init method is NOT invoked.");
}
