#pragma once

#include <cstdint>

#include "kits/ripple/BaseReq.h"
#include "kits/ripple/BaseResp.h"

// Chat rooms, mini programs and business views of the Ripple app.

class CreateChatRoomReq : public BaseReq {
    RP_PROPERTY(RPText, groupId, setGroupId)
    RP_PROPERTY(RPText, chatRoomName, setChatRoomName)
    RP_PROPERTY(RPText, chatRoomNickName, setChatRoomNickName)
    RP_PROPERTY(RPText, extMsg, setExtMsg)
};

class JoinChatRoomReq : public BaseReq {
    RP_PROPERTY(RPText, groupId, setGroupId)
    RP_PROPERTY(RPText, chatRoomNickName, setChatRoomNickName)
    RP_PROPERTY(RPText, extMsg, setExtMsg)
};

// The answers that carry only an extension text back.
class RPExtMsgResp : public BaseResp {
    RP_PROPERTY(RPText, extMsg, setExtMsg)
};
class CreateChatRoomResp : public RPExtMsgResp {};
class JoinChatRoomResp : public RPExtMsgResp {};
class RPLaunchMiniProgramResp : public RPExtMsgResp {};

class RPLaunchMiniProgramReq : public BaseReq {
public:
    static Ref<RPLaunchMiniProgramReq> object() { return make<RPLaunchMiniProgramReq>(); }
    RP_PROPERTY(RPText, userName, setUserName)
    RP_PROPERTY(RPText, path, setPath)
    // 0, 1 or 2.
    RP_PROPERTY(std::uint64_t, miniProgramType, setMiniProgramType)
    RP_PROPERTY(RPText, extMsg, setExtMsg)
};

class RPOpenBusinessViewReq : public BaseReq {
public:
    static Ref<RPOpenBusinessViewReq> object() { return make<RPOpenBusinessViewReq>(); }
    RP_PROPERTY(RPText, businessType, setBusinessType)
    RP_PROPERTY(RPText, query, setQuery)
    RP_PROPERTY(RPText, extInfo, setExtInfo)
};

class RPOpenBusinessViewResp : public RPExtMsgResp {
    RP_PROPERTY(RPText, businessType, setBusinessType)
};
