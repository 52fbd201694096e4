#pragma once

#include <string>

#include "foundation/NSError.h"

inline constexpr const char* AVFoundationErrorDomain = "AVFoundationErrorDomain";

// The capture errors this layer reports.
enum AVError : long {
    AVErrorUnknown = -11800,
    AVErrorSessionNotRunning = -11803,
    AVErrorDeviceAlreadyUsedByAnotherSession = -11804,
    AVErrorDeviceNotConnected = -11814,
    AVErrorApplicationIsNotAuthorizedToUseDevice = -11852,
};

inline Ref<NSError> AVErrorMake(AVError code, std::string description) {
    return NSError::errorWithDomain(AVFoundationErrorDomain, code, {{NSLocalizedDescriptionKey, std::move(description)}});
}
