#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/NSData.h"
#include "foundation/NSURL.h"
#include "foundation/Value.h"

// How the share layer talks to the system and encodes its fields: probing
// and opening other apps' URLs (each opened URL carries the kit's version),
// Base64 (the standard encoding, read back by the kit's own lenient decoder) and
// the two texts of the Pal online-status query.
class PalOpenApiUtility {
public:
    PalOpenApiUtility() = delete;

    static bool canOpenURL(const Ref<NSURL>& url);
    // Opens the URL with "sdkv=3.2.1" added to its query.
    static bool openURL(const Ref<NSURL>& url);

    static std::string base64EncodedStringWithData(const NSData& data);
    static std::optional<std::string> base64EncodedStringWithUTF8String(const std::optional<std::string>& text);
    // Nothing when the text holds no Base64 characters or a count of them
    // that is not a multiple of 4; other characters are skipped.
    static std::optional<NSData> dataWithBase64EncodedString(const std::optional<std::string>& text);
    // The decoded bytes as UTF-8 text; nothing when they are not.
    static std::optional<std::string> UTF8StringWithBase64String(const std::optional<std::string>& text);

    // The presence service's address asking for the given Pal numbers.
    static std::string urlStringWithPalUinsArray(const std::vector<std::string>& uins);
    // Number -> "YES"/"NO" from the service's reply: pieces ending in ";",
    // whose text from the eleventh character on is "0" or "1", matched to
    // the numbers by position.
    static Dictionary dictionaryWithReturnString(const std::string& reply, const std::vector<std::string>& uins);
};
