#include "frameworks/http/AFHTTPRequestSerializer.h"

#include "foundation/NSURL.h"
#include "foundation/NSURLError.h"
#include "frameworks/http/FormURLEncoding.h"

void AFHTTPRequestSerializer::setValue(std::optional<std::string> value, std::string_view field) {
    if (value) headers_.set(field, *value);
    else headers_.remove(field);
}

Ref<NSMutableURLRequest> AFHTTPRequestSerializer::requestWithMethod(const std::string& method,
                                                                  const std::string& URLString,
                                                                  const Dictionary& parameters,
                                                                  Ref<NSError>* error) const {
    const bool inQuery = method == "GET" || method == "HEAD" || method == "DELETE";
    const std::string query = FormURLEncoding::queryString(parameters);
    auto url = NSURL::URLWithString(inQuery ? FormURLEncoding::appendingQuery(URLString, query) : URLString);
    if (!url) {
        if (error) *error = NSURLErrorWithCode(NSURLErrorBadURL, URLString);
        return nullptr;
    }
    auto request = NSMutableURLRequest::requestWithURL(url);
    request->setHTTPMethod(method);
    request->setTimeoutInterval(timeoutInterval_);
    for (const auto& [field, value] : headers_) request->setValue(value.description(), field);
    if (!inQuery) {
        if (!request->valueForHTTPHeaderField("Content-Type")) {
            request->setValue(std::string(FormURLEncoding::contentType), "Content-Type");
        }
        request->setHTTPBody(NSData::fromString(query));
    }
    return request;
}
