#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/NSURL.h"
#include "foundation/Value.h"
#include "kits/pal/PalApi/PalApiMessage.h"

// Assembles scheme, host, path and query items into a URL: the pairs in the
// map's order joined with "&", the whole text escaped the older way (URL
// punctuation stays); no "?" for an empty map. Null without a scheme.
class PalApiURLEncoder {
public:
    PalApiURLEncoder() = delete;
    static Ref<NSURL> urlWithScheme(const std::optional<std::string>& scheme, const std::string& host,
                                    const std::string& path, const Dictionary& queryItem);
};

// Splits a URL into scheme, host, path and its query pairs: each piece with
// "=" splits at the first one (names and values kept escaped, a later name
// wins); pieces without "=" are skipped.
class PalApiURLDecoder : public NSObject {
public:
    static Ref<PalApiURLDecoder> decoderWithUrl(const Ref<NSURL>& url);
    // The pairs of a query text, split as above.
    static Dictionary queryItemsOf(const std::string& query);

    const std::optional<std::string>& scheme() const { return scheme_; }
    const std::optional<std::string>& host() const { return host_; }
    const std::string& path() const { return path_; }
    const Dictionary& queryItem() const { return queryItem_; }
    Dictionary& queryItem() { return queryItem_; }

private:
    std::optional<std::string> scheme_;
    std::optional<std::string> host_;
    std::string path_;
    Dictionary queryItem_;
};

// A share message to the URL (query items, Base64 texts) and pasteboard
// record that the Pal apps read, and a URL that Pal opens the host app with
// back to a message. Refusals answer null and are logged; they happen before
// anything is written to a pasteboard.
class PalApiMessageAndUrlConverter {
public:
    PalApiMessageAndUrlConverter() = delete;

    static Ref<NSURL> urlWithMessage(const Ref<PalApiMessage>& message);
    // "pasted_string" (the general pasteboard's text), "previewimagedata",
    // "file_data", "image_data_list": each when there is one.
    static void setPasteBoardPrevImageData(const std::optional<NSData>& preview, const std::optional<NSData>& file,
                                           const std::optional<Array>& images);
    static std::optional<std::string> smartURLString(const Ref<NSURL>& url);

    static Ref<PalApiMessage> messageWithUrl(const Ref<NSURL>& url);
    // Only when "NeedToGetData" is "true": the message on the message board.
    static Ref<PalApiMessage> messageWithUrlUsedClipboard(const Ref<NSURL>& url);
    static Ref<PalApiMessage> messageWithRequestFromPal(const Ref<PalApiURLDecoder>& decoder);
    static Ref<PalApiMessage> messageWithResponseFromPal(const Ref<PalApiURLDecoder>& decoder);
    static Ref<PalApiObject> getObjectByUrl(const Ref<PalApiURLDecoder>& decoder);
};

// The dispatcher's door to the converter.
class PalApiMessageUtil {
public:
    PalApiMessageUtil() = delete;
    static Ref<NSURL> URLWithMessage(const Ref<PalApiMessage>& message) {
        return PalApiMessageAndUrlConverter::urlWithMessage(message);
    }
    static Ref<PalApiMessage> messageWithURL(const Ref<NSURL>& url) {
        return PalApiMessageAndUrlConverter::messageWithUrl(url);
    }
};
