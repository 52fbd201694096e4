#pragma once

#include <cstdint>

#include "foundation/Value.h"
#include "kits/ripple/BaseReq.h"
#include "kits/ripple/BaseResp.h"

// Requests that open a session, a profile or a web page inside the Ripple
// app, and their answers.

class OpenTempSessionReq : public BaseReq {
    RP_PROPERTY(RPText, username, setUsername)
    RP_PROPERTY(RPText, sessionFrom, setSessionFrom)
};
class OpenTempSessionResp : public BaseResp {};

class OpenWebviewReq : public BaseReq {
    RP_PROPERTY(RPText, url, setUrl)
};
class OpenWebviewResp : public BaseResp {};

class OpenRankListReq : public BaseReq {};
class OpenRankListResp : public BaseResp {};

class JumpToBizProfileReq : public BaseReq {
    RP_PROPERTY(RPText, username, setUsername)
    RP_PROPERTY(RPText, extMsg, setExtMsg)
    RP_PROPERTY(std::int32_t, profileType, setProfileType)
};

// Only web type 0 is sent.
class JumpToBizWebviewReq : public BaseReq {
    RP_PROPERTY(std::int32_t, webType, setWebType)
    RP_PROPERTY(RPText, tousrname, setTousrname)
    RP_PROPERTY(RPText, extMsg, setExtMsg)
};

class RPHandleScanResultReq : public BaseReq {
    RP_PROPERTY(RPText, scanResult, setScanResult)
};

class RPOpenBusinessWebViewReq : public BaseReq {
    RP_PROPERTY(std::uint32_t, businessType, setBusinessType)
    RP_PROPERTY(Dictionary, queryInfoDic, setQueryInfoDic)
};
class RPOpenBusinessWebViewResp : public BaseResp {
    RP_PROPERTY(RPText, result, setResult)
    RP_PROPERTY(std::uint32_t, businessType, setBusinessType)
};

// The typed web view that five requests go through; its kind is BaseReq's
// `type` (1 to 5) and `query` the request's own query text.
class RPOpenTypeWebViewReq : public BaseReq {
    RP_PROPERTY(RPText, rpInternalResptype, setRpInternalResptype)
    RP_PROPERTY(RPText, query, setQuery)
};
class RPOpenTypeWebViewResp : public BaseResp {
    RP_PROPERTY(Dictionary, infoDic, setInfoDic)
};

class RPSubscribeMsgReq : public BaseReq {
    RP_PROPERTY(std::uint32_t, scene, setScene)
    RP_PROPERTY(RPText, templateId, setTemplateId)
    RP_PROPERTY(RPText, reserved, setReserved)
};
class RPSubscribeMsgResp : public BaseResp {
    RP_PROPERTY(RPText, templateId, setTemplateId)
    RP_PROPERTY(std::uint32_t, scene, setScene)
    RP_PROPERTY(RPText, action, setAction)
    RP_PROPERTY(RPText, reserved, setReserved)
    RP_PROPERTY(RPText, openId, setOpenId)
};

class RPSubscribeMiniProgramMsgReq : public BaseReq {
    RP_PROPERTY(RPText, miniProgramAppid, setMiniProgramAppid)
};
class RPSubscribeMiniProgramMsgResp : public BaseResp {
    RP_PROPERTY(RPText, openId, setOpenId)
    RP_PROPERTY(RPText, unionId, setUnionId)
    RP_PROPERTY(RPText, nickName, setNickName)
};

// The three requests that hand the Ripple app an address to open for an
// order, and their answers with the order id.
class RPOrderPageReq : public BaseReq {
    RP_PROPERTY(RPText, urlString, setUrlString)
};
class RPOrderPageResp : public BaseResp {
    RP_PROPERTY(RPText, rpOrderId, setRpOrderId)
};
class RPInvoiceAuthInsertReq : public RPOrderPageReq {};
class RPInvoiceAuthInsertResp : public RPOrderPageResp {};
class RPNontaxPayReq : public RPOrderPageReq {};
class RPNontaxPayResp : public RPOrderPageResp {};
class RPPayInsuranceReq : public RPOrderPageReq {};
class RPPayInsuranceResp : public RPOrderPageResp {};
