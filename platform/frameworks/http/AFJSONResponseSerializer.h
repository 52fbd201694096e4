#pragma once

#include "frameworks/http/AFHTTPResponseSerializer.h"

// Answers the body parsed as JSON; an empty body answers nil without error,
// a body that is not JSON answers nil with the parser's error.
class AFJSONResponseSerializer : public AFHTTPResponseSerializer {
public:
    static Ref<AFJSONResponseSerializer> serializer() { return make<AFJSONResponseSerializer>(); }

    Value responseObjectForResponse(const Ref<NSURLResponse>& response, const NSData& data,
                                    Ref<NSError>* error) const override;
};
