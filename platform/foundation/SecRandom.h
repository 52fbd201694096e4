#pragma once

#include <cstddef>

// Cryptographically secure random bytes, under the platform's C names.

using SecRandomRef = const struct SecRandomGenerator*;
inline constexpr SecRandomRef kSecRandomDefault = nullptr;
inline constexpr int errSecSuccess = 0;

// Fills `bytes` with `count` random bytes; answers errSecSuccess, or -1 when
// the system's generator fails.
int SecRandomCopyBytes(SecRandomRef rnd, std::size_t count, void* bytes);
