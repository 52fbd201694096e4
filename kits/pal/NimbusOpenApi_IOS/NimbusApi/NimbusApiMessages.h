#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/NSCoder.h"
#include "foundation/NSData.h"
#include "foundation/Value.h"

// The content messages of the legacy app-to-app layer, kept in keyed
// archives. nVersion tells the kind: 0 text, 1 image, 2 audio, 3 video,
// 4 image and video. A subclass archives its base fields first.
//
// Validity (isVaild): texts and data at most 1,048,576 long, an image's data
// at most 10,485,760; an image of nType 1 needs an address, of nType 2
// decodable data.
class NimbusBaseMessageObj : public NSObject, public NSCoding {
public:
    static constexpr std::size_t kMaxField = 1048576;

    explicit NimbusBaseMessageObj(std::int64_t version = 0) : nVersion_(version) {}

    std::int64_t nVersion() const { return nVersion_; }
    const std::string& sName() const { return sName_; }
    void setSName(std::string name) { sName_ = std::move(name); }
    const Dictionary& dictExpandInfo() const { return dictExpandInfo_; }
    void setDictExpandInfo(Dictionary info) { dictExpandInfo_ = std::move(info); }

    virtual bool isVaild() const;
    void encodeWithCoder(NSCoder& coder) const override;
    bool initWithCoder(NSCoder& coder) override;

private:
    std::int64_t nVersion_;
    std::string sName_;
    Dictionary dictExpandInfo_;
};

class NimbusTextMessageObjV1 : public NimbusBaseMessageObj {
public:
    explicit NimbusTextMessageObjV1(std::string text = {}) : NimbusBaseMessageObj(0), sText_(std::move(text)) {}

    const std::string& sText() const { return sText_; }
    void setSText(std::string text) { sText_ = std::move(text); }
    // The text's own check (the base check and the text's length).
    bool isValid() const;

    void encodeWithCoder(NSCoder& coder) const override;
    bool initWithCoder(NSCoder& coder) override;

private:
    std::string sText_;
};

class NimbusImageMessageObjV1 : public NimbusBaseMessageObj {
public:
    explicit NimbusImageMessageObjV1(std::int64_t type = 0) : NimbusBaseMessageObj(1), nType_(type) {}
    static Ref<NimbusImageMessageObjV1> initWithImageData(NSData data);
    static Ref<NimbusImageMessageObjV1> initWithImageUrl(std::string url);

    const std::optional<NSData>& dataImage() const { return dataImage_; }
    void setDataImage(std::optional<NSData> data) { dataImage_ = std::move(data); }
    const std::string& sUrl() const { return sUrl_; }
    void setSUrl(std::string url) { sUrl_ = std::move(url); }
    const std::optional<NSData>& dataThumbImage() const { return dataThumbImage_; }
    void setDataThumbImage(std::optional<NSData> data) { dataThumbImage_ = std::move(data); }
    const std::string& sDescription() const { return sDescription_; }
    void setSDescription(std::string text) { sDescription_ = std::move(text); }
    double imageWidth() const { return width_; }
    double imageHeight() const { return height_; }
    void setSzImage(double width, double height) { width_ = width, height_ = height; }
    std::int64_t nType() const { return nType_; }
    // Whether dataImage decodes as a picture.
    bool hasDecodableImage() const;

    bool isVaild() const override;
    void encodeWithCoder(NSCoder& coder) const override;
    bool initWithCoder(NSCoder& coder) override;

private:
    std::optional<NSData> dataImage_;
    std::string sUrl_;
    std::optional<NSData> dataThumbImage_;
    std::string sDescription_;
    double width_ = 0;
    double height_ = 0;
    std::int64_t nType_;
};

// Audio and video share their fields; video adds nType.
class NimbusMediaMessageObj : public NimbusBaseMessageObj {
public:
    using NimbusBaseMessageObj::NimbusBaseMessageObj;

    const std::string& sUrl() const { return sUrl_; }
    void setSUrl(std::string url) { sUrl_ = std::move(url); }
    const std::string& sImagePreviewUrl() const { return sImagePreviewUrl_; }
    void setSImagePreviewUrl(std::string url) { sImagePreviewUrl_ = std::move(url); }
    const std::optional<NSData>& dataImagePreview() const { return dataImagePreview_; }
    void setDataImagePreview(std::optional<NSData> data) { dataImagePreview_ = std::move(data); }
    const std::string& sDescription() const { return sDescription_; }
    void setSDescription(std::string text) { sDescription_ = std::move(text); }

    bool isVaild() const override;

protected:
    void encodeMedia(NSCoder& coder, const std::int64_t* type) const;
    void decodeMedia(NSCoder& coder, std::int64_t* type);

private:
    std::string sUrl_;
    std::string sImagePreviewUrl_;
    std::optional<NSData> dataImagePreview_;
    std::string sDescription_;
};

class NimbusAudioMessageObjV1 : public NimbusMediaMessageObj {
public:
    explicit NimbusAudioMessageObjV1(std::string url = {}) : NimbusMediaMessageObj(2) { setSUrl(std::move(url)); }

    void encodeWithCoder(NSCoder& coder) const override { encodeMedia(coder, nullptr); }
    bool initWithCoder(NSCoder& coder) override { return decodeMedia(coder, nullptr), true; }
};

class NimbusVideoMessageV1 : public NimbusMediaMessageObj {
public:
    explicit NimbusVideoMessageV1(std::string url = {}, std::int64_t type = 0) : NimbusMediaMessageObj(3), nType_(type) {
        setSUrl(std::move(url));
    }

    std::int64_t nType() const { return nType_; }
    void encodeWithCoder(NSCoder& coder) const override { encodeMedia(coder, &nType_); }
    bool initWithCoder(NSCoder& coder) override { return decodeMedia(coder, &nType_), true; }

private:
    std::int64_t nType_;
};

// A picture or a video, never both: setting one clears the other.
class NimbusImageAndVideoMessageObjV1 : public NimbusBaseMessageObj {
public:
    NimbusImageAndVideoMessageObjV1() : NimbusBaseMessageObj(4) {}
    // The data become the picture when they decode as one, else the
    // address becomes the video.
    static Ref<NimbusImageAndVideoMessageObjV1> initWithMessage(const std::optional<NSData>& data, std::string videoUrl);

    const Ref<NimbusImageMessageObjV1>& objImageMessage() const { return image_; }
    void setObjImageMessage(Ref<NimbusImageMessageObjV1> image);
    const Ref<NimbusVideoMessageV1>& objVideoMessage() const { return video_; }
    void setObjVideoMessage(Ref<NimbusVideoMessageV1> video);
    void setDataImage(std::optional<NSData> data);
    void setVideoUrl(std::string url);

    bool isVaild() const override;
    void encodeWithCoder(NSCoder& coder) const override;
    bool initWithCoder(NSCoder& coder) override;

private:
    Ref<NimbusImageMessageObjV1> image_;
    Ref<NimbusVideoMessageV1> video_;
};

// A request from an app of the Pal family (nPlatform 0 Pal, 1 PalSpace,
// 2 PalWork) with its content messages.
class NimbusApiReq : public NSObject, public NSCoding {
public:
    NimbusApiReq() = default;
    NimbusApiReq(std::int64_t messageType, std::int64_t platform, std::int64_t sdkVersion, std::int64_t seq)
        : nMessageType_(messageType), nPlatform_(platform), nSdkVersion_(sdkVersion), nSeq_(seq) {}
    // Requests are not made by the host app: always null.
    static Ref<NimbusApiReq> reqFromSeq(std::int64_t, std::int64_t) { return nullptr; }

    std::int64_t nMessageType() const { return nMessageType_; }
    std::int64_t nPlatform() const { return nPlatform_; }
    std::int64_t nSdkVersion() const { return nSdkVersion_; }
    std::int64_t nSeq() const { return nSeq_; }
    const std::string& sAppID() const { return sAppID_; }
    void setSAppID(std::string id) { sAppID_ = std::move(id); }
    const Array& arrMessage() const { return arrMessage_; }
    void setArrMessage(Array messages) { arrMessage_ = std::move(messages); }
    const std::string& sDescription() const { return sDescription_; }
    void setSDescription(std::string text) { sDescription_ = std::move(text); }

    void encodeWithCoder(NSCoder& coder) const override;
    bool initWithCoder(NSCoder& coder) override;

private:
    std::int64_t nMessageType_ = 0;
    std::int64_t nPlatform_ = 0;
    std::int64_t nSdkVersion_ = 0;
    std::int64_t nSeq_ = 0;
    std::string sAppID_;
    Array arrMessage_;
    std::string sDescription_;
};

// The host app's answer to a request.
class NimbusApiResp : public NSObject, public NSCoding {
public:
    // A response (code 0) to the request; null for no request (where the
    // kit would raise "NimbusApiResp init error").
    static Ref<NimbusApiResp> respFromReq(const Ref<NSObject>& request);

    std::int64_t nRetCode() const { return nRetCode_; }
    void setNRetCode(std::int64_t code) { nRetCode_ = code; }
    const std::string& sRetMsg() const { return sRetMsg_; }
    void setSRetMsg(std::string text) { sRetMsg_ = std::move(text); }
    const Ref<NimbusApiReq>& objReq() const { return objReq_; }
    void setObjReq(Ref<NimbusApiReq> request) { objReq_ = std::move(request); }

    void encodeWithCoder(NSCoder& coder) const override;
    bool initWithCoder(NSCoder& coder) override;

private:
    std::int64_t nRetCode_ = 0;
    std::string sRetMsg_;
    Ref<NimbusApiReq> objReq_;
};
