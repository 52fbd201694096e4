#include "foundation/NSBundle.h"

#include <filesystem>
#include <mutex>
#include <system_error>

#include "foundation/NSPathUtilities.h"
#include "foundation/PropertyListFile.h"

namespace fs = std::filesystem;

namespace {

std::mutex mainBundleMutex;
std::string mainBundlePath;
Ref<NSBundle> mainBundleInstance;

std::string executableFolder() {
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path(error).string() : executable.parent_path().string();
}

}  // namespace

NSBundle::NSBundle(std::string path) : path_(std::move(path)) {
    if (auto info = PropertyListFile::dictionaryWithContentsOfFile(path_ + "/Info.plist")) info_ = std::move(*info);
}

Ref<NSBundle> NSBundle::mainBundle() {
    std::lock_guard lock(mainBundleMutex);
    if (!mainBundleInstance) {
        mainBundleInstance = make<NSBundle>(mainBundlePath.empty() ? executableFolder() : mainBundlePath);
    }
    return mainBundleInstance;
}

void NSBundle::setMainBundlePath(const std::string& path) {
    std::lock_guard lock(mainBundleMutex);
    mainBundlePath = path;
    mainBundleInstance = nullptr;
}

std::string NSBundle::bundleIdentifier() const {
    auto identifier = info_["CFBundleIdentifier"].text();
    return identifier ? *identifier : std::string();
}

std::optional<std::string> NSBundle::pathForResource(const std::string& name, const std::string& type,
                                                     const std::string& directory) const {
    if (name.empty()) return std::nullopt;
    std::string file = type.empty() ? name : name + "." + (type.front() == '.' ? type.substr(1) : type);
    // Names that are absolute, climb with ".." or follow a link out of the
    // bundle find nothing.
    auto candidate = pathResolvedInside(path_, (fs::path(directory) / file).string());
    std::error_code error;
    if (!candidate || !fs::is_regular_file(*candidate, error)) return std::nullopt;
    return *candidate;
}

Ref<NSURL> NSBundle::URLForResource(const std::string& name, const std::string& extension,
                                    const std::string& directory) const {
    auto path = pathForResource(name, extension, directory);
    return path ? NSURL::fileURLWithPath(*path) : nullptr;
}

std::string NSBundle::localizedStringForKey(const std::string& key, const std::string& value,
                                            const std::string&) const {
    return value.empty() ? key : value;
}
