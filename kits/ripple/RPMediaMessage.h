#pragma once

#include <optional>
#include <string>

#include "foundation/NSData.h"
#include "foundation/NSObject.h"
#include "graphics/UIImage.h"

// A shared message with media: title, description, a JPEG thumbnail and one
// media object (for example an RPWebpageObject), plus the tag, extension and
// action texts the Ripple app passes on.
class RPMediaMessage : public NSObject {
public:
    // The thumbnail size the encoder aims at, in bytes.
    static constexpr std::size_t kThumbnailTargetLength = 32768;

    // An empty message.
    static Ref<RPMediaMessage> message() { return make<RPMediaMessage>(); }

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    // The message's description (also what "%@" prints of it).
    std::string description() const override { return description_; }
    void setDescription(std::string description) { description_ = std::move(description); }
    const std::optional<NSData>& thumbData() const { return thumbData_; }
    void setThumbData(std::optional<NSData> data) { thumbData_ = std::move(data); }
    const std::string& mediaTagName() const { return mediaTagName_; }
    void setMediaTagName(std::string name) { mediaTagName_ = std::move(name); }
    const std::string& messageExt() const { return messageExt_; }
    void setMessageExt(std::string ext) { messageExt_ = std::move(ext); }
    const std::string& messageAction() const { return messageAction_; }
    void setMessageAction(std::string action) { messageAction_ = std::move(action); }
    const Ref<NSObject>& mediaObject() const { return mediaObject_; }
    void setMediaObject(Ref<NSObject> object) { mediaObject_ = std::move(object); }

    // Stores the image as JPEG in thumbData: first at quality 0.6, then 0.1
    // lower each time while the data is above kThumbnailTargetLength and the
    // quality above 0.1 (the qualities are single-precision values widened,
    // so the last try is at a quality of about 0, the seventh encoding at
    // most). The last encoding is kept whatever its size. A null image (or
    // one that cannot be encoded) keeps the earlier thumbnail.
    void setThumbImage(const Ref<UIImage>& image);

private:
    std::string title_;
    std::string description_;
    std::optional<NSData> thumbData_;
    std::string mediaTagName_;
    std::string messageExt_;
    std::string messageAction_;
    Ref<NSObject> mediaObject_;
};
