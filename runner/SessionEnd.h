#pragma once

#include <ostream>

// How a session ends: by `quit`, at the end of its input or script, or on
// SIGTERM, SIGINT or SIGHUP (its terminal closed). A money action submitted just before (a settlement, a
// top-up) may be under way: the back end may act on it whatever the
// session does, so the session does not end in silence. It waits a bounded
// time for the answer and prints what the action came to, as the screen
// says it, or that its result is unknown and where to look
// ("结果未知，请在结算明细中确认").
namespace SessionEnd {

// The longest wait for the answers, in seconds.
constexpr double kLongestWaitSeconds = 10;

// SIGTERM, SIGINT and SIGHUP end the session as `quit` does, at the prompt
// or once the command running has finished: the reading of the next line
// stops, a picture being decoded is left (imageDecodingStopped), and the
// session ends through settle(), saving its history. A second one ends the
// process at once.
void catchSignals();
// Whether such a signal came.
bool signalled();

// Prints each money action of an earlier session whose result the app
// still does not know (its request kept in the app's sandbox, as it was
// before it went out), with where to look: the app tells it at its start.
// So does it for the actions a damaged kept file may have held ("may hold
// a 提现"), naming the file and where it was set aside.
void tellEarlierUnknownResults(std::ostream& out);

// Runs the app until the money actions under way have been answered, or
// for kLongestWaitSeconds, and prints to `out` the outcome of each, and of
// each answered since the last command began (KXMoneyRequest::mark): a
// success that only flashed on the screen as the session ended is told.
void settle(std::ostream& out);

}  // namespace SessionEnd
