#include "uikit/DeviceStorage.h"

#include <filesystem>
#include <mutex>
#include <system_error>

#include "foundation/AppSandbox.h"

namespace {

std::mutex folderMutex;
std::string chosenFolder;

std::string subfolder(const char* name) {
    std::string path = DeviceStorage::folder() + "/" + name;
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return path;
}

}  // namespace

std::string DeviceStorage::folder() {
    {
        std::lock_guard lock(folderMutex);
        if (!chosenFolder.empty()) return chosenFolder;
    }
    return AppSandbox::root() + "/Device";
}

void DeviceStorage::setFolder(std::string path) {
    std::lock_guard lock(folderMutex);
    chosenFolder = std::move(path);
}

std::string DeviceStorage::pasteboardFolder() { return subfolder("Pasteboards"); }

std::string DeviceStorage::photoAlbumFolder() { return subfolder("Photos"); }
