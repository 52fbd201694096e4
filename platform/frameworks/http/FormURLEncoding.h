#pragma once

#include <string>
#include <string_view>

#include "foundation/NSData.h"
#include "foundation/Value.h"

// The form-URL encoding both HTTP clients use for queries and form bodies:
// pairs sorted by key, "key=value" joined by "&", each piece percent-escaped
// with the query characters less the delimiters ":#[]@!$&'()*+,;=". Nested
// dictionaries give "key[sub]=value", arrays "key[]=value"; scalars are
// written as their description ("1", "2.5"), bools as 1 or 0.
class FormURLEncoding {
public:
    FormURLEncoding() = delete;

    static std::string queryString(const Dictionary& parameters);
    static std::string percentEscaped(std::string_view text);
    // The address with the query appended after "?" (or "&" when it already
    // has a query); the address unchanged for an empty query.
    static std::string appendingQuery(const std::string& address, const std::string& query);
    static constexpr const char* contentType = "application/x-www-form-urlencoded; charset=utf-8";
};
