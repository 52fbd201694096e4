#pragma once

#include <functional>

#include "foundation/NSError.h"
#include "graphics/UIImage.h"

// Saves the image as a PNG file into the device's saved-photos album
// (DeviceStorage::photoAlbumFolder(), files "IMG_0001.PNG", "IMG_0002.PNG"...
// in saving order). The completion, when given, runs on the main queue with
// null, or with an error (NSCocoaErrorDomain, NSFileWriteUnknownError) when
// there is no image or the file cannot be written. The photo library's
// authorisation is not consulted.
void UIImageWriteToSavedPhotosAlbum(const Ref<UIImage>& image,
                                    std::function<void(const Ref<NSError>& error)> completion = nullptr);
