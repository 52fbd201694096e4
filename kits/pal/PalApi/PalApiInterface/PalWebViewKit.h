#pragma once

#include <optional>
#include <string>

#include "foundation/NSURL.h"
#include "foundation/Value.h"
#include "kits/pal/PalApi/PalApiMessage.h"

// Turns the URL that the browser opens the app with after a share finished
// on Pal's web page ("nimbus<app id>" and the authorisation host in it,
// parameters after "?#") into Pal's answer (a type-6 message).
class PalWebViewKit {
public:
    PalWebViewKit() = delete;

    static bool canHanleOpenUrlFromSafari(const Ref<NSURL>& url);
    // Null unless `action` is "shareToPal" or "share".
    static Ref<PalApiMessage> messageWithSafariUrl(const Ref<NSURL>& url);
    // The parsed JSON text; nil (logged) when it is not JSON.
    static Value JSONValue(const std::string& text);
    static Dictionary dictionaryByParseUrlFromSeparator(const std::string& text, const std::string& separator);
};
