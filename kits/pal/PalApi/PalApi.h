#pragma once

#include <cstdint>

#include "kits/pal/PalApi/PalApiMessage.h"

// The share dispatcher: decides whether Pal or PalWork takes a message,
// checks that it can, and hands the message over. Class methods, main
// thread only.
//
// Result codes: 0 sent, 1 Pal lacks the share interface, 2 Pal missing,
// 6 the host registered no URL scheme with the kit (further codes come with
// the later steps).
//
// This build runs the dispatcher's opening steps: a message goes to PalWork
// (shareDestType 1) when Pal is not installed; a message for Pal needs Pal
// and its share interface ("mpalapi://"), while PalWork's probes always
// pass; then the host's URL scheme must be
// registered with the kit. Registering that scheme (the plug-in pasteboard)
// and everything after it (the message's checks, preview downloads, the
// share URL and opening it, the share report) are not built yet, so every
// message that passes the probes answers 6 and nothing leaves the app.
class PalApi {
public:
    PalApi() = delete;

    // "mpal://" can be opened.
    static bool isPalInstalled();
    // "mpalapi://" can be opened.
    static bool isPalSupportApi();

    static std::int32_t sendMessage(const Ref<PalApiMessage>& message);
};
