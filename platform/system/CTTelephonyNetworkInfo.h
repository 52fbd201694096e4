#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "foundation/NSObject.h"

// The mobile network operator of the SIM in the simulated device.
class CTCarrier : public NSObject {
public:
    CTCarrier(std::string carrierName, std::string mobileCountryCode, std::string mobileNetworkCode,
              std::string isoCountryCode)
        : carrierName_(std::move(carrierName)),
          mobileCountryCode_(std::move(mobileCountryCode)),
          mobileNetworkCode_(std::move(mobileNetworkCode)),
          isoCountryCode_(std::move(isoCountryCode)) {}

    const std::string& carrierName() const { return carrierName_; }
    const std::string& mobileCountryCode() const { return mobileCountryCode_; }
    const std::string& mobileNetworkCode() const { return mobileNetworkCode_; }
    const std::string& isoCountryCode() const { return isoCountryCode_; }

private:
    std::string carrierName_, mobileCountryCode_, mobileNetworkCode_, isoCountryCode_;
};

// Telephony facts of the simulated device: a China Mobile SIM ("460", "00")
// unless a test or the runner puts in another one, or none.
class CTTelephonyNetworkInfo : public NSObject {
public:
    // The carrier of the SIM; null without one.
    Ref<CTCarrier> subscriberCellularProvider() const { return simulatedCarrier(); }

    static Ref<CTCarrier> simulatedCarrier();
    static void setSimulatedCarrier(Ref<CTCarrier> carrier);
    // Back to the default SIM.
    static void resetSimulatedCarrier();
};
