#pragma once

#include <string>

#include "foundation/NSObject.h"
#include "foundation/Value.h"

// User-info keys and error domains.
extern const char* const NSLocalizedDescriptionKey;
extern const char* const NSUnderlyingErrorKey;
extern const char* const NSPOSIXErrorDomain;
extern const char* const NSCocoaErrorDomain;

// An error: a domain, a code within it, and a dictionary of details.
class NSError : public NSObject {
public:
    NSError(std::string domain, long code, Dictionary userInfo)
        : domain_(std::move(domain)), code_(code), userInfo_(std::move(userInfo)) {}

    static Ref<NSError> errorWithDomain(std::string domain, long code, Dictionary userInfo = {});

    const std::string& domain() const { return domain_; }
    long code() const { return code_; }
    const Dictionary& userInfo() const { return userInfo_; }
    // The user info's description text, else a generic sentence naming the
    // domain and the code.
    std::string localizedDescription() const;

    // Error Domain=D Code=N "description" UserInfo={key=value, ...}
    std::string description() const override;
    bool isEqual(const NSObject& other) const override;

private:
    std::string domain_;
    long code_;
    Dictionary userInfo_;
};
