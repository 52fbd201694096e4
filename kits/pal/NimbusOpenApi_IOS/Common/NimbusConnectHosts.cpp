#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"

#include <mutex>

#include "foundation/NSURL.h"
#include "foundation/URLLoadingEngine.h"

namespace {

struct Setting {
    std::mutex mutex;
    std::string host;
};

Setting& setting() {
    static Setting shared;
    return shared;
}

}  // namespace

void NimbusConnectHosts::setHost(std::string host, std::optional<std::string> trustedCertificateFile) {
    auto parsed = NSURL::URLWithString("https://" + host + "/");
    if (auto name = parsed ? parsed->host() : std::nullopt)
        URLLoadingEngine::trustCertificatesForHost(*name, std::move(trustedCertificateFile));
    std::lock_guard lock(setting().mutex);
    setting().host = std::move(host);
}

std::string NimbusConnectHosts::host() {
    std::lock_guard lock(setting().mutex);
    return setting().host;
}

std::string NimbusConnectHosts::baseURL() { return "https://" + host(); }
