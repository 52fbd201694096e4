#pragma once

#include <string>

// Where the back end lives: the service base address (an absolute HTTP
// address whose path is "/"), and the two outside pages of the GET client.
// These are deployment settings, never literals in a screen or a client: the
// runner and tests set them; otherwise the environment variable
// VELMARO_SERVICE_URL gives the base, else a local default.
class KXServiceAddress {
public:
    KXServiceAddress() = delete;

    static std::string baseURL();
    // A base without a trailing "/" gets one (see asBase).
    static void setBaseURL(std::string address);
    // `address` as a base that paths are joined to: ending in "/", which it
    // gets when it has none. The one rule for every address of the service.
    static std::string asBase(std::string address);

    // The app download page (an "apk" query names the package) and the
    // customer site; by default both are pages of the service itself.
    static std::string downloadPageURL();
    static std::string customerSiteURL();
};
