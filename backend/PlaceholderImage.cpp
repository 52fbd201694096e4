#include "backend/PlaceholderImage.h"

#include <cstdint>
#include <vector>

#include <zlib.h>

namespace backend {

namespace {

void appendBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xff);
}

void appendChunk(std::string& out, const char type[4], const std::string& payload) {
    appendBigEndian(out, static_cast<std::uint32_t>(payload.size()));
    std::string typed(type, 4);
    typed += payload;
    out += typed;
    const auto* bytes = reinterpret_cast<const Bytef*>(typed.data());
    appendBigEndian(out, static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0), bytes, static_cast<uInt>(typed.size()))));
}

}  // namespace

std::string placeholderPNG(std::string_view name, int side) {
    // FNV-1a of the name picks a colour, kept light enough for dark text.
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : name) hash = (hash ^ c) * 16777619u;
    const unsigned char rgb[3] = {static_cast<unsigned char>(96 + (hash & 0x7f)),
                                  static_cast<unsigned char>(96 + ((hash >> 8) & 0x7f)),
                                  static_cast<unsigned char>(96 + ((hash >> 16) & 0x7f))};

    std::string rows;
    rows.reserve(static_cast<std::size_t>(side) * (1 + 3 * side));
    for (int y = 0; y < side; ++y) {
        rows += '\0';  // no filter
        for (int x = 0; x < side; ++x) rows.append(reinterpret_cast<const char*>(rgb), 3);
    }
    uLongf packedLength = compressBound(static_cast<uLong>(rows.size()));
    std::vector<Bytef> packed(packedLength);
    if (compress(packed.data(), &packedLength, reinterpret_cast<const Bytef*>(rows.data()),
                 static_cast<uLong>(rows.size())) != Z_OK) {
        return {};
    }

    std::string header;
    appendBigEndian(header, static_cast<std::uint32_t>(side));
    appendBigEndian(header, static_cast<std::uint32_t>(side));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, default compression, filter, no interlace

    std::string png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", std::string(reinterpret_cast<const char*>(packed.data()), packedLength));
    appendChunk(png, "IEND", {});
    return png;
}

}  // namespace backend
