#pragma once

#include <cstdint>
#include <string>

#include "kits/ripple/BaseReq.h"
#include "kits/ripple/RPMediaMessage.h"

// A share to the Ripple app: the text alone (bText true) or a media message
// (bText false), to a chat (scene 0) or to Moments (scene 1).
class SendMessageToRPReq : public BaseReq {
public:
    const std::string& text() const { return text_; }
    void setText(std::string text) { text_ = std::move(text); }
    const Ref<RPMediaMessage>& message() const { return message_; }
    void setMessage(Ref<RPMediaMessage> message) { message_ = std::move(message); }
    bool bText() const { return bText_; }
    void setBText(bool bText) { bText_ = bText; }
    std::int32_t scene() const { return scene_; }
    void setScene(std::int32_t scene) { scene_ = scene; }
    const std::string& toUserOpenId() const { return toUserOpenId_; }
    void setToUserOpenId(std::string openId) { toUserOpenId_ = std::move(openId); }

private:
    std::string text_;
    Ref<RPMediaMessage> message_;
    bool bText_ = false;
    std::int32_t scene_ = 0;
    std::string toUserOpenId_;
};
