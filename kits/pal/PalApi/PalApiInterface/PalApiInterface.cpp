#include "kits/pal/PalApi/PalApiInterface/PalApiInterface.h"

#include <typeinfo>

#include "foundation/NSLog.h"
#include "kits/pal/PalApi/PalApi.h"
#include "kits/pal/PalApi/PalApiInterface/SendMessageToPalReq.h"

std::int32_t PalApiInterface::sendReq(const Ref<PalBaseReq>& request) {
    if (!request) {
        NSLog("PalAliInterface.m: req is nil at sendReq");
        return -1;
    }
    if (request->type() != SendMessageToPalReq::kShareType) return -1;
    return sendMessageToPalWithReq(request);
}

std::int32_t PalApiInterface::sendMessageToPalWithReq(const Ref<PalBaseReq>& request) {
    if (!request || typeid(*request) != typeid(SendMessageToPalReq)) {
        NSLog("PalAliInterface.m: req is not member of class SendMessageToPalReq at sendMessageToPalWithReq");
        return -1;
    }
    const auto& share = static_cast<const SendMessageToPalReq&>(*request);
    return PalApi::sendMessage(PalApiMessage::messageWithObject(share.message(), PalApiMessage::kShareToChat));
}
