#pragma once

#include <string>
#include <string_view>

namespace backend {

// Lower-case hexadecimal digests of a text's bytes.
std::string md5Hex(std::string_view text);
std::string sha256Hex(std::string_view text);

}  // namespace backend
