#include "kits/pal/PalApi/PalPluginMetadata.h"

#include "kits/pal/PalApi/PalCoderFields.h"

using PalCoderFields::textFor;

std::string PalPluginMetadata::description() const {
    std::string text = "ApiVersion: " + std::to_string(apiVersion_) + "\n" + "scheme: " + scheme_ + "\n" +
                       "displayName: " + displayName_ + "\n" + "bundleIdentifier: " + bundleIdentifier_ + "\n" +
                       "version: " + version_ + "\n" + "iconFiles:\n{\n";
    for (const auto& [name, data] : iconFiles_) {
        const NSData* bytes = data.data();
        text += "iconname: " + name + "\niconsize: " + std::to_string(bytes ? bytes->length() : 0) + "\n";
    }
    return text + "}";
}

void PalPluginMetadata::encodeWithCoder(NSCoder& coder) const {
    coder.encodeInt32(apiVersion_, "ApiVersion");
    coder.encodeObject(scheme_, "scheme");
    coder.encodeObject(displayName_, "displayName");
    coder.encodeObject(bundleIdentifier_, "bundleIdentifier");
    coder.encodeObject(version_, "version");
    coder.encodeObject(iconFiles_, "iconFiles");
}

bool PalPluginMetadata::initWithCoder(NSCoder& coder) {
    apiVersion_ = coder.decodeInt32ForKey("ApiVersion");
    if (apiVersion_ < 1) return true;
    scheme_ = textFor(coder, "scheme");
    displayName_ = textFor(coder, "displayName");
    bundleIdentifier_ = textFor(coder, "bundleIdentifier");
    version_ = textFor(coder, "version");
    Value icons = coder.decodeObjectForKey("iconFiles");
    iconFiles_ = icons.dictionary() ? *icons.dictionary() : Dictionary();
    return true;
}

void PalApiAdItem::encodeWithCoder(NSCoder& coder) const {
    coder.encodeInt32(1, "version");
    coder.encodeObject(title_, "title");
    coder.encodeObject(description_, "desc");
    coder.encodeObject(imageData_, "imgdata");
    coder.encodeObject(Value(target_), "target");
}

bool PalApiAdItem::initWithCoder(NSCoder& coder) {
    if (coder.decodeInt32ForKey("version") != 1) return true;
    title_ = textFor(coder, "title");
    description_ = textFor(coder, "desc");
    imageData_ = coder.decodeObjectForKey("imgdata");
    target_ = coder.decodeObjectForKey("target").objectAs<NSURL>();
    return true;
}
