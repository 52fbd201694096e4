// Reads arbitrary bytes as a connection's requests, once whole and once cut
// into pieces where the first bytes say: both readings must take the same
// steps, read the same requests and refuse with the same status, and every
// whole request must carry the body its head declared.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "backend/RequestReader.h"

namespace {

void require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "request_reader_fuzzer: %s\n", what);
    std::abort();
}

// The steps a reader takes over `bytes` given in pieces of `piece` bytes
// (all at once when 0), each request's method, target, headers and body,
// and the refusal, written as one text.
std::string reading(std::string_view bytes, std::size_t piece) {
    backend::RequestReader reader(16 * 1024, 100);
    std::string steps, waiting;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t size = piece == 0 ? bytes.size() : std::min(piece, bytes.size() - at);
        waiting.append(bytes.substr(at, size));
        at += size;
        std::string_view rest = waiting;
        for (;;) {
            const auto step = reader.read(rest);
            if (step == backend::RequestReader::Step::More) break;
            if (step == backend::RequestReader::Step::Refused) {
                return steps + "refused " + std::to_string(reader.refusal());
            }
            backend::HttpRequest& request = reader.request();
            if (step == backend::RequestReader::Step::Head) {
                steps += "head " + request.method + " " + reader.target() + "\n";
                for (const auto& [name, value] : request.headers) steps += name + ": " + value + "\n";
                continue;
            }
            require(request.body.size() == reader.bodyLength(), "a whole request's body is not its declared length");
            steps += "whole " + std::to_string(request.body.size()) + " " + request.body + "\n";
            reader.next();
        }
        waiting.erase(0, waiting.size() - rest.size());
    }
    return steps;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t piece = 1 + data[0] % 16;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    require(reading(bytes, 0) == reading(bytes, piece), "the reading depends on how the bytes came");
    return 0;
}
