#pragma once

#include "foundation/NSURLRequest.h"
#include "foundation/Value.h"
#include "frameworks/http/alamofire/HTTPMethod.h"

namespace Alamofire {

// Where parameters go: by default into the query for GET, HEAD and DELETE
// and into a form-encoded body for the other methods; the address's own
// query stays in the address either way.
struct URLEncoding {
    enum class Destination { methodDependent, queryString, httpBody };
    Destination destination = Destination::methodDependent;

    // The framework's `default` encoding (a keyword here).
    static URLEncoding defaultEncoding() { return {}; }
    static URLEncoding queryString() { return {Destination::queryString}; }
    static URLEncoding httpBody() { return {Destination::httpBody}; }

    void encode(NSMutableURLRequest& request, const Dictionary& parameters) const;
};

}  // namespace Alamofire
