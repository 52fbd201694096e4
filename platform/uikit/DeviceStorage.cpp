#include "uikit/DeviceStorage.h"

#include <filesystem>
#include <mutex>
#include <system_error>

#include "foundation/AppSandbox.h"

namespace {

std::mutex folderMutex;
std::string chosenFolder;

// The device's subfolder `name`, made when missing. In the app's sandbox,
// the sandbox itself is never made: a sandbox removed under the running
// app (its session folder deleted) stays removed, and what would be stored
// there fails as any write to a missing folder does.
std::string subfolder(const char* name) {
    bool chosen = false;
    {
        std::lock_guard lock(folderMutex);
        chosen = !chosenFolder.empty();
    }
    const std::string device = DeviceStorage::folder();
    const std::string path = device + "/" + name;
    std::error_code error;
    if (chosen) {
        std::filesystem::create_directories(path, error);
    } else {
        std::filesystem::create_directory(device, error);
        std::filesystem::create_directory(path, error);
    }
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
