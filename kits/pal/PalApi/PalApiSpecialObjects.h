#pragma once

#include <string>

#include "kits/pal/PalApi/PalApiObject.h"

// The objects that open a Pal function other than a chat share: paying, a
// chat with a Pal number or a group, adding a friend, binding a game union
// to a group, joining a group.

class PalApiPayObject : public PalApiObject {
public:
    static Ref<PalApiPayObject> objectWithOrderNo(std::string orderNo, std::string appInfo) {
        auto object = make<PalApiPayObject>();
        object->setOrderNo(std::move(orderNo));
        object->setAppInfo(std::move(appInfo));
        return object;
    }
    const std::string& OrderNo() const { return orderNo_; }
    void setOrderNo(std::string text) { orderNo_ = std::move(text); }
    const std::string& AppInfo() const { return appInfo_; }
    void setAppInfo(std::string text) { appInfo_ = std::move(text); }

private:
    std::string orderNo_;
    std::string appInfo_;
};

class PalApiWPAObject : public PalApiObject {
public:
    static Ref<PalApiWPAObject> objectWithUin(std::string uin) {
        auto object = make<PalApiWPAObject>();
        object->setUin(std::move(uin));
        return object;
    }
    const std::string& uin() const { return uin_; }
    void setUin(std::string uin) { uin_ = std::move(uin); }

private:
    std::string uin_;
};

class PalApiGroupChatObject : public PalApiObject {
public:
    static Ref<PalApiGroupChatObject> objectWithGroup(std::string groupID) {
        auto object = make<PalApiGroupChatObject>();
        object->setGroupID(std::move(groupID));
        return object;
    }
    const std::string& groupID() const { return groupID_; }
    void setGroupID(std::string id) { groupID_ = std::move(id); }

private:
    std::string groupID_;
};

class PalApiAddFriendObject : public PalApiObject {
public:
    // "objec" without the t is the kit's public name; keep it as it is.
    static Ref<PalApiAddFriendObject> objecWithOpenID(std::string openID) {
        auto object = make<PalApiAddFriendObject>();
        object->setOpenID(std::move(openID));
        return object;
    }
    const std::string& openID() const { return openID_; }
    void setOpenID(std::string id) { openID_ = std::move(id); }
    const std::string& subID() const { return subID_; }
    void setSubID(std::string id) { subID_ = std::move(id); }
    const std::string& remark() const { return remark_; }
    void setRemark(std::string text) { remark_ = std::move(text); }

private:
    std::string openID_;
    std::string subID_;
    std::string remark_;
};

class PalApiGameConsortiumBindingGroupObject : public PalApiObject {
public:
    static Ref<PalApiGameConsortiumBindingGroupObject> objectWithGameConsortium(std::string signature,
                                                                                std::string unionid,
                                                                                std::string zoneID,
                                                                                std::string appDisplayName) {
        auto object = make<PalApiGameConsortiumBindingGroupObject>();
        object->setSignature(std::move(signature));
        object->setUnionid(std::move(unionid));
        object->setZoneID(std::move(zoneID));
        object->setAppDisplayName(std::move(appDisplayName));
        return object;
    }
    const std::string& signature() const { return signature_; }
    void setSignature(std::string text) { signature_ = std::move(text); }
    const std::string& unionid() const { return unionid_; }
    void setUnionid(std::string text) { unionid_ = std::move(text); }
    const std::string& zoneID() const { return zoneID_; }
    void setZoneID(std::string text) { zoneID_ = std::move(text); }
    const std::string& appDisplayName() const { return appDisplayName_; }
    void setAppDisplayName(std::string text) { appDisplayName_ = std::move(text); }

private:
    std::string signature_;
    std::string unionid_;
    std::string zoneID_;
    std::string appDisplayName_;
};

class PalApiJoinGroupObject : public PalApiObject {
public:
    static Ref<PalApiJoinGroupObject> objectWithGroupInfo(std::string groupUin, std::string groupKey) {
        auto object = make<PalApiJoinGroupObject>();
        object->setGroupUin(std::move(groupUin));
        object->setGroupKey(std::move(groupKey));
        return object;
    }
    // The key alone: the group number is empty.
    static Ref<PalApiJoinGroupObject> objectWithGroupKey(std::string groupKey) {
        return objectWithGroupInfo("", std::move(groupKey));
    }
    const std::string& groupUin() const { return groupUin_; }
    void setGroupUin(std::string text) { groupUin_ = std::move(text); }
    const std::string& groupKey() const { return groupKey_; }
    void setGroupKey(std::string text) { groupKey_ = std::move(text); }

private:
    std::string groupUin_;
    std::string groupKey_;
};
