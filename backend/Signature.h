#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "backend/Envelope.h"
#include "backend/Parameters.h"

namespace backend {

// The key the app appends, last, to every text it signs.
inline constexpr std::string_view kSigningKey = "qmvtrapezk42f17bnc";

// The `sign` the app sends for these values: the lower-case MD5 hex of the
// values joined without separators, followed by the key.
std::string signatureOf(std::initializer_list<std::string_view> values);

// Checks a request's `sign` against the named fields, signed in the given
// order exactly as sent. The time field `t` must be among them and must be
// a whole number of seconds. Answers the refusal to send back, or nothing
// when the request is signed correctly.
std::optional<Envelope> checkSignature(const Parameters& parameters, const std::vector<std::string_view>& signedNames);

}  // namespace backend
