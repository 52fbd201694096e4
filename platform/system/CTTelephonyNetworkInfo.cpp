#include "system/CTTelephonyNetworkInfo.h"

namespace {

std::mutex carrierMutex;

Ref<CTCarrier> defaultCarrier() { return make<CTCarrier>("China Mobile", "460", "00", "cn"); }

Ref<CTCarrier>& currentCarrier() {
    static Ref<CTCarrier> carrier = defaultCarrier();
    return carrier;
}

}  // namespace

Ref<CTCarrier> CTTelephonyNetworkInfo::simulatedCarrier() {
    std::lock_guard lock(carrierMutex);
    return currentCarrier();
}

void CTTelephonyNetworkInfo::setSimulatedCarrier(Ref<CTCarrier> carrier) {
    std::lock_guard lock(carrierMutex);
    currentCarrier() = std::move(carrier);
}

void CTTelephonyNetworkInfo::resetSimulatedCarrier() { setSimulatedCarrier(defaultCarrier()); }
