#pragma once

#include <optional>
#include <string>

#include "backend/StandIns.h"
#include "foundation/NSURL.h"

// What a back end given by --backend answers before the app starts: whether
// it answers at all, and where its stand-ins for the kits' services are when
// it is one of ours (velmaro-backend).
struct BackEndProbe {
    // Whether it answered over HTTP within a few seconds, whatever it said.
    bool reached = false;
    // Its stand-ins; nothing when it does not tell them, is not ours, or
    // their certificates are not on this machine.
    std::optional<backend::StandIns> standIns;

    static BackEndProbe ask(const Ref<NSURL>& address);
    // "HOST[:PORT]" of an address, an IPv6 host in brackets.
    static std::string hostAndPort(const Ref<NSURL>& address);
};
