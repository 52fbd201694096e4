#include "kits/pal/NimbusOpenApi_IOS/NimbusApi/NimbusApiMessages.h"

#include "foundation/UTF16.h"
#include "graphics/UIImage.h"
#include "kits/pal/PalApi/PalCoderFields.h"

namespace {

constexpr std::size_t kMaxImageData = 10 * NimbusBaseMessageObj::kMaxField;

bool fits(const std::string& text) { return UTF16::length(text) <= NimbusBaseMessageObj::kMaxField; }
bool fits(const std::optional<NSData>& data, std::size_t limit = NimbusBaseMessageObj::kMaxField) {
    return !data || data->length() <= limit;
}
bool decodesAsImage(const std::optional<NSData>& data) { return data && UIImage::imageWithData(*data); }

using PalCoderFields::dataFor;
using PalCoderFields::optionalData;
using PalCoderFields::textFor;

}  // namespace

bool NimbusBaseMessageObj::isVaild() const { return fits(sName_); }

void NimbusBaseMessageObj::encodeWithCoder(NSCoder& coder) const {
    coder.encodeInt64(nVersion_, "nVersion");
    coder.encodeObject(sName_, "sName");
    coder.encodeObject(dictExpandInfo_, "dictExpandInfo");
}

bool NimbusBaseMessageObj::initWithCoder(NSCoder& coder) {
    nVersion_ = coder.decodeInt64ForKey("nVersion");
    sName_ = textFor(coder, "sName");
    Value info = coder.decodeObjectForKey("dictExpandInfo");
    dictExpandInfo_ = info.dictionary() ? *info.dictionary() : Dictionary();
    return true;
}

bool NimbusTextMessageObjV1::isValid() const { return isVaild() && fits(sText_); }

void NimbusTextMessageObjV1::encodeWithCoder(NSCoder& coder) const {
    NimbusBaseMessageObj::encodeWithCoder(coder);
    coder.encodeObject(sText_, "sText");
}

bool NimbusTextMessageObjV1::initWithCoder(NSCoder& coder) {
    NimbusBaseMessageObj::initWithCoder(coder);
    sText_ = textFor(coder, "sText");
    return true;
}

Ref<NimbusImageMessageObjV1> NimbusImageMessageObjV1::initWithImageData(NSData data) {
    auto image = make<NimbusImageMessageObjV1>();
    image->setDataImage(std::move(data));
    return image;
}

Ref<NimbusImageMessageObjV1> NimbusImageMessageObjV1::initWithImageUrl(std::string url) {
    auto image = make<NimbusImageMessageObjV1>();
    image->setSUrl(std::move(url));
    return image;
}

bool NimbusImageMessageObjV1::hasDecodableImage() const { return decodesAsImage(dataImage_); }

bool NimbusImageMessageObjV1::isVaild() const {
    if (!NimbusBaseMessageObj::isVaild() || !fits(dataImage_, kMaxImageData) || !fits(sUrl_) ||
        !fits(dataThumbImage_) || !fits(sDescription_))
        return false;
    if (nType_ == 1 && sUrl_.empty()) return false;
    if (nType_ == 2 && !hasDecodableImage()) return false;
    return true;
}

void NimbusImageMessageObjV1::encodeWithCoder(NSCoder& coder) const {
    NimbusBaseMessageObj::encodeWithCoder(coder);
    coder.encodeObject(optionalData(dataImage_), "dataImage");
    coder.encodeObject(sUrl_, "sUrl");
    coder.encodeObject(optionalData(dataThumbImage_), "dataThumbImage");
    coder.encodeObject(sDescription_, "description");
    coder.encodeFloat(static_cast<float>(width_), "imageWidth");
    coder.encodeFloat(static_cast<float>(height_), "imageHeight");
    coder.encodeInt32(static_cast<std::int32_t>(nType_), "nType");
}

bool NimbusImageMessageObjV1::initWithCoder(NSCoder& coder) {
    NimbusBaseMessageObj::initWithCoder(coder);
    dataImage_ = dataFor(coder, "dataImage");
    sUrl_ = textFor(coder, "sUrl");
    dataThumbImage_ = dataFor(coder, "dataThumbImage");
    sDescription_ = textFor(coder, "description");
    width_ = coder.decodeFloatForKey("imageWidth");
    height_ = coder.decodeFloatForKey("imageHeight");
    nType_ = coder.decodeInt32ForKey("nType");
    return true;
}

bool NimbusMediaMessageObj::isVaild() const {
    return NimbusBaseMessageObj::isVaild() && fits(sUrl_) && fits(sImagePreviewUrl_) && fits(dataImagePreview_) &&
           fits(sDescription_);
}

void NimbusMediaMessageObj::encodeMedia(NSCoder& coder, const std::int64_t* type) const {
    NimbusBaseMessageObj::encodeWithCoder(coder);
    coder.encodeObject(sUrl_, "sUrl");
    if (type) coder.encodeInt64(*type, "nType");
    coder.encodeObject(sImagePreviewUrl_, "sImagePreviewUrl");
    coder.encodeObject(optionalData(dataImagePreview_), "dataImagePreview");
    coder.encodeObject(sDescription_, "description");
}

void NimbusMediaMessageObj::decodeMedia(NSCoder& coder, std::int64_t* type) {
    NimbusBaseMessageObj::initWithCoder(coder);
    sUrl_ = textFor(coder, "sUrl");
    if (type) *type = coder.decodeInt64ForKey("nType");
    sImagePreviewUrl_ = textFor(coder, "sImagePreviewUrl");
    dataImagePreview_ = dataFor(coder, "dataImagePreview");
    sDescription_ = textFor(coder, "description");
}

Ref<NimbusImageAndVideoMessageObjV1> NimbusImageAndVideoMessageObjV1::initWithMessage(const std::optional<NSData>& data,
                                                                                      std::string videoUrl) {
    auto message = make<NimbusImageAndVideoMessageObjV1>();
    message->image_ = make<NimbusImageMessageObjV1>();
    message->video_ = make<NimbusVideoMessageV1>();
    if (decodesAsImage(data)) {
        message->image_->setDataImage(data);
    } else {
        message->video_->setSUrl(std::move(videoUrl));
    }
    return message;
}

void NimbusImageAndVideoMessageObjV1::setObjImageMessage(Ref<NimbusImageMessageObjV1> image) {
    image_ = std::move(image);
    if (image_ && image_->hasDecodableImage() && video_) video_->setSUrl("");
}

void NimbusImageAndVideoMessageObjV1::setObjVideoMessage(Ref<NimbusVideoMessageV1> video) {
    video_ = std::move(video);
    if (video_ && !video_->sUrl().empty() && image_) image_->setDataImage(std::nullopt);
}

void NimbusImageAndVideoMessageObjV1::setDataImage(std::optional<NSData> data) {
    if (!image_) image_ = make<NimbusImageMessageObjV1>();
    image_->setDataImage(std::move(data));
    if (image_->hasDecodableImage() && video_) video_->setSUrl("");
}

void NimbusImageAndVideoMessageObjV1::setVideoUrl(std::string url) {
    if (!video_) video_ = make<NimbusVideoMessageV1>();
    video_->setSUrl(std::move(url));
    if (!video_->sUrl().empty() && image_) image_->setDataImage(std::nullopt);
}

// A missing part is no valid part: both must be there and pass.
bool NimbusImageAndVideoMessageObjV1::isVaild() const {
    return NimbusBaseMessageObj::isVaild() && image_ && image_->isVaild() && video_ && video_->isVaild();
}

void NimbusImageAndVideoMessageObjV1::encodeWithCoder(NSCoder& coder) const {
    NimbusBaseMessageObj::encodeWithCoder(coder);
    coder.encodeObject(Value(image_), "imageMessage");
    coder.encodeObject(Value(video_), "videoMessage");
}

bool NimbusImageAndVideoMessageObjV1::initWithCoder(NSCoder& coder) {
    NimbusBaseMessageObj::initWithCoder(coder);
    image_ = coder.decodeObjectForKey("imageMessage").objectAs<NimbusImageMessageObjV1>();
    video_ = coder.decodeObjectForKey("videoMessage").objectAs<NimbusVideoMessageV1>();
    return true;
}

void NimbusApiReq::encodeWithCoder(NSCoder& coder) const {
    coder.encodeInt64(nMessageType_, "nMessageType");
    coder.encodeInt64(nPlatform_, "nPlatform");
    coder.encodeInt64(nSdkVersion_, "nSdkVersion");
    coder.encodeInt64(nSeq_, "nSeq");
    coder.encodeObject(arrMessage_, "arrMessage");
    coder.encodeObject(sAppID_, "sAppID");
    coder.encodeObject(sDescription_, "description");
}

bool NimbusApiReq::initWithCoder(NSCoder& coder) {
    nMessageType_ = coder.decodeInt64ForKey("nMessageType");
    nPlatform_ = coder.decodeInt64ForKey("nPlatform");
    nSdkVersion_ = coder.decodeInt64ForKey("nSdkVersion");
    nSeq_ = coder.decodeInt64ForKey("nSeq");
    Value messages = coder.decodeObjectForKey("arrMessage");
    arrMessage_ = messages.array() ? *messages.array() : Array();
    sAppID_ = textFor(coder, "sAppID");
    sDescription_ = textFor(coder, "description");
    return true;
}

Ref<NimbusApiResp> NimbusApiResp::respFromReq(const Ref<NSObject>& request) {
    auto req = cast<NimbusApiReq>(request);
    if (!req) return nullptr;
    auto response = make<NimbusApiResp>();
    response->setObjReq(std::move(req));
    return response;
}

void NimbusApiResp::encodeWithCoder(NSCoder& coder) const {
    coder.encodeInt64(nRetCode_, "nRetCode");
    coder.encodeObject(sRetMsg_, "sRetMsg");
    coder.encodeObject(Value(objReq_), "objReq");
}

bool NimbusApiResp::initWithCoder(NSCoder& coder) {
    nRetCode_ = coder.decodeInt64ForKey("nRetCode");
    sRetMsg_ = textFor(coder, "sRetMsg");
    objReq_ = coder.decodeObjectForKey("objReq").objectAs<NimbusApiReq>();
    return true;
}
