#pragma once

#include <optional>
#include <string>

// The hosts of the Ripple open platform's web services, a setting of the
// kit ("host[:port]", served over HTTPS): the web host (the QR login's code
// request, the web authorisation pages) and the long-polling host (the QR
// login's state polls). A certificate file given with them is the only
// authority trusted for those hosts (a local stand-in's own certificate);
// certificate checks stay on either way; without one, what is trusted for
// those host names stays as it is. Until hosts are set, the
// addresses have no host and nothing is requested.
class RippleOpenPlatformHosts {
public:
    RippleOpenPlatformHosts() = delete;

    static void setHosts(std::string webHost, std::string longPollHost,
                         std::optional<std::string> trustedCertificateFile = std::nullopt);
    // "https://" + host, without a trailing "/".
    static std::string webBaseURL();
    static std::string longPollBaseURL();
};
