#include "foundation/NSError.h"

const char* const NSLocalizedDescriptionKey = "NSLocalizedDescription";
const char* const NSUnderlyingErrorKey = "NSUnderlyingError";
const char* const NSPOSIXErrorDomain = "NSPOSIXErrorDomain";
const char* const NSCocoaErrorDomain = "NSCocoaErrorDomain";

Ref<NSError> NSError::errorWithDomain(std::string domain, long code, Dictionary userInfo) {
    return make<NSError>(std::move(domain), code, std::move(userInfo));
}

std::string NSError::localizedDescription() const {
    if (auto text = userInfo_[NSLocalizedDescriptionKey].text()) return *text;
    return "The operation couldn\u2019t be completed. (" + domain_ + " error " + std::to_string(code_) + ".)";
}

std::string NSError::description() const {
    std::string out = "Error Domain=" + domain_ + " Code=" + std::to_string(code_) + " \"" +
                      localizedDescription() + "\"";
    if (userInfo_.empty()) return out;
    out += " UserInfo={";
    bool first = true;
    for (const auto& [key, value] : userInfo_) {
        if (!first) out += ", ";
        first = false;
        out += key + "=" + value.description();
    }
    return out + "}";
}

bool NSError::isEqual(const NSObject& other) const {
    auto error = dynamic_cast<const NSError*>(&other);
    return error && error->domain_ == domain_ && error->code_ == code_ && error->userInfo_ == userInfo_;
}
