#include "webkit/WebPageContent.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "foundation/NSString.h"

namespace {

// Where a link's text begins and ends in the text being read (characters
// no page text holds once it is read).
constexpr char kLinkStart = '\x01';
constexpr char kLinkEnd = '\x02';

std::string lowercase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

void appendUTF8(std::string& out, std::uint32_t code) {
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Replaces the character references a page is likely to use; unknown or
// malformed ones stay as written.
std::string decodeEntities(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        // A reference ends within ten characters: the search looks no
        // further (to the end of the text, it made a run of "&" quadratic).
        const std::size_t end = text[at] == '&' ? text.substr(at, 11).find(';') : std::string_view::npos;
        const std::size_t semicolon = end == std::string_view::npos ? end : at + end;
        if (semicolon == std::string_view::npos) {
            out += text[at++];
            continue;
        }
        const std::string name(text.substr(at + 1, semicolon - at - 1));
        std::optional<std::uint32_t> code;
        if (name == "amp") code = '&';
        else if (name == "lt") code = '<';
        else if (name == "gt") code = '>';
        else if (name == "quot") code = '"';
        else if (name == "apos") code = '\'';
        else if (name == "nbsp") code = ' ';
        else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            const std::string digits = name.substr(hex ? 2 : 1);
            const bool valid = !digits.empty() && digits.size() <= 7 &&
                               std::all_of(digits.begin(), digits.end(), [hex](unsigned char c) {
                                   return hex ? std::isxdigit(c) : std::isdigit(c);
                               });
            if (valid) code = static_cast<std::uint32_t>(std::stoul(digits, nullptr, hex ? 16 : 10));
        }
        if (!code) {
            out += text[at++];
            continue;
        }
        if (*code == static_cast<unsigned char>(kLinkStart) || *code == static_cast<unsigned char>(kLinkEnd)) code = 0xFFFD;
        appendUTF8(out, *code);
        at = semicolon + 1;
    }
    return out;
}

// Collapses runs of white space inside each line, trims the lines and drops
// the empty ones.
std::string tidyLines(std::string_view text) {
    std::string out;
    std::string line;
    auto endLine = [&] {
        while (!line.empty() && line.back() == ' ') line.pop_back();
        if (line.empty()) return;
        if (!out.empty()) out += '\n';
        out += line;
        line.clear();
    };
    for (char c : text) {
        if (c == '\n') {
            endLine();
        } else if (isSpace(c)) {
            if (!line.empty() && line.back() != ' ') line += ' ';
        } else {
            line += c;
        }
    }
    endLine();
    return out;
}

// The value of an attribute in a tag's text (after its name), or nothing.
std::optional<std::string> attribute(std::string_view tag, std::string_view name) {
    const std::string lower = lowercase(tag);
    for (std::size_t at = lower.find(name); at != std::string::npos; at = lower.find(name, at + 1)) {
        if (at > 0 && !isSpace(lower[at - 1])) continue;
        std::size_t cursor = at + name.size();
        while (cursor < tag.size() && isSpace(tag[cursor])) ++cursor;
        if (cursor >= tag.size() || tag[cursor] != '=') continue;
        ++cursor;
        while (cursor < tag.size() && isSpace(tag[cursor])) ++cursor;
        if (cursor >= tag.size()) return std::string();
        const char quote = tag[cursor];
        if (quote == '"' || quote == '\'') {
            const std::size_t end = tag.find(quote, cursor + 1);
            return decodeEntities(tag.substr(cursor + 1, (end == std::string_view::npos ? tag.size() : end) - cursor - 1));
        }
        std::size_t end = cursor;
        while (end < tag.size() && !isSpace(tag[end]) && tag[end] != '>') ++end;
        return decodeEntities(tag.substr(cursor, end - cursor));
    }
    return std::nullopt;
}

std::string withoutLinkMarks(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != kLinkStart && c != kLinkEnd) out += c;
    return out;
}

// The tidied text cut at the link marks: plain pieces and links, in order.
std::vector<WebPageBlock> blocksOf(std::string_view marked) {
    std::vector<WebPageBlock> blocks;
    std::size_t links = 0;
    std::string piece;
    auto endPiece = [&](std::optional<std::size_t> link) {
        std::string text = tidyLines(piece);
        piece.clear();
        if (!text.empty()) blocks.push_back({std::move(text), link});
    };
    for (char c : marked) {
        if (c == kLinkStart) {
            endPiece(std::nullopt);
        } else if (c == kLinkEnd) {
            endPiece(links++);
        } else {
            piece += c;
        }
    }
    endPiece(std::nullopt);
    return blocks;
}

// What ends a page cut to what fits.
constexpr const char* kCutMark = "…";

// What is left of what one page may lay out.
struct Room {
    std::size_t bytes = WebPageContent::kMostShownBytes;
    std::size_t lines = WebPageContent::kMostShownLines;
};

// The length of the text's start that fits the room: its bytes, ending
// before a character, and its lines (the first, and one more at each line
// break). Reads no further than the room's bytes.
std::size_t fittingLength(std::string_view text, const Room& room) {
    if (room.lines == 0) return 0;
    std::size_t end = std::min(text.size(), room.bytes);
    while (end < text.size() && end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    const std::string_view head = text.substr(0, end);
    std::size_t breaks = 0;
    for (std::size_t at = head.find('\n'); at != std::string_view::npos; at = head.find('\n', at + 1))
        if (++breaks == room.lines) return at;
    return end;
}

// Takes the text's share of the room: true when it fits whole; else it is
// cut to what fits and the mark, and the room is used up.
bool fit(std::string& text, Room& room) {
    const std::size_t length = fittingLength(text, room);
    if (length == text.size()) {
        room.bytes -= length;
        room.lines -= 1 + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
        return true;
    }
    text = text.substr(0, length) + kCutMark;
    room = {0, 0};
    return false;
}

bool isBlockElement(std::string_view name) {
    static const char* const blocks[] = {"p", "br", "div", "li", "ul", "ol", "tr", "table", "h1", "h2", "h3",
                                         "h4", "h5", "h6", "section", "article", "header", "footer", "hr", "body"};
    return std::any_of(std::begin(blocks), std::end(blocks), [name](const char* block) { return name == block; });
}

}  // namespace

WebPageContent WebPageContent::fromHTML(std::string_view html) {
    WebPageContent page;
    std::string text;
    std::string titleText;
    std::optional<std::string> skipUntil;  // the closing tag of a script, style or title
    std::optional<WebPageLink> openLink;
    std::size_t linkTextStart = 0;

    for (std::size_t at = 0; at < html.size();) {
        if (html[at] != '<') {
            const std::size_t next = std::min(html.find('<', at), html.size());
            const std::string_view run = html.substr(at, next - at);
            if (!skipUntil) text.append(withoutLinkMarks(run));
            else if (*skipUntil == "/title") titleText.append(run);
            at = next;
            continue;
        }
        if (html.compare(at, 4, "<!--") == 0) {
            const std::size_t end = html.find("-->", at + 4);
            at = end == std::string_view::npos ? html.size() : end + 3;
            continue;
        }
        const std::size_t close = html.find('>', at);
        const std::string_view tag = html.substr(at + 1, (close == std::string_view::npos ? html.size() : close) - at - 1);
        at = close == std::string_view::npos ? html.size() : close + 1;

        std::size_t nameEnd = 0;
        while (nameEnd < tag.size() && !isSpace(tag[nameEnd]) && tag[nameEnd] != '>' &&
               !(tag[nameEnd] == '/' && nameEnd > 0))
            ++nameEnd;
        const std::string name = lowercase(tag.substr(0, nameEnd));
        if (skipUntil) {
            if (name == *skipUntil) skipUntil.reset();
            continue;
        }
        if (name == "script" || name == "style" || name == "title") {
            skipUntil = "/" + name;
        } else if (name == "a" && page.links.size() < kMostShownLines) {
            // Past as many links as a page shows, a link's text is plain.
            // A link opened inside an unclosed one replaces it.
            if (openLink) text.erase(linkTextStart - 1, 1);
            openLink = WebPageLink{attribute(tag.substr(nameEnd), "href").value_or(""),
                                   attribute(tag.substr(nameEnd), "target").value_or(""), ""};
            text += kLinkStart;
            linkTextStart = text.size();
        } else if (name == "/a" && openLink) {
            openLink->text = tidyLines(decodeEntities(text.substr(linkTextStart)));
            text += kLinkEnd;
            page.links.push_back(std::move(*openLink));
            openLink.reset();
        } else if (isBlockElement(name) || (name.size() > 1 && name[0] == '/' && isBlockElement(name.substr(1)))) {
            text += '\n';
        }
    }
    if (openLink) text.erase(linkTextStart - 1, 1);
    page.title = tidyLines(decodeEntities(titleText));
    const std::string marked = tidyLines(decodeEntities(text));
    page.text = tidyLines(withoutLinkMarks(marked));
    page.blocks = blocksOf(marked);
    page.keepWhatFits();
    return page;
}

WebPageContent WebPageContent::fromPlainText(std::string text) {
    WebPageContent page;
    page.text = std::move(text);
    if (!page.text.empty()) page.blocks.push_back({page.text, std::nullopt});
    page.keepWhatFits();
    return page;
}

void WebPageContent::keepWhatFits() {
    Room left;
    fit(title, left);
    Room forText = left;
    fit(text, forText);
    std::size_t kept = 0;
    bool whole = true;
    for (; kept < blocks.size() && whole; ++kept) {
        // A link shows whole or not at all: its text is how it is followed.
        if (blocks[kept].link && fittingLength(blocks[kept].text, left) < blocks[kept].text.size()) break;
        whole = fit(blocks[kept].text, left);
    }
    if (kept == blocks.size() && whole) return;
    if (whole && kept > 0 && !blocks[kept - 1].link) blocks[kept - 1].text += kCutMark;
    else if (whole) blocks.insert(blocks.begin() + static_cast<std::ptrdiff_t>(kept++), {kCutMark, std::nullopt});
    blocks.resize(kept);
    std::size_t shownLinks = 0;
    for (const auto& block : blocks)
        if (block.link) shownLinks = *block.link + 1;
    links.resize(std::min(links.size(), shownLinks));
}

WebPageContent WebPageContent::fromBody(const NSData& body, const std::optional<std::string>& MIMEType,
                                        const std::optional<std::string>& textEncodingName) {
    const std::string charset = lowercase(textEncodingName.value_or("utf-8"));
    const bool chinese = charset == "gbk" || charset == "gb2312" || charset == "gb18030";
    std::string text = NSString::initWithData(body, chinese ? NSGB18030StringEncoding : NSUTF8StringEncoding)
                           .value_or(std::string(reinterpret_cast<const char*>(body.bytes()), body.length()));
    const std::string type = lowercase(MIMEType.value_or(""));
    std::size_t firstMark = 0;
    while (firstMark < text.size() && isSpace(text[firstMark])) ++firstMark;
    const bool looksLikeMarkup = firstMark < text.size() && text[firstMark] == '<';
    if (type == "text/html" || ((type.empty() || type == "application/octet-stream") && looksLikeMarkup))
        return fromHTML(text);
    return fromPlainText(std::move(text));
}
