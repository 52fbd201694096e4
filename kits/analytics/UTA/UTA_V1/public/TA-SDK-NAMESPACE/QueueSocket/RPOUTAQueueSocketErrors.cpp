#include <netdb.h>

#include <cerrno>
#include <cstring>

#include "foundation/NSBundle.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/QueueSocket/RPOUTAQueueSocket.h"

const char* const RPOUTAQueueSocketErrorDomain = "QueueSocketErrorDomain";
const char* const RPOUTAQueueSocketNetDBErrorDomain = "kCFStreamErrorDomainNetDB";
const char* const RPOUTAFailureReasonKey = "NSLocalizedFailureReason";

namespace {

Ref<NSError> socketError(RPOUTAQueueSocketError code, const std::string& description) {
    Dictionary info;
    info.set(NSLocalizedDescriptionKey, description);
    return NSError::errorWithDomain(RPOUTAQueueSocketErrorDomain, code, std::move(info));
}

// Descriptions of the fixed errors come from the "QueueSocket" string table,
// English by default.
Ref<NSError> tableError(RPOUTAQueueSocketError code, const std::string& key, const std::string& english) {
    return socketError(code, NSBundle::mainBundle()->localizedStringForKey(key, english, "QueueSocket"));
}

}  // namespace

Ref<NSError> RPOUTAQueueSocket::badConfigError(const std::string& reason) {
    return socketError(RPOUTAQueueSocketBadConfigError, reason);
}

Ref<NSError> RPOUTAQueueSocket::badParamError(const std::string& reason) {
    return socketError(RPOUTAQueueSocketBadParamError, reason);
}

Ref<NSError> RPOUTAQueueSocket::gaiError(int code) {
    Dictionary info;
    info.set(NSLocalizedDescriptionKey, std::string(gai_strerror(code)));
    return NSError::errorWithDomain(RPOUTAQueueSocketNetDBErrorDomain, code, std::move(info));
}

Ref<NSError> RPOUTAQueueSocket::errnoErrorWithReason(const std::string& reason) {
    const int code = errno;
    Dictionary info;
    info.set(NSLocalizedDescriptionKey, std::string(std::strerror(code)));
    if (!reason.empty()) info.set(RPOUTAFailureReasonKey, reason);
    return NSError::errorWithDomain(NSPOSIXErrorDomain, code, std::move(info));
}

Ref<NSError> RPOUTAQueueSocket::errnoError() { return errnoErrorWithReason(""); }

Ref<NSError> RPOUTAQueueSocket::connectTimeoutError() {
    return tableError(RPOUTAQueueSocketConnectTimeoutError, "QueueSocketConnectTimeoutError",
                      "Attempt to connect to host timed out");
}

Ref<NSError> RPOUTAQueueSocket::readTimeoutError() {
    return tableError(RPOUTAQueueSocketReadTimeoutError, "QueueSocketReadTimeoutError", "Read operation timed out");
}

Ref<NSError> RPOUTAQueueSocket::writeTimeoutError() {
    return tableError(RPOUTAQueueSocketWriteTimeoutError, "QueueSocketWriteTimeoutError", "Write operation timed out");
}

Ref<NSError> RPOUTAQueueSocket::readMaxedOutError() {
    return tableError(RPOUTAQueueSocketReadMaxedOutError, "QueueSocketReadMaxedOutError",
                      "Read operation reached set maximum length");
}

Ref<NSError> RPOUTAQueueSocket::connectionClosedError() {
    return tableError(RPOUTAQueueSocketClosedError, "QueueSocketClosedError", "Socket closed by remote peer");
}

Ref<NSError> RPOUTAQueueSocket::otherError(const std::string& reason) {
    return socketError(RPOUTAQueueSocketOtherError, reason);
}
