#include "backend/RequestReader.h"

#include <algorithm>
#include <cctype>

#include "backend/Format.h"

namespace backend {

namespace {

// Whether the comma-separated `list` names `token` (as Connection does).
bool listHas(std::string_view list, std::string_view token) {
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        if (equalIgnoringCase(trimmedBlanks(list.substr(0, comma)), token)) return true;
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return false;
}

// Whether a Content-Length value is one the server reads: digits alone, at
// most twelve of them (a body of up to a terabyte, past every route's size).
bool readableContentLength(std::string_view value) { return value.size() <= 12 && isDigits(value); }

}  // namespace

RequestReader::Step RequestReader::read(std::string_view& bytes) {
    if (part_ == Part::Refused) return Step::Refused;
    if (part_ == Part::Done) return Step::Whole;
    if (part_ == Part::Body) {
        const std::size_t taken = static_cast<std::size_t>(
            std::min<std::uint64_t>(length_ - request_.body.size(), bytes.size()));
        request_.body.append(bytes.substr(0, taken));
        bytes.remove_prefix(taken);
        if (request_.body.size() < length_) return Step::More;
        part_ = Part::Done;
        return Step::Whole;
    }
    // Line ends before a request line are no part of its head.
    if (head_.empty()) bytes.remove_prefix(std::min(bytes.find_first_not_of("\r\n"), bytes.size()));
    // Line by line, so that what follows the head (its body, or the next
    // request) is left where it is.
    while (!bytes.empty()) {
        const std::size_t newline = bytes.find('\n');
        const std::size_t taken = newline == std::string_view::npos ? bytes.size() : newline + 1;
        head_.append(bytes.substr(0, taken));
        bytes.remove_prefix(taken);
        // Past its size a head is refused however its bytes came.
        if (head_.size() > headBytes_) return refuse(431);
        if (newline == std::string_view::npos) break;
        if (!checkLines()) return Step::Refused;
        if (ended_) return endHead();
    }
    return Step::More;
}

void RequestReader::next() {
    part_ = Part::Head;
    head_.clear();
    checked_ = lineEnd_ = 0;
    ended_ = false;
    request_ = HttpRequest{};
    target_.clear();
    version_.clear();
    length_ = 0;
    keepAlive_ = true;
    keptAliveOnRequest_ = false;
    expectsContinue_ = false;
}

RequestReader::Step RequestReader::refuse(int status) {
    part_ = Part::Refused;
    refusal_ = status;
    return Step::Refused;
}

bool RequestReader::checkLines() {
    for (std::size_t end = head_.find('\n', checked_); end != std::string::npos; end = head_.find('\n', checked_)) {
        std::string_view line(head_.data() + checked_, end - checked_);
        const std::size_t width = !line.empty() && line.back() == '\r' ? 2 : 1;
        if (width == 2) line.remove_suffix(1);
        const bool first = checked_ == 0;
        checked_ = end + 1;
        if (lineEnd_ != 0 && width != lineEnd_) {
            refuse(400);
            return false;
        }
        lineEnd_ = width;
        if (line.empty()) {
            ended_ = true;
            return true;
        }
        if (!(first ? requestLine(line) : headerLine(line))) {
            if (part_ != Part::Refused) refuse(400);
            return false;
        }
    }
    return true;
}

bool RequestReader::requestLine(std::string_view line) {
    const std::size_t methodEnd = line.find(' ');
    if (methodEnd == std::string_view::npos || !isHttpToken(line.substr(0, methodEnd))) return false;
    line.remove_prefix(methodEnd + 1);
    const std::size_t targetEnd = line.find(' ');
    if (targetEnd == 0 || targetEnd == std::string_view::npos ||
        std::any_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(targetEnd),
                    [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7F; }))
        return false;
    const std::string_view version = line.substr(targetEnd + 1);
    if (!(version.size() == 8 && version.substr(0, 5) == "HTTP/" && std::isdigit(static_cast<unsigned char>(version[5])) &&
          version[6] == '.' && std::isdigit(static_cast<unsigned char>(version[7]))))
        return false;
    request_.method.assign(head_.data(), methodEnd);
    target_ = line.substr(0, targetEnd);
    version_ = version;
    return true;
}

bool RequestReader::headerLine(std::string_view line) {
    // A folded line continues the one before: a proxy may join them or not.
    if (line.front() == ' ' || line.front() == '\t') return false;
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || !isHttpToken(line.substr(0, colon))) return false;
    std::string_view value = line.substr(colon + 1);
    if (value.find_first_of(std::string_view("\0\r", 2)) != std::string_view::npos) return false;
    if (request_.headers.size() >= headerLines_) {
        refuse(431);
        return false;
    }
    // Blanks before a value are no part of it; blanks after one are kept, so
    // a length with a blank after its digits is no length.
    value.remove_prefix(std::min(value.find_first_not_of(" \t"), value.size()));
    request_.headers.emplace(std::string(line.substr(0, colon)), std::string(value));
    return true;
}

RequestReader::Step RequestReader::endHead() {
    const auto& headers = request_.headers;
    // Two lengths or two hosts could be read differently by a proxy and by
    // us: a request smuggled past one of them.
    if (headers.count("Content-Length") > 1 || headers.count("Host") > 1) return refuse(400);
    if (headers.count("Transfer-Encoding")) return refuse(411);
    // Only HTTP/1 is spoken here; from HTTP/1.1 on a request names its host.
    if (version_[5] != '1') return refuse(505);
    const bool firstVersion = version_ == "HTTP/1.0";
    if (!firstVersion && !headers.count("Host")) return refuse(400);
    // A Host names an authority; what is none ("a b", "a/b", "a@b") each
    // reader could take for another host, or for none.
    if (const auto host = request_.headers.find("Host"); host != request_.headers.end()) {
        host->second = std::string(trimmedBlanks(host->second));
        if (!isAuthority(host->second)) return refuse(400);
    }
    const std::string declared = request_.header("Content-Length");
    if (headers.count("Content-Length")) {
        if (!readableContentLength(declared)) return refuse(400);
        length_ = std::stoull(declared);
    }
    // HTTP/1.1 keeps a connection unless told to close it; HTTP/1.0 closes
    // it unless told to keep it. Every Connection line counts, and "close"
    // in any of them wins.
    bool close = false, keep = false;
    for (auto [line, end] = headers.equal_range("Connection"); line != end; ++line) {
        close |= listHas(line->second, "close");
        keep |= listHas(line->second, "keep-alive");
    }
    keepAlive_ = !close && (!firstVersion || keep);
    keptAliveOnRequest_ = keepAlive_ && firstVersion;
    expectsContinue_ = version_ == "HTTP/1.1" && equalIgnoringCase(request_.header("Expect"), "100-continue");
    part_ = length_ > 0 ? Part::Body : Part::Done;
    return Step::Head;
}

}  // namespace backend
