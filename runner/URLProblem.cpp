#include "runner/URLProblem.h"

#include <vector>

#include "foundation/NSURL.h"
#include "runner/ViewNames.h"

namespace URLProblem {

std::string of(const std::string& text, const std::string& example) {
    // The scheme ends at the first ":" before any "/".
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon > text.find('/'))
        return "it needs a scheme, such as " + example;
    const std::string scheme = text.substr(0, colon);
    std::string rest = text.substr(colon + 1);
    std::vector<std::string> wrong;
    auto schemeRead = NSURL::URLWithString(scheme + ":");
    if (!schemeRead || schemeRead->scheme() != scheme)
        wrong.push_back("its scheme \"" + scheme + "\" is not a scheme (a letter, then letters, digits, +, - or .)");
    if (rest.starts_with("//")) {
        // The host, with its user and port, runs to the path, query or fragment.
        const std::size_t end = rest.find_first_of("/?#", 2);
        const std::string host = rest.substr(2, end == std::string::npos ? std::string::npos : end - 2);
        if (!NSURL::URLWithString("http://" + host + "/"))
            wrong.push_back("its host \"" + host + "\" is not a host name or address");
        rest = end == std::string::npos ? "" : rest.substr(end);
    }
    if (!rest.empty() && !NSURL::URLWithString("x:" + rest))
        wrong.push_back("\"" + rest +
                        "\" holds characters a URL does not (spaces, letters outside ASCII or a % without two hex "
                        "digits after it: a URL carries them percent-encoded)");
    if (wrong.empty()) return "it is not a URL";
    return ViewNames::listed(wrong, " and ");
}

}  // namespace URLProblem
