#pragma once

#include <string>
#include <string_view>

namespace backend {

// The schemes of the addresses the stand-ins' pages link to (a redirect
// they were given, a link made of an app's id): the kits' flows use
// "http", "https", the Pal kit's "auth" and "nimbus<app id>" (digits), and
// the Ripple app ids, "rp<letters and digits>", as the apps' own schemes.
// Any other ("javascript:", "data:", "file:") could run or read something
// in the page's window: the pages refuse it.
bool isFlowScheme(std::string_view scheme);

// The scheme a browser reads in `address`, in lower case: what comes
// before the first ':' once tabs and line breaks are dropped and leading
// blanks and control characters trimmed, unless a '/', '?' or '#' comes
// first; empty for an address without one (relative to the page).
std::string schemeOf(std::string_view address);

}  // namespace backend
