#pragma once

#include <optional>
#include <string>

namespace backend {

// Where the back end's stand-ins for the kits' services listen: the Pal
// connect web services and the Ripple open platform over TLS (each with the
// PEM certificate its clients trust), and the analytics collector. The back
// end answers it at kPath, so that a runner given only the back end's
// address finds them too.
struct StandIns {
    static constexpr const char* kPath = "/stand-ins";

    std::string palConnectHost;  // "127.0.0.1:<port>"
    std::string palConnectCertificate;
    std::string rippleOpenPlatformHost;
    std::string rippleOpenPlatformCertificate;
    std::string analyticsCollectorHost;  // "127.0.0.1"
    int analyticsCollectorPort = 0;

    std::string toJSON() const;
    // Nothing when `text` is not such a description (every field present).
    static std::optional<StandIns> fromJSON(const std::string& text);
};

}  // namespace backend
