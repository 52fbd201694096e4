#include "uikit/DeviceStorage.h"

#include <sys/stat.h>

#include <mutex>
#include <system_error>

#include "foundation/AppSandbox.h"
#include "foundation/DataFile.h"

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
    // Each the app's alone, as the sandbox's folders are.
    std::error_code error;
    if (chosen) {
        DataFile::makeFolders(path, error);
    } else {
        ::mkdir(device.c_str(), DataFile::kFolderMode);
        ::mkdir(path.c_str(), DataFile::kFolderMode);
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
