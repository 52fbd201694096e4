#pragma once

#include <optional>
#include <string_view>

#include "graphics/UIImage.h"
#include "media/PHPhotoLibrary.h"

// The photo library that tests and the runner set up: its permission, what
// the user answers when asked, and the pictures the user will pick, one per
// image picker that appears, in order.
class SimulatedPhotoLibrary {
public:
    // Not determined, granted when asked, nothing to pick.
    static void reset();

    static PHAuthorizationStatus authorizationStatus();
    static void setAuthorizationStatus(PHAuthorizationStatus status);
    // What the user answers when asked (Authorized unless set).
    static void setAuthorizationAnswer(PHAuthorizationStatus answer);
    // Asks the user when not determined, keeps the answer, and returns the status.
    static PHAuthorizationStatus requestAuthorization();

    // The user will pick this picture; a null picture stands for a pick that
    // gives no picture.
    static void addPick(const Ref<UIImage>& picture);
    // The same for a PNG or JPEG file; false when it cannot be read.
    static bool addPickFromFile(std::string_view path);
    // The next pick; nothing when the user has nothing left to pick.
    static std::optional<Ref<UIImage>> takePick();
};
