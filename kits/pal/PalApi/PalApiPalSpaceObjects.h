#pragma once

#include <string>
#include <vector>

#include "foundation/NSData.h"
#include "foundation/Value.h"
#include "kits/pal/PalApi/PalApiObject.h"

// Pictures for PalSpace (at most 20 are sent), with a map sent as JSON.
class PalApiImageArrayForPalSpaceObject : public PalApiObject {
public:
    static Ref<PalApiImageArrayForPalSpaceObject> objectWithimageDataArray(std::vector<NSData> images,
                                                                           PalApiText title, Value extMap) {
        auto object = make<PalApiImageArrayForPalSpaceObject>();
        object->setImageDataArray(std::move(images));
        object->setTitle(std::move(title));
        object->setExtMap(std::move(extMap));
        return object;
    }

    const std::vector<NSData>& imageDataArray() const { return imageDataArray_; }
    void setImageDataArray(std::vector<NSData> images) { imageDataArray_ = std::move(images); }
    const Value& extMap() const { return extMap_; }
    void setExtMap(Value map) { extMap_ = std::move(map); }

private:
    std::vector<NSData> imageDataArray_;
    Value extMap_;
};

// A video of the photo library, by its address, for PalSpace.
class PalApiVideoForPalSpaceObject : public PalApiObject {
public:
    static Ref<PalApiVideoForPalSpaceObject> objectWithAssetURL(std::string assetURL, PalApiText title, Value extMap) {
        auto object = make<PalApiVideoForPalSpaceObject>();
        object->setAssetURL(std::move(assetURL));
        object->setTitle(std::move(title));
        object->setExtMap(std::move(extMap));
        return object;
    }

    const std::string& assetURL() const { return assetURL_; }
    void setAssetURL(std::string address) { assetURL_ = std::move(address); }
    const Value& extMap() const { return extMap_; }
    void setExtMap(Value map) { extMap_ = std::move(map); }

private:
    std::string assetURL_;
    Value extMap_;
};
