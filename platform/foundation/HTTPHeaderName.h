#pragma once

#include <string_view>

// HTTP header field names compare without regard to letter case.
class HTTPHeaderName {
public:
    static bool equal(std::string_view a, std::string_view b);
};
