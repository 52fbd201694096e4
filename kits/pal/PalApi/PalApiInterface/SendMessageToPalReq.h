#pragma once

#include <cstdint>

#include "kits/pal/PalApi/PalApiObject.h"
#include "kits/pal/PalApi/PalApiInterface/PalBaseReq.h"

// A share to a Pal chat: the content to send.
class SendMessageToPalReq : public PalBaseReq {
public:
    static constexpr std::int32_t kShareType = 1;

    // A share request (type 1) for the content.
    static Ref<SendMessageToPalReq> reqWithContent(Ref<PalApiObject> message) {
        auto request = make<SendMessageToPalReq>();
        request->setType(kShareType);
        request->setMessage(std::move(message));
        return request;
    }

    const Ref<PalApiObject>& message() const { return message_; }
    void setMessage(Ref<PalApiObject> message) { message_ = std::move(message); }

private:
    Ref<PalApiObject> message_;
};
