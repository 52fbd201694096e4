#pragma once

#include <optional>
#include <string>

// The hosts of the Pal connect web services (policy, share limit,
// statistics, return-code monitor, Open API, presence, PalSpace pages): one
// setting of the kit, "host[:port]", served over HTTPS. A certificate file
// given with it is the only authority the kit trusts for that host (a local
// stand-in's own certificate); certificate checks stay on either way.
// Until a host is set the services are unreachable and every request fails
// at once, without leaving the machine.
class NimbusConnectHosts {
public:
    NimbusConnectHosts() = delete;

    static void setHost(std::string host, std::optional<std::string> trustedCertificateFile = std::nullopt);
    static std::string host();
    // "https://" + host, without a trailing "/".
    static std::string baseURL();
    // The Pal web site (default redirect address, network watch of a web
    // login) and the Pal office web site (redirect address of PalWork logins).
    static constexpr const char* kPalWebSiteHost = "www.pal.example";
    static constexpr const char* kPalOfficeWebSiteHost = "office.pal.example";
    // The monitoring domain name sent with the return-code reports.
    static constexpr const char* kMonitorDomain = "openmobile.pal.example";
};
