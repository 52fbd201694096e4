#pragma once

#include <string>

#include "kits/pal/PalApi/PalApiURLObject.h"

// A news link: a page address with a title, a description and a preview
// picture (targetContentType 3).
class PalApiNewsObject : public PalApiURLObject {
public:
    static constexpr std::int32_t kNewsContentType = 3;

    // With the preview picture's address and no preview bytes: the kit
    // fetches the picture before the share goes out.
    static Ref<PalApiNewsObject> objectWithURL(Ref<NSURL> url, std::string title, std::string description,
                                               Ref<NSURL> previewImageURL) {
        return PalApiURLObject::objectWithURL<PalApiNewsObject>(std::move(url), std::move(title),
                                                                std::move(description), std::move(previewImageURL),
                                                                kNewsContentType);
    }
};
