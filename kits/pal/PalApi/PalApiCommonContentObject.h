#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/NSData.h"
#include "foundation/Value.h"
#include "kits/pal/PalApi/PalApiObject.h"

// Content laid out by Pal from texts and pictures (at most one of each is
// sent), with a preview picture. Its dictionary form rides on the pasteboard.
class PalApiCommonContentObject : public PalApiObject {
public:
    static Ref<PalApiCommonContentObject> objectWithLayoutType(std::uint32_t layoutType,
                                                               std::vector<std::string> textArray,
                                                               std::vector<NSData> pictureArray,
                                                               std::optional<NSData> previewImageData);
    // From "textArray", "pictureArray", "layoutType", "previewimageData";
    // null when both lists are missing or an entry is of the wrong kind.
    static Ref<PalApiCommonContentObject> objectWithDictionary(const Dictionary& dictionary);
    Dictionary toDictionary() const;

    std::uint32_t layoutType() const { return layoutType_; }
    void setLayoutType(std::uint32_t type) { layoutType_ = type; }
    const std::optional<NSData>& previewImageData() const { return previewImageData_; }
    void setPreviewImageData(std::optional<NSData> data) { previewImageData_ = std::move(data); }
    const std::vector<std::string>& textArray() const { return textArray_; }
    void setTextArray(std::vector<std::string> texts) { textArray_ = std::move(texts); }
    const std::vector<NSData>& pictureDataArray() const { return pictureDataArray_; }
    void setPictureDataArray(std::vector<NSData> pictures) { pictureDataArray_ = std::move(pictures); }

private:
    std::uint32_t layoutType_ = 0;
    std::optional<NSData> previewImageData_;
    std::vector<std::string> textArray_;
    std::vector<NSData> pictureDataArray_;
};
