#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "foundation/NSObject.h"
#include "foundation/NSURLRequest.h"
#include "foundation/Value.h"

class NSError;

// Builds the requests of the GET/POST session manager: its headers and
// time-out go on every request; parameters become the query of GET, HEAD
// and DELETE requests and a form-encoded body for the others.
class AFHTTPRequestSerializer : public NSObject {
public:
    static Ref<AFHTTPRequestSerializer> serializer() { return make<AFHTTPRequestSerializer>(); }

    double timeoutInterval() const { return timeoutInterval_; }
    void setTimeoutInterval(double seconds) { timeoutInterval_ = seconds; }
    const Dictionary& HTTPRequestHeaders() const { return headers_; }
    // Sets a header of every request; nothing removes it.
    void setValue(std::optional<std::string> value, std::string_view field);

    // Nothing, with a bad-URL error, when the address is not a URL.
    Ref<NSMutableURLRequest> requestWithMethod(const std::string& method, const std::string& URLString,
                                               const Dictionary& parameters, Ref<NSError>* error = nullptr) const;

private:
    double timeoutInterval_ = NSURLRequest::defaultTimeoutInterval;
    Dictionary headers_;
};
