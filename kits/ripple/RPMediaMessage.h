#pragma once

#include <cstddef>
#include <string>

#include "foundation/NSObject.h"
#include "graphics/UIImage.h"
#include "kits/ripple/RPProperty.h"

// A shared message with media: title, description, a JPEG thumbnail and one
// media object (for example an RPWebpageObject), plus the tag, extension and
// action texts the Ripple app passes on.
class RPMediaMessage : public NSObject {
public:
    // The thumbnail size the encoder aims at, in bytes.
    static constexpr std::size_t kThumbnailTargetLength = 32768;

    // An empty message.
    static Ref<RPMediaMessage> message() { return make<RPMediaMessage>(); }

    // The message's description, also what "%@" prints of it ("" for none).
    // An empty description is still a description: the message format
    // writes it, and only a nil one is left out.
    std::string description() const override { return description_.value_or(""); }
    const RPText& messageDescription() const { return description_; }
    void setDescription(RPText description) { description_ = std::move(description); }

    // Stores the image as JPEG in thumbData: first at quality 0.6, then 0.1
    // lower each time while the data is above kThumbnailTargetLength and the
    // quality above 0.1 (the qualities are single-precision values widened,
    // so the last try is at a quality of about 0, the seventh encoding at
    // most). The last encoding is kept whatever its size, and an image that
    // cannot be encoded leaves none. A null image keeps the earlier thumbnail.
    void setThumbImage(const Ref<UIImage>& image);

    RP_PROPERTY(RPText, title, setTitle)
    RP_PROPERTY(RPBytes, thumbData, setThumbData)
    RP_PROPERTY(RPText, mediaTagName, setMediaTagName)
    RP_PROPERTY(RPText, messageExt, setMessageExt)
    RP_PROPERTY(RPText, messageAction, setMessageAction)
    RP_PROPERTY(Ref<NSObject>, mediaObject, setMediaObject)

private:
    RPText description_;
};
