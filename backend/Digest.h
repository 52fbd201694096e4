#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace backend {

// Lower-case hexadecimal digests of a text's bytes.
std::string md5Hex(std::string_view text);
std::string sha256Hex(std::string_view text);
// HMAC-SHA-256 of `text` under `key`, in lower-case hex.
std::string hmacSha256Hex(std::string_view key, std::string_view text);
// `bytes` bytes from the system's secure random source, in hex (empty when
// the source fails).
std::string randomHex(std::size_t bytes);
// Compares two secrets in time that does not depend on where they differ;
// an empty secret matches nothing.
bool sameSecret(std::string_view a, std::string_view b);

}  // namespace backend
