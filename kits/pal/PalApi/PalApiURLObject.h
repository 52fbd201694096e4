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
    static Ref<PalApiURLObject> objectWithURL(Ref<NSURL> url) {
        auto object = make<PalApiURLObject>();
        object->setUrl(std::move(url));
        return object;
    }
    template <class Object = PalApiURLObject>
    static Ref<Object> objectWithURL(Ref<NSURL> url, PalApiText title, PalApiText description,
                                     std::optional<NSData> previewImageData, std::int32_t targetContentType) {
        auto object = objectWithURL<Object>(std::move(url), std::move(title), std::move(description), nullptr,
                                            targetContentType);
        object->setPreviewImageData(std::move(previewImageData));
        return object;
    }
    template <class Object = PalApiURLObject>
    static Ref<Object> objectWithURL(Ref<NSURL> url, PalApiText title, PalApiText description,
                                     Ref<NSURL> previewImageURL, std::int32_t targetContentType) {
        auto object = make<Object>();
        object->setUrl(std::move(url));
        object->setTitle(std::move(title));
        object->setDescription(std::move(description));
        object->setPreviewImageURL(std::move(previewImageURL));
        object->setTargetContentType(targetContentType);
        return object;
    }

    std::int32_t targetContentType() const { return targetContentType_; }
    void setTargetContentType(std::int32_t type) { targetContentType_ = type; }
    const Ref<NSURL>& url() const { return url_; }
    void setUrl(Ref<NSURL> url) { url_ = std::move(url); }
    const std::optional<NSData>& previewImageData() const { return previewImageData_; }
    void setPreviewImageData(std::optional<NSData> data) { previewImageData_ = std::move(data); }
    const Ref<NSURL>& previewImageURL() const { return previewImageURL_; }
    void setPreviewImageURL(Ref<NSURL> url) { previewImageURL_ = std::move(url); }

private:
    std::int32_t targetContentType_ = 0;
    Ref<NSURL> url_;
    std::optional<NSData> previewImageData_;
    Ref<NSURL> previewImageURL_;
};

// The factories of the link kinds with a fixed content type; audio and
// video links may also name a playable address (flashURL).
template <class Object, std::int32_t ContentType>
class PalApiURLKind : public PalApiURLObject {
public:
    static Ref<Object> objectWithURL(Ref<NSURL> url, PalApiText title, PalApiText description,
                                     std::optional<NSData> previewImageData) {
        return PalApiURLObject::objectWithURL<Object>(std::move(url), std::move(title), std::move(description),
                                                      std::move(previewImageData), ContentType);
    }
    static Ref<Object> objectWithURL(Ref<NSURL> url, PalApiText title, PalApiText description,
                                     Ref<NSURL> previewImageURL) {
        return PalApiURLObject::objectWithURL<Object>(std::move(url), std::move(title), std::move(description),
                                                      std::move(previewImageURL), ContentType);
    }
};

// What audio and video links add: the address of the playable media.
class PalApiPlayable {
public:
    virtual ~PalApiPlayable() = default;
    const Ref<NSURL>& flashURL() const { return flashURL_; }
    void setFlashURL(Ref<NSURL> url) { flashURL_ = std::move(url); }

private:
    Ref<NSURL> flashURL_;
};

class PalApiAudioObject : public PalApiURLKind<PalApiAudioObject, 1>, public PalApiPlayable {};
class PalApiVideoObject : public PalApiURLKind<PalApiVideoObject, 2>, public PalApiPlayable {};

// A picture shown from its address.
class PalApiWebImageObject : public PalApiObject {
public:
    static Ref<PalApiWebImageObject> objectWithPreviewImageURL(Ref<NSURL> url, PalApiText title,
                                                               PalApiText description) {
        auto object = make<PalApiWebImageObject>();
        object->setPreviewImageURL(std::move(url));
        object->setTitle(std::move(title));
        object->setDescription(std::move(description));
        return object;
    }

    const Ref<NSURL>& previewImageURL() const { return previewImageURL_; }
    void setPreviewImageURL(Ref<NSURL> url) { previewImageURL_ = std::move(url); }

private:
    Ref<NSURL> previewImageURL_;
};
