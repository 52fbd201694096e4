#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "foundation/NSData.h"

// Base64 decoding (RFC 4648 alphabet) of raw text, as the QR login reads its
// picture. Characters outside the alphabet are skipped; decoding stops at the
// first "=". Answers 0, or 1 when the last group is a single character (at
// least 2 bits missing: reported on standard error), in which case `output`
// holds the complete groups only. `output` is replaced, never overrun.
int RPBase64Decode(std::string_view input, std::vector<std::uint8_t>& output);

// The decoded bytes, or nothing for an incomplete input (reported on standard
// output). The answer is the decoded length (0 on failure).
std::size_t RPBase64DecodeAlloc(std::string_view input, std::optional<NSData>& output);
