#pragma once

#include <optional>
#include <string>
#include <vector>

#include "foundation/NSData.h"
#include "kits/pal/PalApi/PalApiObject.h"

// Content that rides on the pasteboard: its bytes, a preview picture and a
// list of pictures. The kinds below share the factories.
class PalApiExtendObject : public PalApiObject {
public:
    template <class Object = PalApiExtendObject>
    static Ref<Object> objectWithData(std::optional<NSData> data, std::optional<NSData> previewImageData,
                                      PalApiText title, PalApiText description,
                                      std::vector<NSData> imageDataArray = {}) {
        auto object = make<Object>();
        object->setData(std::move(data));
        object->setPreviewImageData(std::move(previewImageData));
        object->setTitle(std::move(title));
        object->setDescription(std::move(description));
        object->setImageDataArray(std::move(imageDataArray));
        return object;
    }

    const std::optional<NSData>& data() const { return data_; }
    void setData(std::optional<NSData> data) { data_ = std::move(data); }
    const std::optional<NSData>& previewImageData() const { return previewImageData_; }
    void setPreviewImageData(std::optional<NSData> data) { previewImageData_ = std::move(data); }
    const std::vector<NSData>& imageDataArray() const { return imageDataArray_; }
    void setImageDataArray(std::vector<NSData> images) { imageDataArray_ = std::move(images); }

private:
    std::optional<NSData> data_;
    std::optional<NSData> previewImageData_;
    std::vector<NSData> imageDataArray_;
};

// A picture.
class PalApiImageObject : public PalApiExtendObject {};

// A picture for a group tribe: the tribe's number and name.
class PalApiGroupTribeImageObject : public PalApiImageObject {
public:
    const std::string& bid() const { return bid_; }
    void setBid(std::string bid) { bid_ = std::move(bid); }
    const std::string& bname() const { return bname_; }
    void setBname(std::string name) { bname_ = std::move(name); }

private:
    std::string bid_;
    std::string bname_;
};

// A file with its name.
class PalApiFileObject : public PalApiExtendObject {
public:
    const std::string& fileName() const { return fileName_; }
    void setFileName(std::string name) { fileName_ = std::move(name); }

private:
    std::string fileName_;
};
