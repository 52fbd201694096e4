#pragma once

#include <string>

// The deployment's compiled-in settings for the kits: the app's Ripple and
// Pal application identifiers and the Pal web site's host. The bundle's
// Info.plist declares the URL schemes of the same identifiers.
class KXAppConfiguration {
public:
    KXAppConfiguration() = delete;

    // "rp" and 16 lower-case hexadecimal digits.
    static std::string rippleAppId();
    // Nine decimal digits.
    static std::string palAppId();
    // The Pal login's redirect address.
    static std::string palRedirectHost();
};
