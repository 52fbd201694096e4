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

// A piece of the page's text as it is laid out: plain text (possibly of
// several lines) or the text of one link, `link` being its index in the
// page's links.
struct WebPageBlock {
    std::string text;
    std::optional<std::size_t> link;

    bool operator==(const WebPageBlock&) const = default;
};

// What a web view shows of a page, without an HTML engine: the document's
// title, its readable text (tags dropped, block elements and <br> as line
// breaks, entities decoded, white space collapsed, scripts and styles left
// out), and its links. Plain text shows as it is. `blocks` is the same text
// cut where links begin and end, so that each link can be shown (and
// tapped) on its own.
//
// One page lays out at most kMostShownBytes of its title and text, in at
// most kMostShownLines lines (each block, a label, begins one, each line
// break another; each link is a block): what fits of a longer page shows,
// ending in "…", and the links it does not show are not kept. A page may
// hold 8 MiB (WebFrameLoader::kLargestPageBytes), far more than anyone
// reads on a phone; laying out a line costs a fraction of a millisecond,
// and a page laid out whole took gigabytes and half a minute of the main
// queue.
struct WebPageContent {
    static constexpr std::size_t kMostShownBytes = 16u << 10;
    static constexpr std::size_t kMostShownLines = 500;

    std::string title;
    std::string text;
    std::vector<WebPageLink> links;
    std::vector<WebPageBlock> blocks;

    static WebPageContent fromHTML(std::string_view html);
    static WebPageContent fromPlainText(std::string text);
    // By MIME type: HTML for "text/html" (or an unknown type whose text
    // starts like markup), plain text otherwise. The body is decoded by
    // its charset: GB18030 for the Chinese sets, else UTF-8.
    static WebPageContent fromBody(const NSData& body, const std::optional<std::string>& MIMEType,
                                   const std::optional<std::string>& textEncodingName);

private:
    // Cuts the page to what one page may lay out.
    void keepWhatFits();
};
