#pragma once

#include <cstdint>
#include <string>

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"
#include "kits/ripple/RPProperty.h"

// A media message in the flat form of the message format: every
// media-message and media-object key of a command-1010 message in one
// object. Data fields share the buffer given.
class RPMediaInternalMessage : public NSObject {
public:
    static Ref<RPMediaInternalMessage> message() { return make<RPMediaInternalMessage>(); }

    // The "description" key; also what "%@" prints of the message.
    std::string description() const override { return messageDescription_.value_or(""); }
    const RPText& messageDescription() const { return messageDescription_; }
    void setDescription(RPText description) { messageDescription_ = std::move(description); }

    RP_PROPERTY(RPText, title, setTitle)
    RP_PROPERTY(RPBytes, thumbData, setThumbData)
    RP_PROPERTY(RPBytes, hdThumbData, setHdThumbData)
    // The size of the picture in hdThumbData, in points.
    RP_PROPERTY(CGSize, hdThumbImageSize, setHdThumbImageSize)
    RP_PROPERTY(RPText, mediaTagName, setMediaTagName)
    RP_PROPERTY(RPText, messageExt, setMessageExt)
    RP_PROPERTY(RPText, messageAction, setMessageAction)
    RP_PROPERTY(std::uint64_t, objectType, setObjectType)
    RP_PROPERTY(RPText, mediaUrl, setMediaUrl)
    RP_PROPERTY(RPText, mediaLowBandUrl, setMediaLowBandUrl)
    RP_PROPERTY(RPText, mediaDataUrl, setMediaDataUrl)
    RP_PROPERTY(RPText, mediaLowBandDataUrl, setMediaLowBandDataUrl)
    RP_PROPERTY(RPText, extInfo, setExtInfo)
    RP_PROPERTY(RPText, fileExt, setFileExt)
    RP_PROPERTY(RPBytes, fileData, setFileData)
    RP_PROPERTY(RPText, appBrandUserName, setAppBrandUserName)
    RP_PROPERTY(RPText, appBrandPath, setAppBrandPath)
    RP_PROPERTY(bool, appBrandWithShareTikcet, setAppBrandWithShareTikcet)
    RP_PROPERTY(std::uint64_t, appBrandMiniProgramType, setAppBrandMiniProgramType)
    RP_PROPERTY(RPText, sightCdnVideoUrl, setSightCdnVideoUrl)
    RP_PROPERTY(RPText, sightCdnThumbUrl, setSightCdnThumbUrl)
    RP_PROPERTY(RPText, enterpriseCardContent, setEnterpriseCardContent)
    RP_PROPERTY(std::int64_t, enterpriseCardMsgType, setEnterpriseCardMsgType)

private:
    RPText messageDescription_;
};

// An authorisation request in the message format's form.
class RPAuthInternal : public NSObject {
    RP_PROPERTY(RPText, scope, setScope)
    RP_PROPERTY(RPText, state, setState)
};
