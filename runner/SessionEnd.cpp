#include "runner/SessionEnd.h"

#include <algorithm>
#include <csignal>

#include "app/payment/KXKeptMoneyRequests.h"
#include "app/payment/KXMoneyReadBack.h"
#include "app/payment/KXMoneyRequest.h"
#include "foundation/NSRunLoop.h"
#include "graphics/ImageLimits.h"

namespace SessionEnd {

namespace {

volatile std::sig_atomic_t received = 0;

void onSignal(int signal) {
    if (received) {
        // Asked again while the session ends: at once.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    received = signal;
    // A picture being decoded (a web picture, a scan) is left at its next
    // row, so the session ends within moments rather than after the decode.
    imageDecodingStopped = true;
}

}  // namespace

void catchSignals() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a read of the next line waiting on its input returns.
    action.sa_flags = 0;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool signalled() { return received != 0; }

void tellEarlierUnknownResults(std::ostream& out) {
    for (const auto& kept : KXKeptMoneyRequests::ofSignedInPromoter())
        out << "from an earlier session, " << KXMoneyReadBack::describe(kept.request) << ": "
            << KXMoneyRequest::unknownResultText(kept.records) << std::endl;
    // A kept file found damaged: where it was set aside, and the actions it
    // may have held, closed until their list can tell.
    for (const auto& closed : KXKeptMoneyRequests::closedForSignedInPromoter())
        out << "from an earlier session, a damaged " << closed.file << " (" << closed.damage << "; "
            << (closed.setAside.empty() ? "left where it is" : "set aside as " + closed.setAside) << ") may hold a "
            << KXMoneyReadBack::captionOfList(closed.records) << ": " << KXMoneyRequest::unknownResultText(closed.records)
            << std::endl;
}

void settle(std::ostream& out) {
    const auto sent = KXMoneyRequest::sinceMark();
    auto answered = [&] {
        return std::all_of(sent.begin(), sent.end(), [](const auto& one) { return one->outcome.has_value(); });
    };
    if (!answered()) {
        out << "waiting up to " << kLongestWaitSeconds << " s for the answer to what was submitted" << std::endl;
        NSRunLoop::mainRunLoop()->runUntil(answered, kLongestWaitSeconds);
    }
    for (const auto& one : sent)
        out << one->outcome.value_or(KXMoneyRequest::unknownResultText(one->records)) << std::endl;
}

}  // namespace SessionEnd
