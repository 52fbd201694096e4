#include "app/shell/KXServiceAddress.h"

#include <cstdlib>
#include <mutex>

namespace {

std::mutex addressMutex;
std::string configuredBase;

}  // namespace

std::string KXServiceAddress::baseURL() {
    {
        std::lock_guard lock(addressMutex);
        if (!configuredBase.empty()) return configuredBase;
    }
    if (const char* fromEnvironment = std::getenv("VELMARO_SERVICE_URL"); fromEnvironment && *fromEnvironment) {
        return asBase(fromEnvironment);
    }
    return "http://127.0.0.1:8800/";
}

void KXServiceAddress::setBaseURL(std::string address) {
    std::lock_guard lock(addressMutex);
    configuredBase = address.empty() ? std::string() : asBase(std::move(address));
}

std::string KXServiceAddress::asBase(std::string address) {
    if (address.empty() || address.back() != '/') address += '/';
    return address;
}

std::string KXServiceAddress::downloadPageURL() { return baseURL() + "weix/downtz.php?apk=velmaro.apk"; }

std::string KXServiceAddress::customerSiteURL() { return baseURL(); }
