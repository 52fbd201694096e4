#pragma once

#include "kits/ripple/BaseReq.h"
#include "kits/ripple/BaseResp.h"

// Login through the Ripple app.
class SendAuthReq : public BaseReq {
    RP_PROPERTY(RPText, scope, setScope)
    RP_PROPERTY(RPText, state, setState)
};

class SendAuthResp : public BaseResp {
    RP_PROPERTY(RPText, code, setCode)
    RP_PROPERTY(RPText, state, setState)
    RP_PROPERTY(RPText, lang, setLang)
    RP_PROPERTY(RPText, country, setCountry)
};
