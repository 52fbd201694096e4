#pragma once

#include <string>

#include "foundation/NSError.h"

// The URL loading system's error domain, its codes, and the user-info key of
// the address that failed.
extern const char* const NSURLErrorDomain;
extern const char* const NSURLErrorFailingURLStringErrorKey;

enum : long {
    NSURLErrorUnknown = -1,
    NSURLErrorCancelled = -999,
    NSURLErrorBadURL = -1000,
    NSURLErrorTimedOut = -1001,
    NSURLErrorUnsupportedURL = -1002,
    NSURLErrorCannotFindHost = -1003,
    NSURLErrorCannotConnectToHost = -1004,
    NSURLErrorNetworkConnectionLost = -1005,
    NSURLErrorNotConnectedToInternet = -1009,
    NSURLErrorBadServerResponse = -1011,
    NSURLErrorDataLengthExceedsMaximum = -1103,
    NSURLErrorSecureConnectionFailed = -1200,
    NSURLErrorServerCertificateUntrusted = -1202,
};

// An error in the URL error domain carrying the platform's description of
// the code (when it has one) and the failing address (when there is one).
Ref<NSError> NSURLErrorWithCode(long code, const std::string& failingURL = {});
