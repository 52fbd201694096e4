#include "foundation/MonotonicClock.h"

#include <atomic>
#include <chrono>

namespace {
std::atomic<bool> manualMode{false};
std::atomic<double> manualTime{0};
}  // namespace

double MonotonicClock::realNow() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double MonotonicClock::now() { return manualMode.load() ? manualTime.load() : realNow(); }

bool MonotonicClock::isManual() { return manualMode.load(); }

void MonotonicClock::setManual(bool manual) {
    if (manual && !manualMode.load()) manualTime.store(realNow());
    manualMode.store(manual);
}

void MonotonicClock::setManualTime(double time) {
    if (!manualMode.load()) return;
    double current = manualTime.load();
    while (time > current && !manualTime.compare_exchange_weak(current, time)) {
    }
}
