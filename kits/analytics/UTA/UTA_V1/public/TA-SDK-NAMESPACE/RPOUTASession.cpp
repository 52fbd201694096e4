// Sessions: ids, the idle and midnight rules, the session and addition events.
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <mutex>

#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTA.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAPlugins.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAService.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStore.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTALog.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTASharedInstance.h"

namespace {

std::atomic<std::uint32_t> currentSessionId{0};
std::atomic<std::uint32_t> lastActivity{0};
std::atomic<std::int64_t> nextMidnight{0};
std::atomic<std::uint32_t> sessionEventCount{0};
std::atomic<bool> firstSessionEventSent{false};
std::atomic<bool> additionEventSent{false};

[[maybe_unused]] const bool sessionsForgotten = UTAOnReset([] {
    currentSessionId = 0;
    lastActivity = 0;
    nextMidnight = 0;
    sessionEventCount = 0;
    firstSessionEventSent = false;
    additionEventSent = false;
});

// Never destroyed: the service's queues read the time while the process exits.
std::mutex& timeSourceLock() {
    static auto* lock = new std::mutex();
    return *lock;
}
std::function<double()>& timeSource() {
    static auto* source = new std::function<double()>();
    return *source;
}

// The session id generator: the process's random sequence seeded with the
// time, kept apart from other users of the C library's generator.
std::uint32_t seededRandom(unsigned int seed) {
    static std::mutex lock;
    static random_data state{};
    static char stateBuffer[128];
    std::lock_guard guard(lock);
    state = random_data{};
    initstate_r(seed, stateBuffer, sizeof stateBuffer, &state);
    std::int32_t value = 0;
    random_r(&state, &value);
    return static_cast<std::uint32_t>(value);
}

// Opens a session: a new current id and its session event.
void openSession(const std::optional<std::string>& appkey, bool isRealTime) {
    currentSessionId = UTANewSessionId();
    RPOUTA::reportSessionEvent(appkey, isRealTime);
}

}  // namespace

double UTANow() {
    {
        std::lock_guard lock(timeSourceLock());
        if (timeSource()) return timeSource()();
    }
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

void UTASetTimeSource(std::function<double()> source) {
    std::lock_guard lock(timeSourceLock());
    timeSource() = std::move(source);
}

std::uint32_t UTANewSessionId() {
    sessionEventCount = 0;
    const auto now = static_cast<std::time_t>(UTANow());
    std::tm local{};
    localtime_r(&now, &local);
    nextMidnight = static_cast<std::int64_t>(now) + 86400 - (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
    return seededRandom(static_cast<unsigned int>(now));
}

std::uint32_t UTACurrentSessionId() { return currentSessionId; }

std::uint32_t UTACheckSession(bool checkIdle, const std::optional<std::string>& appkey, bool isRealTime) {
    const auto now = static_cast<std::uint32_t>(UTANow());
    if (static_cast<std::int64_t>(now) >= nextMidnight) {
        openSession(appkey, isRealTime);
        lastActivity = now;
    } else {
        if (checkIdle && now - lastActivity >= RPOUTAConfig::getInstance()->sessionTimeoutSecs()) {
            openSession(appkey, isRealTime);
        }
        lastActivity = now;
        if (currentSessionId == 0) {
            UTALog("session == 0");
            openSession(appkey, isRealTime);
        }
    }
    return currentSessionId;
}

bool UTAAdmitSessionEvent() {
    const std::int32_t cap = RPOUTAConfig::getInstance()->maxSessionStatReportCount();
    if (cap >= 1 && sessionEventCount >= static_cast<std::uint32_t>(cap)) return false;
    ++sessionEventCount;
    return true;
}

void UTAClearLastActivity() { lastActivity = 0; }

void UTAReportAdditionEvent(bool force, const std::optional<std::string>& appkey, bool isRealTime) {
    auto config = RPOUTAConfig::getInstance();
    if (!config->statEnable()) return;
    if (!force && additionEventSent) return;
    additionEventSent = true;
    if (!config->pal()) return;
    auto event = make<RPOUTAAdditionEvent>();
    event->sid = currentSessionId;
    event->appkey = appkey;
    event->isRealTime = isRealTime;
    UTASubmitEvent(event);
}

void RPOUTA::reportSessionEvent(const Text& appkey, bool isRealTime) {
    if (currentSessionId != 0 && RPOUTAConfig::getInstance()->reportStrategy() == 3) {
        RPOUTAStore::getInstance()->sendCachedEvents(-1);
    }
    auto installer = RPOUTAPluginInstall::getInstance()->delegate();
    auto event = make<RPOUTASessionEnv>();
    event->sid = currentSessionId;
    event->appkey = appkey;
    event->isRealTime = isRealTime;
    if (!firstSessionEventSent.exchange(true)) event->hs = true;
    if (installer && installer->checkReportEnable()) {
        event->mch = installer->getInstallChannel();
        event->bni = 1;
    }
    UTASubmitEvent(event);
    UTAReportAdditionEvent(true, appkey, false);
    if (installer) installer->reportInstallEvent();
}

void RPOUTA::startNewSession() { startNewSession(false); }

void RPOUTA::startNewSession(bool isRealTime) {
    if (!RPOUTAConfig::getInstance()->statEnable()) return;
    UTACheckSession(true, std::nullopt, isRealTime);
}

void RPOUTA::stopSession() {
    if (UTAExistingInstance()) UTAClearLastActivity();
    else UTALog("[WARN]UTA's init method is NOT invoked.");
}
