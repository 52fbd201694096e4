#include "tests/support/ManualClock.h"

#include "foundation/MonotonicClock.h"
#include "foundation/NSRunLoop.h"

ManualClock::ManualClock() {
    NSRunLoop::mainRunLoop()->discardPendingWork();
    MonotonicClock::setManual(true);
}

ManualClock::~ManualClock() {
    NSRunLoop::mainRunLoop()->discardPendingWork();
    MonotonicClock::setManual(false);
}

void ManualClock::advance(double seconds) { NSRunLoop::mainRunLoop()->advanceManualClock(seconds); }

double ManualClock::now() const { return MonotonicClock::now(); }

bool MainLoopFixture::runUntil(const std::function<bool()>& predicate, double timeoutSeconds) {
    return NSRunLoop::mainRunLoop()->runUntil(predicate, timeoutSeconds);
}
