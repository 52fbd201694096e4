#include "uikit/UIImageWriteToSavedPhotosAlbum.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "foundation/DataFile.h"
#include "foundation/DispatchQueue.h"
#include "uikit/DeviceStorage.h"

namespace {

constexpr long fileWriteUnknownError = 512;

// The next free "IMG_nnnn.PNG" in the album.
std::string nextPhotoPath() {
    std::string folder = DeviceStorage::photoAlbumFolder();
    for (int number = 1;; ++number) {
        char name[32];
        std::snprintf(name, sizeof name, "/IMG_%04d.PNG", number);
        std::error_code error;
        if (!std::filesystem::exists(folder + name, error)) return folder + name;
    }
}

bool savePhoto(const Ref<UIImage>& image) {
    auto png = UIImagePNGRepresentation(image);
    return png && DataFile::writeToFile(*png, nextPhotoPath(), true) == 0;
}

}  // namespace

void UIImageWriteToSavedPhotosAlbum(const Ref<UIImage>& image, std::function<void(const Ref<NSError>& error)> completion) {
    Ref<NSError> error;
    if (!savePhoto(image))
        error = NSError::errorWithDomain(NSCocoaErrorDomain, fileWriteUnknownError,
                                         Dictionary{{NSLocalizedDescriptionKey, "The photo could not be saved."}});
    if (!completion) return;
    DispatchQueue::main()->async([completion = std::move(completion), error] { completion(error); });
}
