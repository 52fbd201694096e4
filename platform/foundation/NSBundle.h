#pragma once

#include <optional>
#include <string>

#include "foundation/NSObject.h"
#include "foundation/NSURL.h"
#include "foundation/Value.h"

// A folder of the app's resources with an Info.plist describing the app.
class NSBundle : public NSObject {
public:
    explicit NSBundle(std::string path);

    // The app's bundle: the folder set by setMainBundlePath, else the folder
    // holding the running executable.
    static Ref<NSBundle> mainBundle();
    // Points the main bundle at another folder (read afresh on the next
    // mainBundle()).
    static void setMainBundlePath(const std::string& path);

    const std::string& bundlePath() const { return path_; }
    const std::string& resourcePath() const { return path_; }
    // The contents of Info.plist; empty when it is missing or unreadable.
    const Dictionary& infoDictionary() const { return info_; }
    const Value& objectForInfoDictionaryKey(std::string_view key) const { return info_[key]; }
    // CFBundleIdentifier, or empty.
    std::string bundleIdentifier() const;

    // The path of resource `name`.`type` (type may be empty, or already part
    // of the name) in the bundle, or in its subfolder `directory`; nothing when there is
    // no such file.
    std::optional<std::string> pathForResource(const std::string& name, const std::string& type,
                                               const std::string& directory = "") const;
    // The file URL of the same resource; null when there is none.
    Ref<NSURL> URLForResource(const std::string& name, const std::string& extension,
                              const std::string& directory = "") const;
    // There are no translations: the given value, or the key when the value
    // is empty.
    std::string localizedStringForKey(const std::string& key, const std::string& value,
                                      const std::string& table = "") const;

private:
    std::string path_;
    Dictionary info_;
};
