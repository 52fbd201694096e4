#pragma once

// The checks of the host app's registration with the kit.
class RMApiRegister {
public:
    RMApiRegister() = delete;

    // Whether the host app's own bundle declares the URL scheme "ripple"
    // (exactly, letter case counting) among its URL types: then the Ripple
    // app's URLs would come back to the host, and registration is refused.
    static bool isAppRegisterRippleScheme();
};
