#pragma once

#include <functional>
#include <optional>
#include <string>

#include "foundation/NSObject.h"

class UIImage;

// Another device with the Ripple app, which a user points at the login QR
// code the host app shows: it reads the code from the picture and visits
// the address it holds, the open platform's page for that login, as the
// Ripple app does on a scan; the page's links confirm or refuse the login.
class SimulatedRipplePhone {
public:
    SimulatedRipplePhone() = delete;

    // The address the picture's QR code holds; nothing when it holds none.
    static std::optional<std::string> readLoginCode(const Ref<UIImage>& picture);
    // Visits the address for `action`: "scan" (the visit alone), "allow"
    // (confirm, after a scan) or "deny" (refuse, after a scan); the stand-in platform also
    // takes "expire" (as if the login's time had run out). `done` hears on the main queue
    // whether the platform took it (HTTP 200). False at once, without
    // `done`, when the picture holds no code.
    static bool actOnLoginCode(const Ref<UIImage>& picture, const std::string& action,
                               std::function<void(bool taken)> done);
};
