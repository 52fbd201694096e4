#pragma once

#include <functional>

#include "foundation/NSObject.h"

// The photo library's permission step.
class QSCPermissions : public NSObject {
public:
    // Calls `completion` with whether access is granted: at once when the
    // user has decided already, else on the main queue once the user answers.
    static void authorizePhotoLibrary(std::function<void(bool granted)> completion);
};
