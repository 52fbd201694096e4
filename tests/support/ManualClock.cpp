#include "tests/support/ManualClock.h"

#include "foundation/DispatchThreadPool.h"
#include "foundation/MonotonicClock.h"
#include "foundation/NSRunLoop.h"
#include "foundation/URLLoadingEngine.h"

namespace {
// Ends the transfers under way (a screen's request to a back end that its
// test has already stopped), lets the background queues hand their
// completions to the main queue, and drops what waits on the main loop, so
// that none of it reaches the next test.
void emptyMainLoop() {
    URLLoadingEngine::closeAllConnections();
    DispatchThreadPool::shared().waitUntilIdle(2);
    NSRunLoop::mainRunLoop()->discardPendingWork();
}
}  // namespace

ManualClock::ManualClock() {
    emptyMainLoop();
    MonotonicClock::setManual(true);
}

ManualClock::~ManualClock() {
    emptyMainLoop();
    MonotonicClock::setManual(false);
}

void ManualClock::advance(double seconds) { NSRunLoop::mainRunLoop()->advanceManualClock(seconds); }

double ManualClock::now() const { return MonotonicClock::now(); }

bool MainLoopFixture::runUntil(const std::function<bool()>& predicate, double timeoutSeconds) {
    return NSRunLoop::mainRunLoop()->runUntil(predicate, timeoutSeconds);
}
