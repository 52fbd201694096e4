#include "app/payment/KXBalanceWatch.h"

namespace {

// Main thread only, as every screen.
unsigned long long changes = 0;

}  // namespace

void KXBalanceWatch::changed() { ++changes; }

KXBalanceWatch::KXBalanceWatch() : seen_(changes) {}

bool KXBalanceWatch::takeChange() {
    const bool changedSince = seen_ != changes;
    seen_ = changes;
    return changedSince;
}
