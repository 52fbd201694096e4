#pragma once

#include <cstdint>
#include <vector>

#include "foundation/NSObject.h"
#include "kits/ripple/BaseReq.h"
#include "kits/ripple/BaseResp.h"

// Cards and invoices in the Ripple app's card package.

class RPCardItem : public NSObject {
    RP_PROPERTY(RPText, cardId, setCardId)
    RP_PROPERTY(RPText, extMsg, setExtMsg)
    RP_PROPERTY(std::uint32_t, cardState, setCardState)
    RP_PROPERTY(RPText, encryptCode, setEncryptCode)
    RP_PROPERTY(RPText, appID, setAppID)
};

class RPInvoiceItem : public RPCardItem {};

// Adds 1 to 40 cards to the card package.
class AddCardToRPCardPackageReq : public BaseReq {
    RP_PROPERTY(std::vector<Ref<RPCardItem>>, cardAry, setCardAry)
};

class AddCardToRPCardPackageResp : public BaseResp {
    RP_PROPERTY(std::vector<Ref<RPCardItem>>, cardAry, setCardAry)
};

class RPChooseCardReq : public BaseReq {
    RP_PROPERTY(RPText, appID, setAppID)
    RP_PROPERTY(std::uint32_t, shopID, setShopID)
    RP_PROPERTY(std::uint32_t, canMultiSelect, setCanMultiSelect)
    RP_PROPERTY(RPText, cardType, setCardType)
    RP_PROPERTY(RPText, cardTpID, setCardTpID)
    RP_PROPERTY(RPText, signType, setSignType)
    RP_PROPERTY(RPText, cardSign, setCardSign)
    RP_PROPERTY(std::uint32_t, timeStamp, setTimeStamp)
    RP_PROPERTY(RPText, nonceStr, setNonceStr)
};

class RPChooseCardResp : public BaseResp {
    RP_PROPERTY(std::vector<Ref<RPCardItem>>, cardAry, setCardAry)
};

class RPChooseInvoiceReq : public BaseReq {
    RP_PROPERTY(RPText, appID, setAppID)
    RP_PROPERTY(std::uint32_t, shopID, setShopID)
    RP_PROPERTY(RPText, signType, setSignType)
    RP_PROPERTY(RPText, cardSign, setCardSign)
    RP_PROPERTY(std::uint32_t, timeStamp, setTimeStamp)
    RP_PROPERTY(RPText, nonceStr, setNonceStr)
};

class RPChooseInvoiceResp : public BaseResp {
    RP_PROPERTY(std::vector<Ref<RPCardItem>>, cardAry, setCardAry)
};
