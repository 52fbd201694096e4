#include "frameworks/http/AFJSONResponseSerializer.h"

#include "foundation/NSJSONSerialization.h"

Value AFJSONResponseSerializer::responseObjectForResponse(const Ref<NSURLResponse>& response, const NSData& data,
                                                          Ref<NSError>* error) const {
    if (!validateResponse(response, error)) return Value();
    if (data.empty()) return Value();
    return NSJSONSerialization::JSONObjectWithData(data, error);
}
