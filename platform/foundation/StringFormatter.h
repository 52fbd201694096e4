#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "foundation/FormatArgument.h"

// printf-style formatting as the platform's text formats do it, with "%@"
// for objects. Each directive takes the next argument; a directive without
// an argument prints nothing, and unknown directives are copied as written.
class StringFormatter {
public:
    static std::string format(std::string_view format, std::initializer_list<FormatArgument> arguments);
};
