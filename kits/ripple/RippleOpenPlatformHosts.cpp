#include "kits/ripple/RippleOpenPlatformHosts.h"

#include <mutex>

#include "foundation/NSURL.h"
#include "foundation/URLLoadingEngine.h"

namespace {

struct Setting {
    std::mutex mutex;
    std::string webHost;
    std::string longPollHost;
};

Setting& setting() {
    static Setting shared;
    return shared;
}

void trust(const std::string& host, const std::string& certificateFile) {
    auto parsed = NSURL::URLWithString("https://" + host + "/");
    if (auto name = parsed ? parsed->host() : std::nullopt)
        URLLoadingEngine::trustCertificatesForHost(*name, certificateFile);
}

}  // namespace

void RippleOpenPlatformHosts::setHosts(std::string webHost, std::string longPollHost,
                                       std::optional<std::string> trustedCertificateFile) {
    if (trustedCertificateFile) {
        trust(webHost, *trustedCertificateFile);
        trust(longPollHost, *trustedCertificateFile);
    }
    std::lock_guard lock(setting().mutex);
    setting().webHost = std::move(webHost);
    setting().longPollHost = std::move(longPollHost);
}

std::string RippleOpenPlatformHosts::webBaseURL() {
    std::lock_guard lock(setting().mutex);
    return "https://" + setting().webHost;
}

std::string RippleOpenPlatformHosts::longPollBaseURL() {
    std::lock_guard lock(setting().mutex);
    return "https://" + setting().longPollHost;
}
