#include "tests/support/ManualClock.h"

#include "foundation/MonotonicClock.h"
#include "foundation/NSRunLoop.h"
#include "foundation/PendingAnswer.h"
#include "foundation/URLLoadingEngine.h"
#include "tests/support/Eventually.h"

namespace {

// Nothing of earlier code's requests is left to answer into this test: every
// transfer ends (as a lost connection) and their handlers run now, so that
// what waits for them (a kit's list of requests under way) is left as after
// an answer, before the test begins.
void endEarlierRequests() {
    URLLoadingEngine::closeAllConnections();
    const bool ended = NSRunLoop::mainRunLoop()->runUntil([] { return PendingAnswer::count() == 0; },
                                                          kGiveUpAfterSeconds);
    if (!ended) ADD_FAILURE() << "requests of earlier code are still under way";
}

}  // namespace

ManualClock::ManualClock() {
    endEarlierRequests();
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

bool MainLoopFixture::letRequestsEnd(const std::function<void()>& settle) {
    auto answered = [] { return PendingAnswer::count() == 0; };
    auto loop = NSRunLoop::mainRunLoop();
    // An answer may start another request (a list loading its next part):
    // a few rounds let such chains end.
    for (int round = 0; round < 10; ++round) {
        if (!runUntil(answered)) return false;
        if (settle) {
            settle();
        } else {
            // Bounded, so that work which keeps posting more work cannot hang a test.
            for (int turn = 0; turn < 1000 && loop->runOnce(); ++turn) {
            }
        }
        if (answered()) return true;
    }
    return false;
}
