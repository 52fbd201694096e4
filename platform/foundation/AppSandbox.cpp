#include "foundation/AppSandbox.h"

#include <unistd.h>

#include <filesystem>
#include <mutex>
#include <system_error>

#include "foundation/DataFile.h"

namespace {

std::mutex rootMutex;
std::string currentRoot;

// Makes the standard folders of `root`, and `root` when missing, each the
// app's alone (DataFile::makeFolders); the path of the first that cannot be
// made, with why, when one cannot.
bool createStandardFolders(const std::filesystem::path& root, std::string& failed, std::error_code& error) {
    for (const char* folder : {"Documents", "Library/Caches", "Library/Preferences", "Library/PreferencePanes", "tmp"}) {
        if (!DataFile::makeFolders((root / folder).string(), error)) {
            failed = (root / folder).string();
            return false;
        }
    }
    return true;
}

}  // namespace

bool AppSandbox::setRoot(const std::string& path, std::string* failedFolder, std::error_code* why) {
    std::string failed = path;
    std::error_code error = std::make_error_code(std::errc::no_such_file_or_directory);
    if (!path.empty()) error.clear();
    auto absolute = path.empty() ? std::filesystem::path() : std::filesystem::absolute(path, error).lexically_normal();
    if (error || !createStandardFolders(absolute, failed, error)) {
        if (failedFolder) *failedFolder = failed;
        if (why) *why = error;
        return false;
    }
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
