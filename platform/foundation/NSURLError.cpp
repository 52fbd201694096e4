#include "foundation/NSURLError.h"

const char* const NSURLErrorDomain = "NSURLErrorDomain";
const char* const NSURLErrorFailingURLStringErrorKey = "NSErrorFailingURLStringKey";

namespace {
const char* descriptionOf(long code) {
    switch (code) {
    case NSURLErrorUnknown: return "unknown error";
    case NSURLErrorCancelled: return "cancelled";
    case NSURLErrorBadURL: return "bad URL";
    case NSURLErrorTimedOut: return "The request timed out.";
    case NSURLErrorUnsupportedURL: return "unsupported URL";
    case NSURLErrorCannotFindHost: return "A server with the specified hostname could not be found.";
    case NSURLErrorCannotConnectToHost: return "Could not connect to the server.";
    case NSURLErrorNetworkConnectionLost: return "The network connection was lost.";
    case NSURLErrorDataLengthExceedsMaximum: return "resource exceeds maximum size";
    case NSURLErrorSecureConnectionFailed: return "An SSL error has occurred and a secure connection to the server cannot be made.";
    case NSURLErrorServerCertificateUntrusted: return "The certificate for this server is invalid.";
    default: return nullptr;  // NSError's generic sentence
    }
}
}  // namespace

Ref<NSError> NSURLErrorWithCode(long code, const std::string& failingURL) {
    Dictionary userInfo;
    if (const char* description = descriptionOf(code)) userInfo.set(NSLocalizedDescriptionKey, description);
    if (!failingURL.empty()) userInfo.set(NSURLErrorFailingURLStringErrorKey, failingURL);
    return NSError::errorWithDomain(NSURLErrorDomain, code, std::move(userInfo));
}
