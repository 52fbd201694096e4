#include "kits/ripple/RPBase64.h"

#include <array>
#include <cstdio>

namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kInvalid = -1;

std::array<int, 256> alphabetValues() {
    std::array<int, 256> values;
    values.fill(kInvalid);
    for (std::size_t i = 0; i < kAlphabet.size(); ++i) values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int>(i);
    return values;
}

}  // namespace

int RPBase64Decode(std::string_view input, std::vector<std::uint8_t>& output) {
    static const std::array<int, 256> values = alphabetValues();
    output.clear();
    output.reserve(input.size() / 4 * 3 + 3);
    std::uint32_t accumulator = 0;
    int pending = 0;
    for (char c : input) {
        if (c == '=') break;
        int value = values[static_cast<unsigned char>(c)];
        if (value == kInvalid) continue;
        accumulator = (accumulator << 6) | static_cast<std::uint32_t>(value);
        if (++pending == 4) {
            output.push_back(static_cast<std::uint8_t>(accumulator >> 16));
            output.push_back(static_cast<std::uint8_t>(accumulator >> 8));
            output.push_back(static_cast<std::uint8_t>(accumulator));
            accumulator = 0;
            pending = 0;
        }
    }
    switch (pending) {
        case 3:
            output.push_back(static_cast<std::uint8_t>(accumulator >> 10));
            output.push_back(static_cast<std::uint8_t>(accumulator >> 2));
            break;
        case 2: output.push_back(static_cast<std::uint8_t>(accumulator >> 4)); break;
        case 1: std::fputs("base64Decode: encoding incomplete: at least 2 bits missing\n", stderr); return 1;
        default: break;
    }
    return 0;
}

std::size_t RPBase64DecodeAlloc(std::string_view input, std::optional<NSData>& output) {
    std::vector<std::uint8_t> bytes;
    if (RPBase64Decode(input, bytes) == 1) {
        std::puts("Base64Utils: error decoding");
        output.reset();
        return 0;
    }
    output = NSData(std::move(bytes));
    return output->length();
}
