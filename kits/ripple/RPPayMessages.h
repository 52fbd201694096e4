#pragma once

#include <cstdint>

#include "kits/ripple/BaseReq.h"
#include "kits/ripple/BaseResp.h"

// Payments through the Ripple app.

class PayReq : public BaseReq {
    RP_PROPERTY(RPText, partnerId, setPartnerId)
    RP_PROPERTY(RPText, prepayId, setPrepayId)
    RP_PROPERTY(RPText, nonceStr, setNonceStr)
    RP_PROPERTY(std::uint32_t, timeStamp, setTimeStamp)
    RP_PROPERTY(RPText, package, setPackage)
    RP_PROPERTY(RPText, sign, setSign)
};

class PayResp : public BaseResp {
    RP_PROPERTY(RPText, returnKey, setReturnKey)
};

class RPOfflinePayReq : public BaseReq {};
class RPOfflinePayResp : public BaseResp {};

// A red packet.
class HBReq : public BaseReq {
    RP_PROPERTY(RPText, nonceStr, setNonceStr)
    RP_PROPERTY(std::uint32_t, timeStamp, setTimeStamp)
    RP_PROPERTY(RPText, package, setPackage)
    RP_PROPERTY(RPText, sign, setSign)
};

class HBResp : public BaseResp {};
