#include "kits/pal/PalApi/PalOpenApiUtility.h"

#include <array>

#include "foundation/UTF16.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "uikit/UIApplication.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr const char* kVersionName = "sdkv";
constexpr const char* kVersion = "3.2.1";
constexpr std::uint8_t kOutside = 0xFF;

// 6-bit value of each alphabet byte; "=" counts as a Base64 character of
// value 0; everything else is outside.
const std::array<std::uint8_t, 256>& decodingTable() {
    static const auto table = [] {
        std::array<std::uint8_t, 256> values;
        values.fill(kOutside);
        for (std::uint8_t i = 0; i < 64; ++i) values[static_cast<unsigned char>(kAlphabet[i])] = i;
        values['='] = 0;
        return values;
    }();
    return table;
}

}  // namespace

bool PalOpenApiUtility::canOpenURL(const Ref<NSURL>& url) {
    return url && UIApplication::sharedApplication()->canOpenURL(url);
}

bool PalOpenApiUtility::openURL(const Ref<NSURL>& url) {
    if (!url) return false;
    std::string text = url->absoluteString();
    text += text.find('?') == std::string::npos ? "?" : "&";
    text += std::string(kVersionName) + "=" + kVersion;
    auto stamped = NSURL::URLWithString(text);
    return stamped && UIApplication::sharedApplication()->openURL(stamped);
}

std::string PalOpenApiUtility::base64EncodedStringWithData(const NSData& data) { return data.base64EncodedString(); }

std::optional<std::string> PalOpenApiUtility::base64EncodedStringWithUTF8String(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    return base64EncodedStringWithData(NSData::fromString(*text));
}

std::optional<NSData> PalOpenApiUtility::dataWithBase64EncodedString(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    const auto& table = decodingTable();
    std::string characters;
    for (char c : *text)
        if (table[static_cast<unsigned char>(c)] != kOutside) characters += c;
    if (characters.empty() || characters.size() % 4 != 0) return std::nullopt;

    std::vector<std::uint8_t> bytes;
    bytes.reserve(characters.size() / 4 * 3);
    for (std::size_t i = 0; i < characters.size(); i += 4) {
        std::uint32_t group = 0;
        for (std::size_t j = 0; j < 4; ++j) group = group << 6 | table[static_cast<unsigned char>(characters[i + j])];
        bytes.push_back(static_cast<std::uint8_t>(group >> 16));
        bytes.push_back(static_cast<std::uint8_t>(group >> 8));
        bytes.push_back(static_cast<std::uint8_t>(group));
    }
    const std::size_t last = characters.size() - 4;
    if (characters[last + 2] == '=') {
        bytes.resize(bytes.size() - 2);
    } else if (characters[last + 3] == '=') {
        bytes.resize(bytes.size() - 1);
    }
    return NSData(bytes.data(), bytes.size());
}

std::optional<std::string> PalOpenApiUtility::UTF8StringWithBase64String(const std::optional<std::string>& text) {
    auto data = dataWithBase64EncodedString(text);
    if (!data) return std::nullopt;
    std::string decoded = data->toString();
    if (!UTF16::isValidUTF8(decoded)) return std::nullopt;
    return decoded;
}

std::string PalOpenApiUtility::urlStringWithPalUinsArray(const std::vector<std::string>& uins) {
    std::string address = NimbusConnectHosts::baseURL() + "/getonline?Type=1&";
    for (const std::string& uin : uins) address += uin + ":";
    return address;
}

Dictionary PalOpenApiUtility::dictionaryWithReturnString(const std::string& reply, const std::vector<std::string>& uins) {
    Dictionary states;
    std::size_t position = 0;
    for (std::size_t start = 0, end; (end = reply.find(';', start)) != std::string::npos; start = end + 1, ++position) {
        const std::string piece = reply.substr(start, end - start);
        if (piece.size() <= 10 || position >= uins.size()) continue;
        const std::string state = piece.substr(10);
        if (state == "0") states.set(uins[position], "NO");
        if (state == "1") states.set(uins[position], "YES");
    }
    return states;
}
