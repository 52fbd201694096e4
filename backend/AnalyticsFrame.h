#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace backend {

// The analytics report frames, as the collector reads and writes them: a
// 16-byte head (magic 00 00 95 27, total length, version, four
// configuration bytes, integers big-endian) and a body. A request's body is
// RC4-enciphered as a whole: the length of the JSON text, then its gzip
// stream. A reply's body is coded as its configuration's second byte says
// (1 gzip, 2 RC4, 3 gzip then RC4, else plain).
namespace analytics_frame {

constexpr std::array<std::uint8_t, 4> kMagic{0x00, 0x00, 0x95, 0x27};
constexpr std::size_t kHeadLength = 16;
// Bounds on what a client may send: the frame, and the JSON text it unpacks
// to. Nothing is allocated for a length a client claims beyond them.
constexpr std::size_t kLargestFrame = 1 << 20;
constexpr std::size_t kLargestText = 4 << 20;
// Bounds on the JSON text, counted as it is read (nothing deeper or
// further is built once one is passed): the
// events of one request (the library's store holds at most 1024), the
// values in all (every member, element and container), and how deep
// arrays and objects nest.
constexpr std::size_t kLargestEventCount = 1024;
constexpr std::size_t kLargestValueCount = 100'000;
constexpr std::size_t kDeepestNesting = 32;

enum class Coding : std::uint8_t { Plain = 0, GZip = 1, RC4 = 2, RC4AndGZip = 3 };

std::uint32_t readBigEndian32(const std::uint8_t* bytes);
void appendBigEndian32(std::string& out, std::uint32_t value);

// RC4 in place with the library's key, keystream started afresh.
void cipher(std::string& bytes);
std::string gzip(std::string_view text);
// The inflated bytes of a gzip or zlib stream, nothing when it is damaged,
// incomplete, or inflates past `limit` bytes. Room for `expected` bytes
// (a length already allowed for) is made at once.
std::optional<std::string> gunzip(std::string_view bytes, std::size_t limit, std::size_t expected = 0);

// The total length a head claims, when the head is a request's head whose
// length is within bounds; otherwise nothing.
std::optional<std::uint32_t> requestLength(std::string_view head);
// The JSON text of a whole request frame: deciphered, inflated, and exactly
// as long as the frame says. Nothing for anything else.
std::optional<std::string> requestText(std::string_view frame);
// The events of a request's JSON text, each as its compact text: an array
// of objects within the bounds above. Nothing for anything else. Only one
// event is built as a tree at a time.
std::optional<std::vector<std::string>> requestEvents(std::string_view text);
// A request frame for a JSON text, as the library builds it.
std::string requestFrame(std::string_view text);
// A reply frame carrying `json`, coded as `coding` says.
std::string replyFrame(std::string_view json, Coding coding);

}  // namespace analytics_frame

}  // namespace backend
