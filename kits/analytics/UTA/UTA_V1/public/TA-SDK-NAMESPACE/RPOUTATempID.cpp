#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>

#include "foundation/CommonDigest.h"
#include "foundation/NSLocale.h"
#include "foundation/NSPathUtilities.h"
#include "foundation/NSString.h"
#include "foundation/NSTimeZone.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEnv.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStableUDID.h"
#include "uikit/UIDevice.h"

namespace {

// Boot time as "<seconds><microseconds>" (microseconds unpadded); empty when unknown.
std::string bootTimeText() {
    timespec now{}, sinceBoot{};
    if (clock_gettime(CLOCK_REALTIME, &now) != 0 || clock_gettime(CLOCK_BOOTTIME, &sinceBoot) != 0) return "";
    const std::int64_t micros = (now.tv_sec - sinceBoot.tv_sec) * 1000000LL + (now.tv_nsec - sinceBoot.tv_nsec) / 1000;
    if (micros / 1000000 <= 0) return "";
    return NSString::stringWithFormat("%lu%d", static_cast<unsigned long>(micros / 1000000),
                                      static_cast<int>(micros % 1000000));
}

std::string joined(const std::vector<std::string>& parts, const std::string& separator) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? separator : "") + parts[i];
    return text;
}

// "hw.model" has no counterpart on this kernel; "hw.machine" is uname's machine.
std::string hardwareFacts() {
    utsname names{};
    const std::string machine = uname(&names) == 0 ? names.machine : "";
    auto mccmnc = RPOUTAEnv::getInstance()->mccmnc();
    if (!mccmnc) {
        // Filled for later calls.
        RPOUTAHelper::getCTTelephonyNetworkInfo([](const Ref<CTTelephonyNetworkInfo>& info) {
            if (auto carrier = info->subscriberCellularProvider()) {
                RPOUTAEnv::getInstance()->setMccmnc(carrier->mobileCountryCode() + carrier->mobileNetworkCode());
            }
        });
    }
    const auto memory = static_cast<std::uint32_t>(static_cast<std::uint64_t>(sysconf(_SC_PHYS_PAGES)) *
                                                   static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE)));
    return NSString::stringWithFormat("%@,%@,%@,%td", std::string(), machine, mccmnc.value_or(""),
                                      static_cast<std::ptrdiff_t>(memory));
}

std::string diskFacts() {
    struct statvfs disk{};
    std::string size, freeSize;
    if (statvfs(NSHomeDirectory().c_str(), &disk) == 0) {
        size = std::to_string(static_cast<unsigned long long>(disk.f_blocks) * disk.f_frsize);
        freeSize = std::to_string(static_cast<unsigned long long>(disk.f_bavail) * disk.f_frsize);
    }
    return NSString::stringWithFormat("%@%@%lu", size, freeSize.substr(0, 1),
                                      static_cast<unsigned long>(freeSize.size()));
}

}  // namespace

std::string RPOUTATempID::getUTATempID() {
    auto shared = RPOUTAEnv::getInstance();
    if (auto known = shared->tmpID()) return *known;
    auto device = UIDevice::currentDevice();
    const std::string facts = NSString::stringWithFormat(
        "%@,%@,%@,%@,%@,%@,%@,%@", bootTimeText(), NSLocale::currentLocale()->localeIdentifier(),
        joined(NSLocale::preferredLanguages(), ","), device->name(), device->systemVersion(), hardwareFacts(),
        NSTimeZone::systemTimeZone()->name(), diskFacts());
    unsigned char digest[CC_SHA256_DIGEST_LENGTH];
    CC_SHA256(facts.data(), static_cast<CC_LONG>(facts.size()), digest);
    std::string text;
    for (int i = 0; i < 32; i += 2) {
        if (i == 8 || i == 12 || i == 16 || i == 20) text += "-";
        text += NSString::stringWithFormat("%02X", static_cast<unsigned>(digest[i]));
    }
    shared->setTmpID(text);
    return text;
}
