#pragma once

#include <cstdint>

#include "kits/pal/PalApi/PalApiInterface/PalBaseReq.h"

// The façade through which a host app shares content to Pal. It keeps no
// state: a request is wrapped into a message and handed to the share
// dispatcher (PalApi::sendMessage), whose result code comes back unchanged;
// -1 is the façade's own refusal. Main thread only.
class PalApiInterface {
public:
    PalApiInterface() = delete;

    // A share request: null is refused (-1, logged), so is a request whose
    // type is not 1 (-1); otherwise sendMessageToPalWithReq's result. The
    // statistics check report that follows a send is not built yet.
    static std::int32_t sendReq(const Ref<PalBaseReq>& request);

private:
    // The request must be exactly a SendMessageToPalReq (else -1, logged);
    // its content goes out as a share to a chat (message type 5).
    static std::int32_t sendMessageToPalWithReq(const Ref<PalBaseReq>& request);
};
