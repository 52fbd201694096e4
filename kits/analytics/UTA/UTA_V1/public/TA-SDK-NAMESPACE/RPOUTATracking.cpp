// The recording methods: page views, active time, errors, custom events,
// account and user data. Each builds its event on the caller's thread,
// stamps it with the current session and hands it to the intake.
#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

#include "foundation/NSString.h"
#include "foundation/UTF16.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTA.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAService.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTASocket.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStore.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTALog.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTASharedInstance.h"

namespace {

using Text = RPOUTA::Text;

constexpr std::int64_t kOff = -1, kAccepted = 0, kInvalid = 1000, kTooLong = 1001;
constexpr std::size_t kMaxContentLength = 61440;
constexpr std::size_t kMaxExceptionSymbols = 200;

// Begin times of open page views and timed events.
struct Timers {
    std::mutex lock;
    std::map<std::string, double> begins;
};
Timers& pageTimers() {
    static auto* timers = new Timers();
    return *timers;
}
// Made at the first begin of a timed event: before it, ends find no timers.
struct EventTimers {
    std::mutex creation;
    bool made = false;
    Timers timers;
};
EventTimers& sharedEventTimers() {
    static auto* shared = new EventTimers();
    return *shared;
}
Timers* eventTimers(bool create) {
    EventTimers& shared = sharedEventTimers();
    std::lock_guard lock(shared.creation);
    if (create) shared.made = true;
    return shared.made ? &shared.timers : nullptr;
}

// The start of the open active period (0 when none), under "_tslock".
std::mutex& activeStartLock() {
    static std::mutex lock;
    return lock;
}
double activeStart = 0;

[[maybe_unused]] const bool timersForgotten = UTAOnReset([] {
    {
        std::lock_guard lock(pageTimers().lock);
        pageTimers().begins.clear();
    }
    {
        EventTimers& shared = sharedEventTimers();
        std::lock_guard lock(shared.creation);
        shared.made = false;
        std::lock_guard timersLock(shared.timers.lock);
        shared.timers.begins.clear();
    }
    std::lock_guard lock(activeStartLock());
    activeStart = 0;
});

bool enabled() {
    return RPOUTAHelper::getInstance()->checkUTAEnable() && RPOUTAConfig::getInstance()->statEnable();
}
bool statEnabled() { return RPOUTAConfig::getInstance()->statEnable(); }
bool missing(const Text& text) { return !text || text->empty(); }

std::uint32_t currentSession(const Text& appkey) { return UTACheckSession(false, appkey, false); }

// Milliseconds rounded half up, in single precision; 1 second when no time passed.
float durationSince(double begin) {
    const float elapsed = static_cast<float>(UTANow() - begin);
    if (elapsed > 0) return std::floor(elapsed * 1000.0f + 0.5f) / 1000.0f;
    return 1.0f;
}

// A new event stamped with the current session, its app key and whether it
// goes in real time.
template <class Event> Ref<Event> stampedEvent(const Text& appkey, bool isRealTime) {
    auto event = make<Event>();
    event->sid = currentSession(appkey);
    event->appkey = appkey;
    event->isRealTime = isRealTime;
    return event;
}

Ref<RPOUTACustomEvent> customEvent(const std::string& eventId, const Text& appkey, bool isRealTime) {
    auto event = stampedEvent<RPOUTACustomEvent>(appkey, isRealTime);
    event->eventID = eventId;
    return event;
}

std::string timedEventKey(const std::string& eventId, const std::optional<Array>& args) {
    std::string key = eventId + "[";
    if (args) {
        for (const Value& arg : *args) key += NSString::stringWithFormat("%@", arg);
    }
    return key;
}

std::string timedKeyValueEventKey(const std::string& eventId, const std::optional<Dictionary>& props) {
    std::string key = eventId + "{";
    if (props) {
        for (const auto& [name, value] : *props) key += NSString::stringWithFormat("%@%@", name, value);
    }
    return key;
}

// Whether a value's arrays and dictionaries nest more than `levels` deep;
// the walk goes no deeper than that.
bool nestsDeeperThan(const Value& value, std::size_t levels) {
    const Array* array = value.array();
    const Dictionary* dictionary = value.dictionary();
    if (!array && !dictionary) return false;
    if (levels == 0) return true;
    const auto deeper = [levels](const Value& element) { return nestsDeeperThan(element, levels - 1); };
    if (array) return std::any_of(array->begin(), array->end(), deeper);
    return std::any_of(dictionary->begin(), dictionary->end(), [&](const auto& entry) { return deeper(entry.second); });
}

// The answer for an event's text with its arguments or properties (and its
// web-page attributes) that the library refuses: too long, nested too deep
// to report, not UTF-8, or holding a value JSON has no form for (either
// would be reported as some other value than the caller's).
std::optional<std::int64_t> contentRefusal(const Text& text, const Value& props,
                                           const Text& attributes = std::nullopt) {
    if (UTAIsContentTooLong(text, props)) return kTooLong;
    if (UTAIsNestedTooDeep(props)) return kInvalid;
    if (!UTF16::isValidUTF8(*text) || UTAHasMalformedText(props) || !UTF16::isValidUTF8(attributes.value_or(""))) {
        UTALog("[ERROR]Event text is not valid UTF-8.");
        return kInvalid;
    }
    if (UTAHasUnwritableValue(props)) {
        UTALog("[ERROR]Event value cannot be written as JSON (NaN, an infinity, a date or data).");
        return kInvalid;
    }
    return std::nullopt;
}

// 1001 when the event's report text is longer than a report may carry: the
// store would drop it and the channel would not send it. The text is made
// here and kept, so the store and the channel judge and report this text.
std::optional<std::int64_t> reportRefusal(RPOUTAEvent& event) {
    if (!event.isTooLongToReport()) return std::nullopt;
    UTALog("[ERROR]Too large event content length to report:%lu", static_cast<unsigned long>(event.contentLength()));
    return kTooLong;
}

Value asValue(const std::optional<Array>& args) { return args ? Value(*args) : Value(); }
Value asValue(const std::optional<Dictionary>& props) { return props ? Value(*props) : Value(); }

// Begins a timed event. One whose event could not be reported even without
// its session and duration is refused as the end would refuse it.
// `fill` puts the arguments or properties on the event.
std::int64_t beginTimedEvent(const Text& eventId, const Value& arguments, const std::string& key, const Text& appkey,
                             const std::function<void(RPOUTACustomEvent&)>& fill) {
    if (missing(eventId)) {
        UTALog("[ERROR]Failed to trace nil/empty event_id.");
        return kInvalid;
    }
    if (auto refusal = contentRefusal(eventId, arguments)) return *refusal;
    auto unstamped = make<RPOUTACustomEvent>();
    unstamped->eventID = *eventId;
    unstamped->appkey = appkey;
    fill(*unstamped);
    if (auto refusal = reportRefusal(*unstamped)) return *refusal;
    UTAReportAdditionEvent(false, appkey, false);
    Timers& timers = *eventTimers(true);
    std::lock_guard lock(timers.lock);
    if (timers.begins.count(key)) {
        UTALog("[ERROR]Duplicate key %@ for event_id:%@", key, *eventId);
        return kInvalid;
    }
    if (timers.begins.size() >= RPOUTAConfig::getInstance()->maxParallelTimingEvents()) {
        UTALog("[ERROR]Too many parallel events in memory.");
        return kInvalid;
    }
    timers.begins[key] = UTANow();
    return kAccepted;
}

// Ends a timed event: the event with its duration, or 1000 without a begin.
// Before any timed begin in the process there are no timers, and the answer
// is `beforeAnyBegin`: 1000 for the argument form, -1 for the key-value form
// (the answer callers of that form get there, though -1 otherwise means that
// tracking is off). An event too long to report answers 1001 and keeps its
// begin, as the other refusals do.
// `fill` puts the arguments or properties on the event.
std::int64_t endTimedEvent(const Text& eventId, const Value& arguments, const Text& attributes, const std::string& key,
                           const Text& appkey, bool isRealTime, std::int64_t beforeAnyBegin,
                           const std::function<void(RPOUTACustomEvent&)>& fill) {
    if (missing(eventId)) {
        UTALog("[ERROR]Failed to trace nil/empty event_id.");
        return kInvalid;
    }
    Timers* timers = eventTimers(false);
    if (!timers) return beforeAnyBegin;
    if (auto refusal = contentRefusal(eventId, arguments, attributes)) return *refusal;
    Ref<RPOUTACustomEvent> event;
    {
        std::lock_guard lock(timers->lock);
        const auto begin = timers->begins.find(key);
        if (begin == timers->begins.end()) {
            UTALog("[ERROR]NULL key %@ for event_id:%@", key, *eventId);
            return kInvalid;
        }
        event = customEvent(*eventId, appkey, isRealTime);
        fill(*event);
        event->duration = durationSince(begin->second);
        if (auto refusal = reportRefusal(*event)) return *refusal;
        timers->begins.erase(begin);
    }
    UTASubmitEvent(event);
    return kAccepted;
}

}  // namespace

bool UTAIsNestedTooDeep(const Value& props) {
    // The properties sit in the event's object, in the request's array.
    if (!nestsDeeperThan(props, RPOUTASocket::kDeepestNesting - 2)) return false;
    UTALog("[ERROR]Event content nested too deep to report: more than %d levels",
           static_cast<int>(RPOUTASocket::kDeepestNesting - 2));
    return true;
}

bool UTAIsContentTooLong(const std::optional<std::string>& text, const Value& props) {
    if (!text) return true;
    if (props.isNil()) return UTATextLength(*text) > kMaxContentLength;
    if (!props.isDictionary() && !props.isArray()) return true;
    return UTATextLength(*text) + UTATextLength(RPOUTAHelper::getInstance()->getJson(props)) > kMaxContentLength;
}

// --- Page views ---

void RPOUTA::trackDirectPageViewBegin(const Text& page, const Text& appkey) {
    if (!statEnabled()) return;
    if (missing(page)) {
        UTALog("[ERROR]Failed to trace nil/empty page.");
        return;
    }
    UTALog("Trace begin page:%@", *page);
    UTAReportAdditionEvent(false, appkey, false);
    {
        Timers& timers = pageTimers();
        std::lock_guard lock(timers.lock);
        if (timers.begins.count(*page)) {
            UTALog("[ERROR]Duplicate entry page %@", *page);
            return;
        }
        if (timers.begins.size() >= RPOUTAConfig::getInstance()->maxParallelTimingEvents()) {
            UTALog("[ERROR]Too many parallel page events in memory.");
            return;
        }
        UTALog("set timedPageDis success,%@", *page);
        timers.begins[*page] = UTANow();
    }
    // A page begun after an idle gap opens a new session.
    UTACheckSession(true, appkey, false);
}

void RPOUTA::trackDirectPageViewEnd(const Text& page, const Text& appkey, bool isRealTime) {
    trackDirectPageViewEnd(page, appkey, isRealTime, 0, std::nullopt);
}

void RPOUTA::trackDirectPageViewEnd(const Text& page, const Text& appkey, bool isRealTime, std::int32_t fromH5,
                                    const Text& h5Attr) {
    if (!statEnabled()) return;
    if (missing(page)) {
        UTALog("[ERROR]Failed to trace nil/empty page.");
        return;
    }
    auto service = getInstance();
    Ref<RPOUTAPageView> view;
    {
        Timers& timers = pageTimers();
        std::lock_guard lock(timers.lock);
        const auto begin = timers.begins.find(*page);
        if (begin == timers.begins.end()) {
            UTALog("[ERROR]NULL entry for page:%@", *page);
            return;
        }
        view = stampedEvent<RPOUTAPageView>(appkey, isRealTime);
        view->page = page;
        view->refer = service->lastPage();
        view->duration = durationSince(begin->second);
        view->h5 = fromH5;
        view->h5attr = h5Attr;
        timers.begins.erase(begin);
        service->setLastPage(page);
    }
    UTASubmitEvent(view);
}

void RPOUTA::trackPageViewBegin(const Text& page) { trackPageViewBegin(page, std::nullopt); }

void RPOUTA::trackPageViewBegin(const Text& page, const Text& appkey) {
    if (!enabled()) return;
    if (missing(page)) {
        UTALog("[ERROR]Failed to trace nil/empty page.");
        return;
    }
    getInstance()->setUtaCurrentPage(page);
    trackDirectPageViewBegin(page, appkey);
}

void RPOUTA::trackPageViewEnd(const Text& page) { trackPageViewEnd(page, std::nullopt, false); }

void RPOUTA::trackPageViewEnd(const Text& page, const Text& appkey, bool isRealTime) {
    if (!enabled()) return;
    if (missing(page)) {
        UTALog("[ERROR]Failed to trace nil/empty page.");
        return;
    }
    trackDirectPageViewEnd(page, appkey, isRealTime);
    getInstance()->setUtaCurrentPage(std::nullopt);
}

// --- Active time ---

void RPOUTA::autoTrackActiveBegin() {
    if (!RPOUTAConfig::getInstance()->autoTM()) return;
    resetTrackActiveStartTime();
    trackActiveBegin();
}

void RPOUTA::autoTrackActiveEnd() {
    if (!RPOUTAConfig::getInstance()->autoTM()) return;
    trackActiveEnd();
}

void RPOUTA::resetTrackActiveStartTime() {
    if (!enabled()) return;
    std::lock_guard lock(activeStartLock());
    activeStart = 0;
}

void RPOUTA::trackActiveBegin() {
    if (!enabled()) return;
    std::lock_guard lock(activeStartLock());
    if (activeStart == 0) activeStart = UTANow();
}

void RPOUTA::trackActiveEnd() {
    if (!enabled()) return;
    std::lock_guard lock(activeStartLock());
    if (activeStart == 0) return;
    auto event = make<RPOUTAActiveEvent>();
    event->sid = currentSession(std::nullopt);
    event->ts = static_cast<std::uint32_t>(activeStart);
    const float elapsed = static_cast<float>(UTANow() - activeStart);
    event->duration = elapsed == 0 ? 1.0f : std::floor(elapsed * 1000.0f + 0.5f) / 1000.0f;
    UTADispatchEvent(event);
    activeStart = 0;
}

// --- Errors ---

std::int64_t RPOUTA::trackException(const Ref<NSException>& exception) {
    return trackException(exception, std::nullopt, false);
}

std::int64_t RPOUTA::trackException(const Ref<NSException>& exception, const Text& appkey, bool isRealTime) {
    if (!enabled()) return kOff;
    if (!exception) {
        UTALog("[ERROR]Failed to trace nil exception.");
        return kInvalid;
    }
    const auto& symbols = exception->callStackSymbols();
    Array stack;
    for (std::size_t i = 0; i < symbols.size() && i < kMaxExceptionSymbols; ++i) stack.push_back(symbols[i]);
    const std::string text = NSString::stringWithFormat("%@\n%@", exception, Value(stack));
    if (auto refusal = contentRefusal(text, Value())) return *refusal;
    auto event = make<RPOUTAErrorEvent>();
    event->sid = UTANewSessionId();
    event->error = text;
    event->attr = 1;
    event->appkey = appkey;
    event->isRealTime = isRealTime;
    UTASubmitEvent(event);
    return kAccepted;
}

std::int64_t RPOUTA::trackError(const Text& error) { return trackError(error, std::nullopt, false); }

std::int64_t RPOUTA::trackError(const Text& error, const Text& appkey, bool isRealTime) {
    if (!enabled()) return kOff;
    if (missing(error)) {
        UTALog("[ERROR]Failed to trace nil/empty error.");
        return kInvalid;
    }
    if (auto refusal = contentRefusal(error, Value())) return *refusal;
    auto event = stampedEvent<RPOUTAErrorEvent>(appkey, isRealTime);
    event->error = error;
    event->attr = 0;
    UTASubmitEvent(event);
    return kAccepted;
}

// --- Custom events ---

std::int64_t RPOUTA::trackCustomEvent(const Text& eventId, const std::optional<Array>& args) {
    return trackCustomEvent(eventId, args, std::nullopt, false);
}

std::int64_t RPOUTA::trackCustomEvent(const Text& eventId, const std::optional<Array>& args, const Text& appkey,
                                      bool isRealTime) {
    if (!enabled()) return kOff;
    if (!eventId) {
        UTALog("[ERROR]Failed to trace nil event_id.");
        return kInvalid;
    }
    if (auto refusal = contentRefusal(eventId, asValue(args))) return *refusal;
    auto event = customEvent(*eventId, appkey, isRealTime);
    event->args = args;
    if (auto refusal = reportRefusal(*event)) return *refusal;
    UTAReportAdditionEvent(false, std::nullopt, false);
    UTASubmitEvent(event);
    return kAccepted;
}

std::int64_t RPOUTA::trackCustomEventBegin(const Text& eventId, const std::optional<Array>& args) {
    return trackCustomEventBegin(eventId, args, std::nullopt);
}

std::int64_t RPOUTA::trackCustomEventBegin(const Text& eventId, const std::optional<Array>& args, const Text& appkey) {
    if (!enabled()) return kOff;
    return beginTimedEvent(eventId, asValue(args), timedEventKey(eventId.value_or(""), args), appkey,
                           [&](RPOUTACustomEvent& event) { event.args = args; });
}

std::int64_t RPOUTA::trackCustomEventEnd(const Text& eventId, const std::optional<Array>& args) {
    return trackCustomEventEnd(eventId, args, std::nullopt, false);
}

std::int64_t RPOUTA::trackCustomEventEnd(const Text& eventId, const std::optional<Array>& args, const Text& appkey,
                                         bool isRealTime) {
    if (!enabled()) return kOff;
    return endTimedEvent(eventId, asValue(args), std::nullopt, timedEventKey(eventId.value_or(""), args), appkey,
                         isRealTime, kInvalid, [&](RPOUTACustomEvent& event) { event.args = args; });
}

std::int64_t RPOUTA::trackCustomKeyValueEvent(const Text& eventId, const std::optional<Dictionary>& props) {
    return trackCustomKeyValueEvent(eventId, props, std::nullopt, false, 0, std::nullopt);
}

std::int64_t RPOUTA::trackCustomKeyValueEvent(const Text& eventId, const std::optional<Dictionary>& props,
                                              const Text& appkey, bool isRealTime) {
    return trackCustomKeyValueEvent(eventId, props, appkey, isRealTime, 0, std::nullopt);
}

std::int64_t RPOUTA::trackCustomKeyValueEvent(const Text& eventId, const std::optional<Dictionary>& props,
                                              const Text& appkey, bool isRealTime, std::int32_t fromH5,
                                              const Text& h5Attr) {
    if (!enabled()) return kOff;
    if (missing(eventId)) {
        UTALog("[ERROR]Failed to trace nil/empty event_id.");
        return kInvalid;
    }
    if (auto refusal = contentRefusal(eventId, asValue(props), h5Attr)) return *refusal;
    auto event = customEvent(*eventId, appkey, isRealTime);
    event->kvs = props;
    event->h5 = fromH5;
    event->h5attr = h5Attr;
    if (auto refusal = reportRefusal(*event)) return *refusal;
    UTAReportAdditionEvent(false, std::nullopt, false);
    UTASubmitEvent(event);
    return kAccepted;
}

std::int64_t RPOUTA::trackCustomKeyValueEventBegin(const Text& eventId, const std::optional<Dictionary>& props) {
    return trackCustomKeyValueEventBegin(eventId, props, std::nullopt);
}

std::int64_t RPOUTA::trackCustomKeyValueEventBegin(const Text& eventId, const std::optional<Dictionary>& props,
                                                   const Text& appkey) {
    if (!enabled()) return kOff;
    return beginTimedEvent(eventId, asValue(props), timedKeyValueEventKey(eventId.value_or(""), props), appkey,
                           [&](RPOUTACustomEvent& event) { event.kvs = props; });
}

std::int64_t RPOUTA::trackCustomKeyValueEventEnd(const Text& eventId, const std::optional<Dictionary>& props) {
    return trackCustomKeyValueEventEnd(eventId, props, std::nullopt, false, 0, std::nullopt);
}

std::int64_t RPOUTA::trackCustomKeyValueEventEnd(const Text& eventId, const std::optional<Dictionary>& props,
                                                 const Text& appkey, bool isRealTime) {
    return trackCustomKeyValueEventEnd(eventId, props, appkey, isRealTime, 0, std::nullopt);
}

std::int64_t RPOUTA::trackCustomKeyValueEventEnd(const Text& eventId, const std::optional<Dictionary>& props,
                                                 const Text& appkey, bool isRealTime, std::int32_t fromH5,
                                                 const Text& h5Attr) {
    if (!enabled()) return kOff;
    return endTimedEvent(eventId, asValue(props), h5Attr, timedKeyValueEventKey(eventId.value_or(""), props), appkey,
                         isRealTime, kOff, [&](RPOUTACustomEvent& event) {
                             event.kvs = props;
                             event.h5 = fromH5;
                             event.h5attr = h5Attr;
                         });
}

std::int64_t RPOUTA::trackCustomKeyValueEventDuration(float duration, const Text& eventId,
                                                      const std::optional<Dictionary>& props) {
    return trackCustomKeyValueEventDuration(duration, eventId, props, std::nullopt, false, 0, std::nullopt);
}

std::int64_t RPOUTA::trackCustomKeyValueEventDuration(float duration, const Text& eventId,
                                                      const std::optional<Dictionary>& props, const Text& appKey,
                                                      bool isRealTime) {
    return trackCustomKeyValueEventDuration(duration, eventId, props, appKey, isRealTime, 0, std::nullopt);
}

std::int64_t RPOUTA::trackCustomKeyValueEventDuration(float duration, const Text& eventId,
                                                      const std::optional<Dictionary>& props, const Text& appKey,
                                                      bool isRealTime, std::int32_t fromH5, const Text& h5Attr) {
    if (!enabled()) return kOff;
    if (missing(eventId)) {
        UTALog("[ERROR]Failed to trace nil/empty event_id.");
        return kInvalid;
    }
    if (duration == 0) {
        UTALog("[ERROR] event:%@ duration should not be zero", *eventId);
        return kInvalid;
    }
    if (!std::isfinite(duration)) {
        UTALog("[ERROR] event:%@ duration is not a finite number", *eventId);
        return kInvalid;
    }
    if (auto refusal = contentRefusal(eventId, asValue(props), h5Attr)) return *refusal;
    auto event = customEvent(*eventId, appKey, isRealTime);
    event->kvs = props;
    event->duration = duration;
    event->h5 = fromH5;
    event->h5attr = h5Attr;
    if (auto refusal = reportRefusal(*event)) return *refusal;
    UTASubmitEvent(event);
    return kAccepted;
}

// --- Account and user data ---

void RPOUTA::reportPal(const Text& pal) { reportPal(pal, std::nullopt, false); }

void RPOUTA::reportPal(const Text& pal, const Text& appkey, bool isRealTime) {
    if (!enabled()) return;
    RPOUTAConfig::getInstance()->setPal(pal);
    currentSession(appkey);
    UTAReportAdditionEvent(true, appkey, isRealTime);
}

void RPOUTA::reportAccount(const Text& account, std::uint32_t type, const Text& ext) {
    reportAccount(account, type, ext, std::nullopt, false);
}

void RPOUTA::reportAccount(const Text& account, std::uint32_t type, const Text& ext, const Text& appkey,
                           bool isRealTime) {
    if (!enabled()) return;
    auto config = RPOUTAConfig::getInstance();
    config->setAccount(account);
    config->setAccountType(static_cast<std::int8_t>(type & 0xff));
    config->setAccountExt(ext);
    const std::uint32_t session = currentSession(appkey);
    if (!config->statEnable() || !config->account()) return;
    auto event = make<RPOUTAAccountEvent>();
    event->sid = session;
    event->appkey = appkey;
    event->isRealTime = isRealTime;
    UTASubmitEvent(event);
}

void RPOUTA::reportAppMonitorStat(const Ref<RPOUTAAppMonitorStat>& stat) {
    reportAppMonitorStat(stat, std::nullopt, false);
}

void RPOUTA::reportAppMonitorStat(const Ref<RPOUTAAppMonitorStat>& stat, const Text& appkey, bool isRealTime) {
    if (!enabled()) return;
    if (!stat || !stat->interface) {
        UTALog("[ERROR]Invalid arguments for reportAppMonitorStat:NULL stat object or null interface name in stat "
               "object.");
        return;
    }
    auto event = stampedEvent<RPOUTAMonitorStatEvent>(appkey, isRealTime);
    event->stat = stat;
    UTASubmitEvent(event);
}

void RPOUTA::trackGameUser(const Text& uid, const Text& world, const Text& level) {
    trackGameUser(uid, world, level, std::nullopt, false);
}

void RPOUTA::trackGameUser(const Text& uid, const Text& world, const Text& level, const Text& appkey,
                           bool isRealTime) {
    if (!enabled()) return;
    if (!uid) {
        UTALog("[ERROR]Invalid arguments for trackGameUser: null uid.");
        return;
    }
    auto event = stampedEvent<RPOUTAGameUserEvent>(appkey, isRealTime);
    event->uid = uid;
    event->world = world;
    event->level = level;
    UTASubmitEvent(event);
}

std::string RPOUTA::getUtaUDID() { return RPOUTAStore::getInstance()->getUtaStableUDID(); }

void RPOUTA::setAccount(const Text& account, std::uint64_t type) {
    auto config = RPOUTAConfig::getInstance();
    config->setCustomerUserID(account);
    if (type == 0) {
        config->setPal(account);
        reportPal(account);
    }
}

void RPOUTA::setUserProperty(const std::optional<Dictionary>& kvs) {
    if (!kvs || kvs->empty()) {
        UTALog("setUserProperty: kvs is empty");
        return;
    }
    if (UTAIsNestedTooDeep(Value(*kvs))) return;
    auto event = make<RPOUTAUserPropertyEvent>();
    event->kvs = kvs;
    UTASubmitEvent(event);
}
