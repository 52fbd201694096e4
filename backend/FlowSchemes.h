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
// A Ripple app id, which is the app's own scheme: "rp" and letters or
// digits (case ignored).
bool isRippleAppScheme(std::string_view scheme);

// The scheme a browser reads in `address` written in an attribute as it
// is, in lower case: what comes before the first ':' once character
// references are decoded, tabs and line breaks dropped and leading blanks
// and control characters trimmed, unless a '/', '?' or '#' comes first;
// empty for an address without one (relative to the page). The pages
// escape what they write, so a browser reads the address literally; the
// check holds for an address written unescaped as well.
std::string schemeOf(std::string_view address);

}  // namespace backend
