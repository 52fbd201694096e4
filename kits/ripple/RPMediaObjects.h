#pragma once

#include <cstdint>

#include "foundation/NSObject.h"
#include "kits/ripple/RPProperty.h"

// The media a RPMediaMessage carries, one object each. The message format
// tells them apart by class and gives each its object-type code.

class RPTextObject : public NSObject {
public:
    static Ref<RPTextObject> object() { return make<RPTextObject>(); }
    RP_PROPERTY(RPText, contentText, setContentText)
};

class RPImageObject : public NSObject {
public:
    static Ref<RPImageObject> object() { return make<RPImageObject>(); }
    RP_PROPERTY(RPBytes, imageData, setImageData)
};

class RPMusicObject : public NSObject {
public:
    static Ref<RPMusicObject> object() { return make<RPMusicObject>(); }
    RP_PROPERTY(RPText, musicUrl, setMusicUrl)
    RP_PROPERTY(RPText, musicLowBandUrl, setMusicLowBandUrl)
    RP_PROPERTY(RPText, musicDataUrl, setMusicDataUrl)
    RP_PROPERTY(RPText, musicLowBandDataUrl, setMusicLowBandDataUrl)
};

class RPVideoObject : public NSObject {
public:
    static Ref<RPVideoObject> object() { return make<RPVideoObject>(); }
    RP_PROPERTY(RPText, videoUrl, setVideoUrl)
    RP_PROPERTY(RPText, videoLowBandUrl, setVideoLowBandUrl)
};

// A web page: the address the shared card opens.
class RPWebpageObject : public NSObject {
public:
    static Ref<RPWebpageObject> object() { return make<RPWebpageObject>(); }
    RP_PROPERTY(RPText, webpageUrl, setWebpageUrl)
};

class RPAppExtendObject : public NSObject {
public:
    static Ref<RPAppExtendObject> object() { return make<RPAppExtendObject>(); }
    RP_PROPERTY(RPText, url, setUrl)
    RP_PROPERTY(RPText, extInfo, setExtInfo)
    RP_PROPERTY(RPBytes, fileData, setFileData)
};

class RPEmoticonObject : public NSObject {
public:
    static Ref<RPEmoticonObject> object() { return make<RPEmoticonObject>(); }
    RP_PROPERTY(RPBytes, emoticonData, setEmoticonData)
};

class RPFileObject : public NSObject {
public:
    static Ref<RPFileObject> object() { return make<RPFileObject>(); }
    RP_PROPERTY(RPText, fileExtension, setFileExtension)
    RP_PROPERTY(RPBytes, fileData, setFileData)
};

class RPVideoFileObject : public NSObject {
public:
    static Ref<RPVideoFileObject> object() { return make<RPVideoFileObject>(); }
    RP_PROPERTY(RPBytes, videoFileData, setVideoFileData)
};

class RPGameVideoFileObject : public NSObject {
public:
    static Ref<RPGameVideoFileObject> object() { return make<RPGameVideoFileObject>(); }
    RP_PROPERTY(RPBytes, videoFileData, setVideoFileData)
    RP_PROPERTY(RPText, videoUrl, setVideoUrl)
    RP_PROPERTY(RPText, thumbUrl, setThumbUrl)
};

// A place; -1000 in both coordinates until they are set.
class RPLocationObject : public NSObject {
public:
    static constexpr double kUnknownCoordinate = -1000.0;
    static Ref<RPLocationObject> object() { return make<RPLocationObject>(); }
    RP_PROPERTY_INIT(double, lng, setLng, kUnknownCoordinate)
    RP_PROPERTY_INIT(double, lat, setLat, kUnknownCoordinate)
};

// The fields of a mini-program card, shared by its two kinds (which are not
// kinds of each other: the message format tells them apart by class).
class RPMiniProgramFields {
    RP_PROPERTY(RPText, webpageUrl, setWebpageUrl)
    RP_PROPERTY(RPText, userName, setUserName)
    RP_PROPERTY(RPText, path, setPath)
    RP_PROPERTY(RPBytes, hdImageData, setHdImageData)
    RP_PROPERTY(bool, withShareTicket, setWithShareTicket)
    // 0, 1 or 2.
    RP_PROPERTY(std::uint64_t, miniProgramType, setMiniProgramType)
};

class RPMiniProgramObject : public NSObject, public RPMiniProgramFields {
public:
    static Ref<RPMiniProgramObject> object() { return make<RPMiniProgramObject>(); }
};

class RPDynamicVideoMiniProgramObject : public NSObject, public RPMiniProgramFields {
public:
    static Ref<RPDynamicVideoMiniProgramObject> object() { return make<RPDynamicVideoMiniProgramObject>(); }
    RP_PROPERTY(RPText, videoSource, setVideoSource)
};

class RPEnterpriseCardObject : public NSObject {
public:
    static Ref<RPEnterpriseCardObject> object() { return make<RPEnterpriseCardObject>(); }
    RP_PROPERTY(RPText, cardInfo, setCardInfo)
    RP_PROPERTY(std::int64_t, msgType, setMsgType)
};
