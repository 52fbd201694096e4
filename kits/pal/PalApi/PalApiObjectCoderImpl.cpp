#include "kits/pal/PalApi/PalApiObjectCoderImpl.h"

#include <functional>
#include <mutex>
#include <type_traits>
#include <vector>

#include "foundation/NSKeyedUnarchiver.h"
#include "foundation/NSURL.h"
#include "kits/pal/PalApi/PalApiExtendObject.h"
#include "kits/pal/PalApi/PalApiMessage.h"
#include "kits/pal/PalApi/PalApiNewsObject.h"
#include "kits/pal/PalApi/PalApiPalSpaceObjects.h"
#include "kits/pal/PalApi/PalCoderFields.h"

namespace {

constexpr std::int32_t kApiVersion = 1;

using PalCoderFields::dataFor;
using PalCoderFields::dataItems;
using PalCoderFields::optionalData;
using PalCoderFields::optionalTextFor;
using PalCoderFields::textFor;

// A title or description is written only when the object has one.
void encodeTitle(NSCoder& coder, const PalApiObject& object) {
    if (object.hasTitle()) coder.encodeObject(object.title(), "title");
}
void encodeTexts(NSCoder& coder, const PalApiObject& object) {
    encodeTitle(coder, object);
    if (object.hasDescription()) coder.encodeObject(object.description(), "description");
}
void decodeTexts(NSCoder& coder, PalApiObject& object) {
    object.setTitle(optionalTextFor(coder, "title"));
    object.setDescription(optionalTextFor(coder, "description"));
}

// One archived kind: its name, a test on objects, how to write and read
// its fields beyond "objectType" and "ApiVersion", and how to make one.
struct Kind {
    const char* name;
    std::function<bool(const PalApiObject&)> matches;
    std::function<void(NSCoder&, const PalApiObject&)> encode;
    std::function<void(NSCoder&, PalApiObject&)> decode;
    std::function<Ref<PalApiObject>()> create;
};

template <class T> bool isA(const PalApiObject& object) {
    if constexpr (std::is_base_of_v<T, PalApiObject>) {
        return true;
    } else {
        return dynamic_cast<const T*>(&object) != nullptr;
    }
}

template <class T> Kind extendKind(const char* name) {
    return {name, isA<T>,
            [](NSCoder& coder, const PalApiObject& object) {
                const auto& extend = static_cast<const PalApiExtendObject&>(object);
                encodeTexts(coder, extend);
                coder.encodeObject(optionalData(extend.data()), "data");
                coder.encodeObject(optionalData(extend.previewImageData()), "previewImageData");
            },
            [](NSCoder& coder, PalApiObject& object) {
                auto& extend = static_cast<PalApiExtendObject&>(object);
                decodeTexts(coder, extend);
                extend.setData(dataFor(coder, "data"));
                extend.setPreviewImageData(dataFor(coder, "previewImageData"));
            },
            [] { return Ref<PalApiObject>(make<T>()); }};
}

template <class T> Kind urlKind(const char* name) {
    return {name, isA<T>,
            [](NSCoder& coder, const PalApiObject& object) {
                const auto& link = static_cast<const PalApiURLObject&>(object);
                encodeTexts(coder, link);
                coder.encodeInt32(link.targetContentType(), "targetContentType");
                coder.encodeObject(Value(link.url()), "url");
                coder.encodeObject(optionalData(link.previewImageData()), "previewImageData");
            },
            [](NSCoder& coder, PalApiObject& object) {
                auto& link = static_cast<PalApiURLObject&>(object);
                decodeTexts(coder, link);
                link.setTargetContentType(coder.decodeInt32ForKey("targetContentType"));
                link.setUrl(coder.decodeObjectForKey("url").objectAs<NSURL>());
                link.setPreviewImageData(dataFor(coder, "previewImageData"));
            },
            [] { return Ref<PalApiObject>(make<T>()); }};
}

// In the order an object is matched: the first kind it belongs to.
const std::vector<Kind>& kinds() {
    static const std::vector<Kind> all = {
        {"PalApiTextObject", isA<PalApiTextObject>,
         [](NSCoder& coder, const PalApiObject& object) {
             encodeTexts(coder, object);
             coder.encodeObject(static_cast<const PalApiTextObject&>(object).text(), "text");
         },
         [](NSCoder& coder, PalApiObject& object) {
             decodeTexts(coder, object);
             static_cast<PalApiTextObject&>(object).setText(textFor(coder, "text"));
         },
         [] { return Ref<PalApiObject>(make<PalApiTextObject>()); }},
        extendKind<PalApiImageObject>("PalApiImageObject"),
        {"PalApiImageArrayForPalSpaceObject", isA<PalApiImageArrayForPalSpaceObject>,
         [](NSCoder& coder, const PalApiObject& object) {
             const auto& images = static_cast<const PalApiImageArrayForPalSpaceObject&>(object);
             encodeTitle(coder, images);
             Array list(images.imageDataArray().begin(), images.imageDataArray().end());
             coder.encodeObject(std::move(list), "image_data_list");
             coder.encodeObject(images.extMap(), "extMap");
         },
         [](NSCoder& coder, PalApiObject& object) {
             auto& images = static_cast<PalApiImageArrayForPalSpaceObject&>(object);
             images.setTitle(optionalTextFor(coder, "title"));
             images.setImageDataArray(dataItems(coder.decodeObjectForKey("image_data_list")));
             images.setExtMap(coder.decodeObjectForKey("extMap"));
         },
         [] { return Ref<PalApiObject>(make<PalApiImageArrayForPalSpaceObject>()); }},
        {"PalApiVideoForPalSpaceObject", isA<PalApiVideoForPalSpaceObject>,
         [](NSCoder& coder, const PalApiObject& object) {
             const auto& video = static_cast<const PalApiVideoForPalSpaceObject&>(object);
             coder.encodeObject(video.assetURL(), "assetURL");
             coder.encodeObject(video.extMap(), "extMap");
         },
         [](NSCoder& coder, PalApiObject& object) {
             auto& video = static_cast<PalApiVideoForPalSpaceObject&>(object);
             video.setTitle(optionalTextFor(coder, "title"));
             video.setAssetURL(textFor(coder, "assetURL"));
             video.setExtMap(coder.decodeObjectForKey("extMap"));
         },
         [] { return Ref<PalApiObject>(make<PalApiVideoForPalSpaceObject>()); }},
        extendKind<PalApiExtendObject>("PalApiExtendObject"),
        urlKind<PalApiAudioObject>("PalApiAudioObject"),
        urlKind<PalApiVideoObject>("PalApiVideoObject"),
        urlKind<PalApiNewsObject>("PalApiNewsObject"),
        urlKind<PalApiURLObject>("PalApiURLObject"),
        {"PalApiResultObject", isA<PalApiResultObject>,
         [](NSCoder& coder, const PalApiObject& object) {
             const auto& result = static_cast<const PalApiResultObject&>(object);
             encodeTexts(coder, result);
             coder.encodeObject(result.error(), "error");
             coder.encodeObject(result.errorDescription(), "errorDescription");
         },
         [](NSCoder& coder, PalApiObject& object) {
             auto& result = static_cast<PalApiResultObject&>(object);
             decodeTexts(coder, result);
             result.setError(textFor(coder, "error"));
             result.setErrorDescription(textFor(coder, "errorDescription"));
         },
         [] { return Ref<PalApiObject>(make<PalApiResultObject>()); }},
        {"PalApiObject", isA<PalApiObject>, encodeTexts, decodeTexts,
         [] { return make<PalApiObject>(); }},
    };
    return all;
}

}  // namespace

void PalApiObjectCoderImpl::encodeWithCoder(NSCoder& coder) const {
    if (!obj_) return;
    for (const Kind& kind : kinds()) {
        if (!kind.matches(*obj_)) continue;
        coder.encodeObject(kind.name, "objectType");
        coder.encodeInt32(kApiVersion, "ApiVersion");
        kind.encode(coder, *obj_);
        return;
    }
}

bool PalApiObjectCoderImpl::initWithCoder(NSCoder& coder) {
    const std::string type = textFor(coder, "objectType");
    for (const Kind& kind : kinds()) {
        if (type != kind.name) continue;
        obj_ = kind.create();
        if (coder.decodeInt32ForKey("ApiVersion") >= kApiVersion) kind.decode(coder, *obj_);
        break;
    }
    return true;
}

void PalApiObjectCoderImpl::registerArchivedClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        NSKeyedUnarchiver::registerClass<PalApiObjectCoderImpl>();
        NSKeyedUnarchiver::registerClass<PalApiMessage>();
    });
}
