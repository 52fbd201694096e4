#pragma once

#include <cstdint>

#include "kits/ripple/BaseReq.h"
#include "kits/ripple/BaseResp.h"
#include "kits/ripple/RPMediaMessage.h"

// Messages shared between the host app and the Ripple app, both ways.

// A share to the Ripple app: the text alone (bText true) or a media message
// (bText false), to a chat (scene 0) or to Moments (scene 1).
class SendMessageToRPReq : public BaseReq {
    RP_PROPERTY(RPText, text, setText)
    RP_PROPERTY(Ref<RPMediaMessage>, message, setMessage)
    RP_PROPERTY(bool, bText, setBText)
    RP_PROPERTY(std::int32_t, scene, setScene)
    RP_PROPERTY(RPText, toUserOpenId, setToUserOpenId)
};

// The Ripple app's answer to a share.
class SendMessageToRPResp : public BaseResp {
    RP_PROPERTY(RPText, lang, setLang)
    RP_PROPERTY(RPText, country, setCountry)
};

// The Ripple app asks the host for content to share.
class GetMessageFromRPReq : public BaseReq {
    RP_PROPERTY(RPText, lang, setLang)
    RP_PROPERTY(RPText, country, setCountry)
};

// The host's answer to a GetMessageFromRPReq.
class GetMessageFromRPResp : public BaseResp {
    RP_PROPERTY(RPText, text, setText)
    RP_PROPERTY(Ref<RPMediaMessage>, message, setMessage)
    RP_PROPERTY(bool, bText, setBText)
};

// The Ripple app asks the host to show a message.
class ShowMessageFromRPReq : public BaseReq {
    RP_PROPERTY(Ref<RPMediaMessage>, message, setMessage)
    RP_PROPERTY(RPText, lang, setLang)
    RP_PROPERTY(RPText, country, setCountry)
};

class ShowMessageFromRPResp : public BaseResp {};

// The host was launched from the Ripple app.
class LaunchFromRPReq : public BaseReq {
    RP_PROPERTY(Ref<RPMediaMessage>, message, setMessage)
    RP_PROPERTY(RPText, lang, setLang)
    RP_PROPERTY(RPText, country, setCountry)
};
