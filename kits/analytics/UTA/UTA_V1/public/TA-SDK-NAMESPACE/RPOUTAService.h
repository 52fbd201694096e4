#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEvent.h"

class RPOUTA;

// The service's process-wide operations, shared by its start-up, the
// recording methods and the plug-in hooks.

// The current time in seconds since 1970, as the service reads it for
// sessions, timers and periodic sends. Tests may replace the source; an
// empty function goes back to the system clock.
double UTANow();
void UTASetTimeSource(std::function<double()> source);

// The session check: opens a session (a new id and a session event) at the
// first check, after local midnight, after `sessionTimeoutSecs` of idleness
// when `checkIdle`, and when none is open; refreshes the last activity time.
// Answers the current session id.
std::uint32_t UTACheckSession(bool checkIdle, const std::optional<std::string>& appkey, bool isRealTime);
// A fresh session id; resets the per-session event count and the next
// midnight. The caller decides whether it becomes the current id.
std::uint32_t UTANewSessionId();
std::uint32_t UTACurrentSessionId();
// Counts one more event of the current session, unless the session's cap
// (`maxSessionStatReportCount`, when 1 or more) is reached: then false.
bool UTAAdmitSessionEvent();
// Forgets the last activity, so that the next idle check opens a session.
void UTAClearLastActivity();

// The shared instance when it exists, without making it.
Ref<RPOUTA> UTAExistingInstance();

// For tests, which run many app lives in one process: lets the service, the
// store and the report channel finish what was handed to them, drops the
// channel's connection, closes the store's file for good, and forgets every
// shared instance and every piece of process-wide state (settings, identity,
// online configuration, sessions, timers), so that the next use starts as a
// new process would. Call it on the main thread, not from the library's queues.
void UTAResetForTests();

// The intake of every recorded event: before the shared instance exists it
// waits in a list of at most 128; afterwards the waiting ones go first.
void UTASubmitEvent(const Ref<RPOUTAEvent>& event);
// The per-session cap, then the report policy on the service queue.
void UTADispatchEvent(const Ref<RPOUTAEvent>& event);
// The addition event (the Pal number): at the first page view or custom
// event of the process, and whenever `force`; only while a Pal number is set.
void UTAReportAdditionEvent(bool force, const std::optional<std::string>& appkey, bool isRealTime);

// Whether an event's text with its arguments or properties (a dictionary or
// an array; nil for none) is longer than the library accepts: 61440 UTF-16
// units together.
bool UTAIsContentTooLong(const std::optional<std::string>& text, const Value& props);
// Whether arguments or properties nest deeper than the report host takes
// them where an event carries them (logged; the call answers 1000).
bool UTAIsNestedTooDeep(const Value& props);
