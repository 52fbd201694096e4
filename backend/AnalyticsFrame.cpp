#include "backend/AnalyticsFrame.h"

#define OPENSSL_API_COMPAT 0x10100000L
#include <openssl/rc4.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include <nlohmann/json.hpp>

namespace backend::analytics_frame {

namespace {

constexpr char kKey[] = "7c2e9a41d06b58f3e1a7c940b25d6e8f";
constexpr std::array<std::uint8_t, 4> kVersion{0x00, 0x00, 0x00, 0x01};

void appendBytes(std::string& out, const std::array<std::uint8_t, 4>& bytes) {
    out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::string head(std::size_t total, const std::array<std::uint8_t, 4>& configuration) {
    std::string frame;
    appendBytes(frame, kMagic);
    appendBigEndian32(frame, static_cast<std::uint32_t>(total));
    appendBytes(frame, kVersion);
    appendBytes(frame, configuration);
    return frame;
}

const std::uint8_t* bytesOf(std::string_view text) { return reinterpret_cast<const std::uint8_t*>(text.data()); }

// Reads a request's JSON text into its events' texts in one pass. Each
// element of the array is written out and dropped as soon as it has been
// read, so the tree never holds more than one event; the bounds on
// nesting, values and events are counted as the text is read, and the
// reading stops at the first value past them or the first element that is
// not an object, before anything deeper or further is built.
class EventReader {
public:
    std::optional<std::vector<std::string>> read(std::string_view text) {
        const auto take = [this](int depth, nlohmann::ordered_json::parse_event_t event,
                                 nlohmann::ordered_json& parsed) { return this->take(depth, event, parsed); };
        try {
            const nlohmann::ordered_json array = nlohmann::ordered_json::parse(text, take, false);
            if (array.is_discarded() || !array.is_array()) return std::nullopt;
        } catch (const Refused&) {
            return std::nullopt;
        }
        return std::move(events_);
    }

private:
    struct Refused {};

    // `depth`: the arrays and objects open around the value.
    bool take(int depth, nlohmann::ordered_json::parse_event_t event, nlohmann::ordered_json& parsed) {
        using Event = nlohmann::ordered_json::parse_event_t;
        switch (event) {
            case Event::object_start:
            case Event::array_start:
                count(depth);
                if (static_cast<std::size_t>(depth) >= kDeepestNesting) throw Refused{};
                return true;
            case Event::key: return true;
            case Event::value: count(depth); break;
            case Event::object_end:
                if (depth != 1) return true;
                // Strings were checked as UTF-8 when read: nothing to replace.
                events_.push_back(parsed.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
                return false;
            case Event::array_end: break;
        }
        // A value or an array among the events.
        if (depth == 1) throw Refused{};
        return true;
    }
    void count(int depth) {
        if (depth == 1 && ++eventCount_ > kLargestEventCount) throw Refused{};
        if (++values_ > kLargestValueCount) throw Refused{};
    }

    std::vector<std::string> events_;
    std::size_t eventCount_ = 0;
    std::size_t values_ = 0;
};

}  // namespace

std::uint32_t readBigEndian32(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
           std::uint32_t{bytes[3]};
}

void appendBigEndian32(std::string& out, std::uint32_t value) {
    const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                           static_cast<char>(value >> 8), static_cast<char>(value)};
    out.append(bytes, sizeof bytes);
}

void cipher(std::string& bytes) {
    if (bytes.empty()) return;
    RC4_KEY key;
    RC4_set_key(&key, static_cast<int>(sizeof kKey - 1), reinterpret_cast<const unsigned char*>(kKey));
    auto* data = reinterpret_cast<unsigned char*>(bytes.data());
    ::RC4(&key, bytes.size(), data, data);
}

std::string gzip(std::string_view text) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) != Z_OK) return {};
    std::string out(deflateBound(&stream, text.size()), '\0');
    stream.next_in = const_cast<Bytef*>(bytesOf(text));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return status == Z_STREAM_END ? out : std::string();
}

std::optional<std::string> gunzip(std::string_view bytes, std::size_t limit, std::size_t expected) {
    z_stream stream{};
    if (inflateInit2(&stream, 47) != Z_OK) return std::nullopt;
    stream.next_in = const_cast<Bytef*>(bytesOf(bytes));
    stream.avail_in = static_cast<uInt>(bytes.size());
    std::string out;
    out.reserve(std::min(expected, limit));
    char chunk[16384];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) break;
        const std::size_t produced = sizeof chunk - stream.avail_out;
        if (out.size() + produced > limit) {
            status = Z_BUF_ERROR;
            break;
        }
        out.append(chunk, produced);
        if (status == Z_OK && produced == 0 && stream.avail_in == 0) status = Z_BUF_ERROR;  // truncated
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) return std::nullopt;
    return out;
}

std::optional<std::uint32_t> requestLength(std::string_view frameHead) {
    if (frameHead.size() < kHeadLength || std::memcmp(frameHead.data(), kMagic.data(), kMagic.size()) != 0) {
        return std::nullopt;
    }
    const std::uint32_t total = readBigEndian32(bytesOf(frameHead) + 4);
    // The body holds at least the enciphered length and one byte of gzip.
    if (total < kHeadLength + 5 || total > kLargestFrame) return std::nullopt;
    return total;
}

std::optional<std::string> requestText(std::string_view frame) {
    auto total = requestLength(frame);
    if (!total || frame.size() != *total) return std::nullopt;
    std::string body(frame.substr(kHeadLength));
    cipher(body);
    const std::uint32_t claimed = readBigEndian32(bytesOf(body));
    if (claimed == 0 || claimed > kLargestText) return std::nullopt;
    auto text = gunzip(std::string_view(body).substr(4), claimed, claimed);
    if (!text || text->size() != claimed) return std::nullopt;
    return text;
}

std::optional<std::vector<std::string>> requestEvents(std::string_view text) { return EventReader().read(text); }

std::string requestFrame(std::string_view text) {
    const std::string compressed = gzip(text);
    std::string body;
    appendBigEndian32(body, static_cast<std::uint32_t>(text.size()));
    body += compressed;
    cipher(body);
    return head(compressed.size() + 20, {0x01, 0x03, 0x00, 0x00}) + body;
}

std::string replyFrame(std::string_view json, Coding coding) {
    std::string body(json);
    if (coding == Coding::GZip || coding == Coding::RC4AndGZip) body = gzip(body);
    if (coding == Coding::RC4 || coding == Coding::RC4AndGZip) cipher(body);
    return head(kHeadLength + body.size(), {0x01, static_cast<std::uint8_t>(coding), 0x00, 0x00}) + body;
}

}  // namespace backend::analytics_frame
