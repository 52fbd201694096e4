#include "frameworks/http/alamofire/URLEncoding.h"

#include "foundation/NSURL.h"
#include "frameworks/http/FormURLEncoding.h"

namespace Alamofire {

void URLEncoding::encode(NSMutableURLRequest& request, const Dictionary& parameters) const {
    if (parameters.empty()) return;
    const std::string& method = request.HTTPMethod();
    const bool inQuery = destination == Destination::queryString ||
                         (destination == Destination::methodDependent &&
                          (method == "GET" || method == "HEAD" || method == "DELETE"));
    const std::string query = FormURLEncoding::queryString(parameters);
    if (inQuery) {
        if (auto url = NSURL::URLWithString(FormURLEncoding::appendingQuery(request.URL()->absoluteString(), query))) {
            request.setURL(url);
        }
        return;
    }
    if (!request.valueForHTTPHeaderField("Content-Type")) {
        request.setValue(std::string(FormURLEncoding::contentType), "Content-Type");
    }
    request.setHTTPBody(NSData::fromString(query));
}

}  // namespace Alamofire
