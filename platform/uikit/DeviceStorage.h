#pragma once

#include <string>

// What the simulated device keeps for every app on it, apart from each app's
// own sandbox: the pasteboards and the saved-photos album.
//
// By default it is the folder "Device" inside the current app sandbox, so it
// follows a test's temporary sandbox and survives a relaunch of the app on
// the same sandbox; another app simulated in the same process (a peer app
// opened by URL) reads the same files. To give two app instances separate
// sandboxes on one device, point both at one folder with setFolder.
class DeviceStorage {
public:
    static std::string folder();
    // Every later access uses `path` ("" puts back the default).
    static void setFolder(std::string path);

    // The subfolders, created when missing.
    static std::string pasteboardFolder();
    static std::string photoAlbumFolder();
};
