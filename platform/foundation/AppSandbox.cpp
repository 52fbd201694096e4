#include "foundation/AppSandbox.h"

#include <unistd.h>

#include <filesystem>
#include <mutex>
#include <system_error>

namespace {

std::mutex rootMutex;
std::string currentRoot;

bool createStandardFolders(const std::filesystem::path& root) {
    for (const char* folder : {"Documents", "Library/Caches", "Library/Preferences", "Library/PreferencePanes", "tmp"}) {
        std::error_code error;
        std::filesystem::create_directories(root / folder, error);
        if (error) return false;
    }
    return true;
}

}  // namespace

bool AppSandbox::setRoot(const std::string& path) {
    if (path.empty()) return false;
    std::error_code error;
    auto absolute = std::filesystem::absolute(path, error).lexically_normal();
    if (error || !createStandardFolders(absolute)) return false;
    std::string text = absolute.string();
    if (text.size() > 1 && text.back() == '/') text.pop_back();
    std::lock_guard lock(rootMutex);
    currentRoot = text;
    return true;
}

std::string AppSandbox::root() {
    {
        std::lock_guard lock(rootMutex);
        if (!currentRoot.empty()) return currentRoot;
    }
    std::error_code error;
    auto fallback = std::filesystem::temp_directory_path(error) / ("velmaro-sandbox-" + std::to_string(getpid()));
    if (error) fallback = "/tmp/velmaro-sandbox-" + std::to_string(getpid());
    setRoot(fallback.string());
    std::lock_guard lock(rootMutex);
    if (currentRoot.empty()) currentRoot = fallback.string();
    return currentRoot;
}

void AppSandbox::reset() {
    std::lock_guard lock(rootMutex);
    currentRoot.clear();
}
