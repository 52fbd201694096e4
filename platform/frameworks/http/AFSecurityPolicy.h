#pragma once

#include "foundation/NSObject.h"

// The session manager's certificate rules. The service is reached over plain
// HTTP, so the flags are kept for the callers that set them and change
// nothing about how requests are sent.
class AFSecurityPolicy : public NSObject {
public:
    static Ref<AFSecurityPolicy> defaultPolicy() { return make<AFSecurityPolicy>(); }

    bool allowInvalidCertificates() const { return allowInvalidCertificates_; }
    void setAllowInvalidCertificates(bool allow) { allowInvalidCertificates_ = allow; }
    bool validatesDomainName() const { return validatesDomainName_; }
    void setValidatesDomainName(bool validates) { validatesDomainName_ = validates; }

private:
    bool allowInvalidCertificates_ = false;
    bool validatesDomainName_ = true;
};
