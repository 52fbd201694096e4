#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "backend/HttpServer.h"

namespace backend {

// Reads one connection's requests from its bytes as they come: each head
// line by line, checked as soon as the line is whole, then its body by its
// Content-Length. It is strict where two readers of one head could differ
// (a proxy before us and we), so that no request is smuggled past either:
//   - the request line is a method (a token), one blank, a target of
//     visible characters, one blank and `HTTP/` digit `.` digit;
//   - a header line has a token for its name, right before its colon, and
//     no NUL or bare CR; no line is folded onto the one before;
//   - every line ends the same way (CR LF, or LF alone);
//   - a Host (from HTTP/1.1 on), at most one, naming an authority (a host
//     and perhaps a port: `isAuthority`), at most one Content-Length,
//     digits alone, and no Transfer-Encoding (411: bodies need a length).
// A head past `headBytes` or `headerLines` is refused 431. Line ends before
// a request line are skipped.
class RequestReader {
public:
    enum class Step {
        More,     // every byte given is read; the request goes on
        Head,     // a head is whole and sound: its body comes next
        Whole,    // the request is whole, its body too
        Refused,  // the head is refused with `refusal()`; nothing more is read
    };

    RequestReader(std::size_t headBytes, std::size_t headerLines) : headBytes_(headBytes), headerLines_(headerLines) {}

    // Reads from the front of `bytes`, taking off what it reads, up to the
    // next step. After Head and Whole it goes on when called again; after Whole
    // once `next()` was called.
    Step read(std::string_view& bytes);
    // Forgets the request read, for the next one on the connection.
    void next();

    // The request read: its method and headers from the head, its body once
    // whole (the server fills the rest).
    HttpRequest& request() { return request_; }
    const std::string& target() const { return target_; }
    std::uint64_t bodyLength() const { return length_; }
    int refusal() const { return refusal_; }
    // Whether the connection may carry another request after this one: by
    // the version and its Connection header.
    bool keepAlive() const { return keepAlive_; }
    // An HTTP/1.0 connection kept because the request asked to keep it: the
    // answer says it is kept.
    bool keptAliveOnRequest() const { return keptAliveOnRequest_; }
    // A client that waits for "100 Continue" before it sends its body.
    bool expectsContinue() const { return expectsContinue_; }
    bool readingBody() const { return part_ == Part::Body; }

private:
    enum class Part { Head, Body, Done, Refused };

    Step refuse(int status);
    // Checks the lines the head's bytes now end; false at one refused.
    bool checkLines();
    bool requestLine(std::string_view line);
    bool headerLine(std::string_view line);
    // The head is whole: the checks that need all of it.
    Step endHead();

    const std::size_t headBytes_;
    const std::size_t headerLines_;
    Part part_ = Part::Head;
    std::string head_;            // the head read so far
    std::size_t checked_ = 0;     // its bytes whose lines are checked
    std::size_t lineEnd_ = 0;     // 1 for LF, 2 for CR LF, 0 before the first line
    bool ended_ = false;
    int refusal_ = 0;
    HttpRequest request_;
    std::string target_;
    std::string version_;
    std::uint64_t length_ = 0;
    bool keepAlive_ = true;
    bool keptAliveOnRequest_ = false;
    bool expectsContinue_ = false;
};

}  // namespace backend
