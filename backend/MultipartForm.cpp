#include "backend/MultipartForm.h"

#include <algorithm>
#include <optional>
#include <string>

#include "backend/Format.h"

namespace backend {

namespace {

// The value of the parameter `name` in a header value such as
// `form-data; name="a"; filename="b.jpg"`, quoted or not; nothing when it
// is not there.
std::optional<std::string> parameter(std::string_view value, std::string_view name) {
    std::size_t start = value.find(';');
    while (start != std::string_view::npos) {
        std::string_view rest = value.substr(start + 1);
        const std::size_t end = rest.find(';');
        const std::string_view item = trimmedBlanks(rest.substr(0, end));
        const std::size_t equals = item.find('=');
        if (equals != std::string_view::npos && equalIgnoringCase(trimmedBlanks(item.substr(0, equals)), name)) {
            std::string_view found = trimmedBlanks(item.substr(equals + 1));
            if (found.size() >= 2 && found.front() == '"' && found.back() == '"') found = found.substr(1, found.size() - 2);
            return std::string(found);
        }
        start = end == std::string_view::npos ? end : start + 1 + end;
    }
    return std::nullopt;
}

}  // namespace

bool readMultipartForm(std::string_view contentType, std::string_view body, std::size_t keep, HttpRequest& request) {
    const std::optional<std::string> boundary = parameter(contentType, "boundary");
    if (!boundary || boundary->empty()) return false;
    const std::string delimiter = "--" + *boundary, between = "\r\n" + delimiter;
    // The first delimiter opens the body or a line; what comes before it is
    // no part.
    std::size_t at = body.substr(0, delimiter.size()) == delimiter ? 0 : body.find(between);
    if (at == std::string_view::npos) return false;
    at += body.substr(at, 2) == "\r\n" ? between.size() : delimiter.size();
    for (;;) {
        if (body.substr(at, 2) == "--") return true;  // the last delimiter
        if (body.substr(at, 2) != "\r\n") return false;
        at += 2;
        // The part's head, its lines up to a blank one.
        std::string name, filename;
        for (;;) {
            const std::size_t lineEnd = body.find("\r\n", at);
            if (lineEnd == std::string_view::npos) return false;
            const std::string_view line = body.substr(at, lineEnd - at);
            at = lineEnd + 2;
            if (line.empty()) break;
            const std::size_t colon = line.find(':');
            if (colon != std::string_view::npos && equalIgnoringCase(trimmedBlanks(line.substr(0, colon)), "Content-Disposition")) {
                const std::string_view disposition = line.substr(colon + 1);
                name = parameter(disposition, "name").value_or("");
                filename = parameter(disposition, "filename").value_or("");
            }
        }
        const std::size_t end = body.find(between, at);
        if (end == std::string_view::npos) return false;
        if (keep > 0) {
            request.files.emplace(std::move(name), HttpFilePart{std::move(filename), std::string(body.substr(at, end - at))});
            --keep;
        } else {
            ++request.partsLeftOut;
        }
        at = end + between.size();
    }
}

}  // namespace backend
