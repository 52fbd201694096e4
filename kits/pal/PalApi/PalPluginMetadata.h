#pragma once

#include <cstdint>
#include <string>

#include "foundation/NSCoder.h"
#include "foundation/NSURL.h"
#include "foundation/Value.h"

// The host app's registration with the Pal app, kept on the plug-in
// pasteboard: its URL scheme, names, version and up to two icons
// (file name -> bytes). Fields after "ApiVersion" are read only when it is
// 1 or more.
class PalPluginMetadata : public NSObject, public NSCoding {
public:
    std::int32_t ApiVersion() const { return apiVersion_; }
    const std::string& scheme() const { return scheme_; }
    void setScheme(std::string scheme) { scheme_ = std::move(scheme); }
    const std::string& displayName() const { return displayName_; }
    void setDisplayName(std::string name) { displayName_ = std::move(name); }
    const std::string& bundleIdentifier() const { return bundleIdentifier_; }
    void setBundleIdentifier(std::string identifier) { bundleIdentifier_ = std::move(identifier); }
    const std::string& version() const { return version_; }
    void setVersion(std::string version) { version_ = std::move(version); }
    const Dictionary& iconFiles() const { return iconFiles_; }
    void setIconFiles(Dictionary icons) { iconFiles_ = std::move(icons); }

    std::string description() const override;
    void encodeWithCoder(NSCoder& coder) const override;
    bool initWithCoder(NSCoder& coder) override;

private:
    std::int32_t apiVersion_ = 1;
    std::string scheme_;
    std::string displayName_;
    std::string bundleIdentifier_;
    std::string version_;
    Dictionary iconFiles_;
};

// An advertisement item of the ad pasteboard; archived with "version" 1,
// and read back empty when another version is found.
class PalApiAdItem : public NSObject, public NSCoding {
public:
    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    std::string description() const override { return description_; }
    void setDescription(std::string text) { description_ = std::move(text); }
    const Value& imageData() const { return imageData_; }
    void setImageData(Value data) { imageData_ = std::move(data); }
    const Ref<NSURL>& target() const { return target_; }
    void setTarget(Ref<NSURL> url) { target_ = std::move(url); }

    void encodeWithCoder(NSCoder& coder) const override;
    bool initWithCoder(NSCoder& coder) override;

private:
    std::string title_;
    std::string description_;
    Value imageData_;
    Ref<NSURL> target_;
};
