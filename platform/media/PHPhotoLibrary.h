#pragma once

#include <functional>

enum class PHAuthorizationStatus { NotDetermined, Restricted, Denied, Authorized, Limited };

// The photo library's permission, as SimulatedPhotoLibrary sets it.
class PHPhotoLibrary {
public:
    static PHAuthorizationStatus authorizationStatus();
    // Asks when not yet determined (the simulated user answers, and the
    // answer stays); the handler gets the status on a global queue.
    static void requestAuthorization(std::function<void(PHAuthorizationStatus)> handler);
};
