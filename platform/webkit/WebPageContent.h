#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/NSData.h"

// A link of a page: where it goes (as written), the frame it names, its text.
struct WebPageLink {
    std::string href;
    std::string target;
    std::string text;
};

// What a web view shows of a page, without an HTML engine: the document's
// title, its readable text (tags dropped, block elements and <br> as line
// breaks, entities decoded, white space collapsed, scripts and styles left
// out), and its links. Plain text shows as it is.
struct WebPageContent {
    std::string title;
    std::string text;
    std::vector<WebPageLink> links;

    static WebPageContent fromHTML(std::string_view html);
    static WebPageContent fromPlainText(std::string text);
    // By MIME type: HTML for "text/html" (or an unknown type whose text
    // starts like markup), plain text otherwise. The body is decoded by
    // its charset: GB18030 for the Chinese sets, else UTF-8.
    static WebPageContent fromBody(const NSData& body, const std::optional<std::string>& MIMEType,
                                   const std::optional<std::string>& textEncodingName);
};
