#include "foundation/NSPathUtilities.h"

#include <filesystem>

#include "foundation/AppSandbox.h"

namespace fs = std::filesystem;

std::string NSHomeDirectory() { return AppSandbox::root(); }

std::string NSTemporaryDirectory() { return AppSandbox::root() + "/tmp/"; }

std::vector<std::string> NSSearchPathForDirectoriesInDomains(NSSearchPathDirectory directory,
                                                             NSSearchPathDomainMask domains, bool expandTilde) {
    if (!(domains & NSUserDomainMask)) return {};
    const char* relative = nullptr;
    switch (directory) {
    case NSLibraryDirectory: relative = "Library"; break;
    case NSDocumentDirectory: relative = "Documents"; break;
    case NSCachesDirectory: relative = "Library/Caches"; break;
    case NSPreferencePanesDirectory: relative = "Library/PreferencePanes"; break;
    }
    if (!relative) return {};
    return {(expandTilde ? NSHomeDirectory() : std::string("~")) + "/" + relative};
}

bool pathIsInside(const std::string& path, const std::string& folder) {
    if (path.empty() || folder.empty()) return false;
    std::error_code error;
    const fs::path base = fs::weakly_canonical(folder, error);
    if (error) return false;
    const fs::path resolved = fs::weakly_canonical(path, error);
    if (error) return false;
    const fs::path relative = resolved.lexically_relative(base);
    return !relative.empty() && *relative.begin() != "..";
}

std::optional<std::string> pathResolvedInside(const std::string& folder, const std::string& relative) {
    if (relative.empty() || fs::path(relative).is_absolute()) return std::nullopt;
    const fs::path joined = (fs::path(folder) / relative).lexically_normal();
    if (!pathIsInside(joined.string(), folder)) return std::nullopt;
    return joined.string();
}
