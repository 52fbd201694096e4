#include "frameworks/http/AFHTTPResponseSerializer.h"

#include "foundation/NSError.h"
#include "foundation/NSHTTPURLResponse.h"
#include "foundation/NSString.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLError.h"

namespace {

// The platform's lower-case reason phrases for the statuses a server sends.
std::string reasonPhrase(long status) {
    switch (status) {
    case 400: return "bad request";
    case 401: return "unauthorized";
    case 403: return "forbidden";
    case 404: return "not found";
    case 405: return "method not allowed";
    case 408: return "request timed out";
    case 413: return "request too large";
    case 500: return "internal server error";
    case 502: return "bad gateway";
    case 503: return "service unavailable";
    case 504: return "gateway timed out";
    default: break;
    }
    if (status >= 500) return "server error";
    if (status >= 400) return "client error";
    if (status >= 300) return "redirected";
    if (status >= 200) return "success";
    return "informational";
}

}  // namespace

bool AFHTTPResponseSerializer::validateResponse(const Ref<NSURLResponse>& response, Ref<NSError>* error) const {
    auto http = cast<NSHTTPURLResponse>(response);
    if (!http || acceptableStatusCodes_.count(http->statusCode())) return true;
    if (error) {
        Dictionary userInfo{
            {NSLocalizedDescriptionKey, NSString::stringWithFormat("Request failed: %@ (%ld)",
                                                                    reasonPhrase(http->statusCode()),
                                                                    http->statusCode())}};
        if (http->URL()) userInfo.set("NSErrorFailingURLKey", http->URL()->absoluteString());
        *error = NSError::errorWithDomain(errorDomain, NSURLErrorBadServerResponse, userInfo);
    }
    return false;
}

Value AFHTTPResponseSerializer::responseObjectForResponse(const Ref<NSURLResponse>& response, const NSData& data,
                                                          Ref<NSError>* error) const {
    if (!validateResponse(response, error)) return Value();
    return Value(data);
}
