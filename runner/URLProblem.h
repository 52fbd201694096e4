#pragma once

#include <string>

// What keeps a text that NSURL does not read from being a URL, as a person
// reads it: the part that is wrong (its scheme, its host, or the rest), each
// part judged by NSURL itself.
namespace URLProblem {

// "it needs a scheme ...", or the parts that are wrong, such as
// "its host "%%%" is not a host name or address". `example` is a URL the
// answer offers when the scheme is missing.
std::string of(const std::string& text, const std::string& example);

}  // namespace URLProblem
