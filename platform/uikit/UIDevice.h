#pragma once

#include <string>

#include "foundation/NSObject.h"
#include "foundation/NSUUID.h"

enum class UIUserInterfaceIdiom { Unspecified = -1, Phone = 0, Pad = 1 };

// The phone the app runs on: an iPhone on iOS 15.0 unless a test or the
// runner sets another system version.
class UIDevice : public NSObject {
public:
    static Ref<UIDevice> currentDevice();

    const std::string& systemName() const { return systemName_; }
    const std::string& systemVersion() const { return systemVersion_; }
    void setSystemVersion(std::string version) { systemVersion_ = std::move(version); }
    const std::string& model() const { return model_; }
    const std::string& localizedModel() const { return model_; }
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    // Stable for the life of the device object.
    Ref<NSUUID> identifierForVendor() const { return identifierForVendor_; }
    UIUserInterfaceIdiom userInterfaceIdiom() const { return UIUserInterfaceIdiom::Phone; }
    // Every phone the app runs on switches between apps.
    bool isMultitaskingSupported() const { return true; }

    // Back to the defaults, with a new vendor identifier (between tests).
    static void resetCurrentDevice();

private:
    std::string systemName_ = "iOS";
    std::string systemVersion_ = "15.0";
    std::string model_ = "iPhone";
    std::string name_ = "iPhone";
    Ref<NSUUID> identifierForVendor_ = make<NSUUID>();
};
