#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/NSURLResponse.h"
#include "foundation/Value.h"

// An HTTP answer's status and header fields.
class NSHTTPURLResponse : public NSURLResponse {
public:
    using HeaderFields = std::vector<std::pair<std::string, std::string>>;

    // Type, encoding and expected length are read from the header fields.
    NSHTTPURLResponse(Ref<NSURL> url, long statusCode, const HeaderFields& headerFields);

    long statusCode() const { return statusCode_; }
    // Every header field once, in the order received; repeated fields are
    // joined with ", " as the platform does.
    const Dictionary& allHeaderFields() const { return headerFields_; }
    // A header field's value; names compare case-insensitively.
    std::optional<std::string> valueForHTTPHeaderField(std::string_view field) const;

private:
    long statusCode_;
    Dictionary headerFields_;
};
