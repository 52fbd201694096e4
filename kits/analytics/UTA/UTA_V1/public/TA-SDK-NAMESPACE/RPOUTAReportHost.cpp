#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAReportHost.h"

#include <mutex>

#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTASharedInstance.h"

namespace {

struct Setting {
    std::mutex mutex;
    std::string host;
    std::uint16_t port = RPOUTAReportHost::kDefaultPort;
};

Setting& setting() {
    static Setting shared;
    return shared;
}

// Tests start as a new process would: with no host.
[[maybe_unused]] const bool hostForgotten = UTAOnReset([] { RPOUTAReportHost::setHost(""); });

}  // namespace

void RPOUTAReportHost::setHost(std::string host, std::uint16_t port) {
    std::lock_guard lock(setting().mutex);
    setting().host = std::move(host);
    setting().port = port;
}

std::string RPOUTAReportHost::host() {
    std::lock_guard lock(setting().mutex);
    return setting().host;
}

std::uint16_t RPOUTAReportHost::port() {
    std::lock_guard lock(setting().mutex);
    return setting().port;
}
