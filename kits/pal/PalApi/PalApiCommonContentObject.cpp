#include "kits/pal/PalApi/PalApiCommonContentObject.h"

Ref<PalApiCommonContentObject> PalApiCommonContentObject::objectWithLayoutType(std::uint32_t layoutType,
                                                                               std::vector<std::string> textArray,
                                                                               std::vector<NSData> pictureArray,
                                                                               std::optional<NSData> previewImageData) {
    auto object = make<PalApiCommonContentObject>();
    object->setLayoutType(layoutType);
    object->setTextArray(std::move(textArray));
    object->setPictureDataArray(std::move(pictureArray));
    object->setPreviewImageData(std::move(previewImageData));
    return object;
}

Ref<PalApiCommonContentObject> PalApiCommonContentObject::objectWithDictionary(const Dictionary& dictionary) {
    const Value& texts = dictionary["textArray"];
    const Value& pictures = dictionary["pictureArray"];
    if (texts.isNil() && pictures.isNil()) return nullptr;
    std::vector<std::string> textArray;
    std::vector<NSData> pictureArray;
    if (!texts.isNil()) {
        if (!texts.array()) return nullptr;
        for (const Value& text : *texts.array()) {
            if (!text.text()) return nullptr;
            textArray.push_back(*text.text());
        }
    }
    if (!pictures.isNil()) {
        if (!pictures.array()) return nullptr;
        for (const Value& picture : *pictures.array()) {
            if (!picture.data()) return nullptr;
            pictureArray.push_back(*picture.data());
        }
    }
    const Value& preview = dictionary["previewimageData"];
    if (!preview.isNil() && !preview.data()) return nullptr;
    std::optional<NSData> previewData;
    if (preview.data()) previewData = *preview.data();
    return objectWithLayoutType(static_cast<std::uint32_t>(dictionary["layoutType"].longLongValue()),
                                std::move(textArray), std::move(pictureArray), std::move(previewData));
}

// Absent lists are left out, so that an empty object reads back as none.
Dictionary PalApiCommonContentObject::toDictionary() const {
    Dictionary dictionary;
    if (!textArray_.empty()) dictionary.set("textArray", Array(textArray_.begin(), textArray_.end()));
    if (!pictureDataArray_.empty())
        dictionary.set("pictureArray", Array(pictureDataArray_.begin(), pictureDataArray_.end()));
    dictionary.set("layoutType", layoutType_);
    if (previewImageData_) dictionary.set("previewimageData", *previewImageData_);
    return dictionary;
}
