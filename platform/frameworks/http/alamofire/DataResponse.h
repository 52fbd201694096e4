#pragma once

#include <optional>

#include "foundation/NSData.h"
#include "foundation/NSObject.h"

class NSError;
class NSHTTPURLResponse;
class NSURLRequest;

namespace Alamofire {

// Everything about one finished request: what was sent, what came back and
// the serialized value, or the error that stopped it.
template <class Success> struct DataResponse {
    Ref<NSURLRequest> request;
    Ref<NSHTTPURLResponse> response;
    NSData data;
    std::optional<Success> value;
    Ref<NSError> error;
};

}  // namespace Alamofire
