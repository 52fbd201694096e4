#pragma once

#include <libdeflate.h>

#include <cstdint>
#include <string>

// A PNG chunk: length, type, data and the CRC-32 of type and data.
inline std::string pngChunk(const std::string& type, const std::string& data) {
    std::string chunk;
    for (int shift : {24, 16, 8, 0}) chunk.push_back(static_cast<char>(data.size() >> shift));
    chunk += type + data;
    const auto crc = static_cast<std::uint32_t>(libdeflate_crc32(0, chunk.data() + 4, chunk.size() - 4));
    for (int shift : {24, 16, 8, 0}) chunk.push_back(static_cast<char>(crc >> shift));
    return chunk;
}

// `png` with `chunks` put in after its signature and header, before its pixels.
inline std::string withChunksBeforePixels(const std::string& png, const std::string& chunks) {
    constexpr std::size_t afterHeader = 8 + 25;  // signature and IHDR
    return png.substr(0, afterHeader) + chunks + png.substr(afterHeader);
}
