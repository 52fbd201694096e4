#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/NSData.h"
#include "foundation/NSURL.h"
#include "kits/pal/PalApi/PalApiObject.h"

// A link to share, with a preview picture given as bytes or as an address
// the kit fetches. targetContentType tells the kind of link: 0 plain,
// 1 audio, 2 video, 3 news.
class PalApiURLObject : public PalApiObject {
public:
    std::int32_t targetContentType() const { return targetContentType_; }
    void setTargetContentType(std::int32_t type) { targetContentType_ = type; }
    const Ref<NSURL>& url() const { return url_; }
    void setUrl(Ref<NSURL> url) { url_ = std::move(url); }
    const std::optional<NSData>& previewImageData() const { return previewImageData_; }
    void setPreviewImageData(std::optional<NSData> data) { previewImageData_ = std::move(data); }
    const Ref<NSURL>& previewImageURL() const { return previewImageURL_; }
    void setPreviewImageURL(Ref<NSURL> url) { previewImageURL_ = std::move(url); }

protected:
    // The factories' common step: a new object of the family's class with
    // a link, texts and a preview address.
    template <class Object>
    static Ref<Object> objectWithURL(Ref<NSURL> url, std::string title, std::string description,
                                     Ref<NSURL> previewImageURL, std::int32_t targetContentType) {
        auto object = make<Object>();
        object->setUrl(std::move(url));
        object->setTitle(std::move(title));
        object->setDescription(std::move(description));
        object->setPreviewImageURL(std::move(previewImageURL));
        object->setTargetContentType(targetContentType);
        return object;
    }

private:
    std::int32_t targetContentType_ = 0;
    Ref<NSURL> url_;
    std::optional<NSData> previewImageData_;
    Ref<NSURL> previewImageURL_;
};
