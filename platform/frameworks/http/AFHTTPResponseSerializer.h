#pragma once

#include <set>
#include <string>

#include "foundation/NSData.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

class NSError;
class NSURLResponse;

// Turns an answer into the success path's response object. This one checks
// the status (200 to 299) and answers the raw body as data; subclasses parse.
class AFHTTPResponseSerializer : public NSObject {
public:
    static Ref<AFHTTPResponseSerializer> serializer() { return make<AFHTTPResponseSerializer>(); }

    const std::set<long>& acceptableStatusCodes() const { return acceptableStatusCodes_; }
    void setAcceptableStatusCodes(std::set<long> codes) { acceptableStatusCodes_ = std::move(codes); }

    // The response object, or nil with `error` set when the answer is refused.
    virtual Value responseObjectForResponse(const Ref<NSURLResponse>& response, const NSData& data,
                                            Ref<NSError>* error) const;

    static constexpr const char* errorDomain = "com.alamofire.error.serialization.response";

protected:
    // Refuses statuses outside the acceptable ones.
    bool validateResponse(const Ref<NSURLResponse>& response, Ref<NSError>* error) const;

private:
    std::set<long> acceptableStatusCodes_ = [] {
        std::set<long> codes;
        for (long code = 200; code < 300; ++code) codes.insert(code);
        return codes;
    }();
};
