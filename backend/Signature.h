#pragma once

#include <ctime>
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

// How far a request's `t` may stand from the server's clock, either way.
inline constexpr long long kLargestClockSkewSeconds = 5 * 60;

// Checks a request's `sign` against the named fields, signed in the given
// order exactly as sent. The time field `t` must be among them and must be
// a whole number of seconds, without a leading zero, within five minutes of
// `now`: the values are joined without separators, so an old request could
// otherwise be replayed for ever, or re-split (a sum of 10 signed with its
// time read as 1017 with a shorter time, or "10" with "0<t>" for "100" with
// "<t>"). Within the window a request that changes state is still refused
// the second time (SignedRequests). Answers the refusal to send back, or
// nothing when the request is signed correctly.
std::optional<Envelope> checkSignature(const Parameters& parameters, const std::vector<std::string_view>& signedNames,
                                       std::time_t now);

}  // namespace backend
