#include "foundation/XMLPropertyListReader.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cctype>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <mutex>
#include <string>

#include "foundation/PropertyListDateText.h"
#include "foundation/PropertyListFormat.h"

namespace {

struct DocumentFree {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
struct ContextFree {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};

void ignoreMessage(void*, const char*, ...) {}

// Entity declarations stop the parse, which then reports the document malformed.
void refuseEntity(void* context, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*) {
    xmlStopParser(static_cast<xmlParserCtxt*>(context));
}
void refuseUnparsedEntity(void* context, const xmlChar*, const xmlChar*, const xmlChar*, const xmlChar*) {
    xmlStopParser(static_cast<xmlParserCtxt*>(context));
}

bool isXMLSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isXMLSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isXMLSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool isBlank(const xmlChar* text) {
    if (!text) return true;
    for (; *text; ++text)
        if (!isXMLSpace(static_cast<char>(*text))) return false;
    return true;
}

std::string_view nameOf(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

// An integer with an optional sign, from -2^63 to 2^64 - 1: decimal, or
// hexadecimal after "0x" or "0X" as other writers of the format put it.
std::optional<Value> integerValue(std::string_view text) {
    text = trimmed(text);
    bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty() || text[0] == '+' || text[0] == '-') return std::nullopt;
    std::uint64_t magnitude = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (!negative) {
        if (magnitude > static_cast<std::uint64_t>(INT64_MAX)) return Value(magnitude);
        return Value(static_cast<std::int64_t>(magnitude));
    }
    constexpr std::uint64_t lowest = static_cast<std::uint64_t>(INT64_MAX) + 1;
    if (magnitude > lowest) return std::nullopt;
    return Value(magnitude == lowest ? INT64_MIN : -static_cast<std::int64_t>(magnitude));
}

// A decimal real with an optional sign and exponent, or nan / infinity.
std::optional<Value> realValue(std::string_view text) {
    text = trimmed(text);
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "nan") return Value(std::numeric_limits<double>::quiet_NaN());
    if (lower == "inf" || lower == "+inf" || lower == "infinity" || lower == "+infinity")
        return Value(std::numeric_limits<double>::infinity());
    if (lower == "-inf" || lower == "-infinity") return Value(-std::numeric_limits<double>::infinity());
    std::string_view digits = text;
    if (!digits.empty() && digits[0] == '+') digits.remove_prefix(1);
    if (digits.empty() || !(std::isdigit(static_cast<unsigned char>(digits.back())) || digits.back() == '.'))
        return std::nullopt;
    double number = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    // Out of range: from_chars leaves the number; overflow reads as infinity, underflow as zero.
    if (error == std::errc::result_out_of_range) number = std::strtod(std::string(digits).c_str(), nullptr);
    else if (error != std::errc()) return std::nullopt;
    if (end != digits.data() + digits.size()) return std::nullopt;
    return Value(number);
}

std::optional<Value> dataValue(std::string_view text) {
    std::string symbols;
    symbols.reserve(text.size());
    for (char c : text)
        if (!isXMLSpace(c)) symbols += c;
    auto data = NSData::initWithBase64EncodedString(symbols);
    if (!data) return std::nullopt;
    return Value(std::move(*data));
}

class Converter {
public:
    std::optional<Value> value(const xmlNode* element, int depth);
    // The single value element inside `parent`; nothing if there is none,
    // more than one, or stray text.
    std::optional<const xmlNode*> onlyElement(const xmlNode* parent);

private:
    // The text content of a leaf element; nothing when it holds elements.
    std::optional<std::string> content(const xmlNode* element);
    std::optional<Value> array(const xmlNode* element, int depth);
    std::optional<Value> dictionary(const xmlNode* element, int depth);
    // Steps to the next element child, skipping comments, processing
    // instructions and blank text; false on anything else.
    bool nextElement(const xmlNode*& child);
};

bool Converter::nextElement(const xmlNode*& child) {
    for (; child; child = child->next) {
        switch (child->type) {
        case XML_ELEMENT_NODE: return true;
        case XML_COMMENT_NODE:
        case XML_PI_NODE: break;
        case XML_TEXT_NODE:
            if (!isBlank(child->content)) return false;
            break;
        default: return false;
        }
    }
    return true;
}

std::optional<std::string> Converter::content(const xmlNode* element) {
    std::string text;
    for (const xmlNode* child = element->children; child; child = child->next) {
        switch (child->type) {
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            if (child->content) text += reinterpret_cast<const char*>(child->content);
            break;
        case XML_COMMENT_NODE:
        case XML_PI_NODE: break;
        default: return std::nullopt;
        }
    }
    return text;
}

std::optional<const xmlNode*> Converter::onlyElement(const xmlNode* parent) {
    const xmlNode* child = parent->children;
    if (!nextElement(child) || !child) return std::nullopt;
    const xmlNode* after = child->next;
    if (!nextElement(after) || after) return std::nullopt;
    return child;
}

std::optional<Value> Converter::array(const xmlNode* element, int depth) {
    Array items;
    for (const xmlNode* child = element->children;; child = child->next) {
        if (!nextElement(child)) return std::nullopt;
        if (!child) break;
        auto item = value(child, depth + 1);
        if (!item) return std::nullopt;
        items.push_back(std::move(*item));
    }
    return Value(std::move(items));
}

std::optional<Value> Converter::dictionary(const xmlNode* element, int depth) {
    Dictionary entries;
    for (const xmlNode* child = element->children;; child = child->next) {
        if (!nextElement(child)) return std::nullopt;
        if (!child) break;
        // A key, then its value.
        if (child->ns || nameOf(child) != "key") return std::nullopt;
        auto key = content(child);
        if (!key) return std::nullopt;
        child = child->next;
        if (!nextElement(child) || !child) return std::nullopt;
        auto item = value(child, depth + 1);
        if (!item) return std::nullopt;
        entries.set(*key, std::move(*item));
    }
    return Value(std::move(entries));
}

std::optional<Value> Converter::value(const xmlNode* element, int depth) {
    if (depth > PropertyListFormat::maximumDepth || element->ns) return std::nullopt;
    std::string_view name = nameOf(element);
    if (name == "array") return array(element, depth);
    if (name == "dict") return dictionary(element, depth);
    auto text = content(element);
    if (!text) return std::nullopt;
    if (name == "string") return Value(std::move(*text));
    if (name == "integer") return integerValue(*text);
    if (name == "real") return realValue(*text);
    if (name == "true" || name == "false") {
        if (!trimmed(*text).empty()) return std::nullopt;
        return Value(name == "true");
    }
    if (name == "data") return dataValue(*text);
    if (name == "date") {
        auto seconds = PropertyListDateText::secondsSince2001(trimmed(*text));
        if (!seconds) return std::nullopt;
        return Value(NSDate(*seconds + PropertyListFormat::secondsFrom1970To2001));
    }
    // "key" outside a dictionary, and anything unknown.
    return std::nullopt;
}

}  // namespace

std::optional<Value> XMLPropertyListReader::read(std::string_view bytes) {
    static std::once_flag initialised;
    std::call_once(initialised, xmlInitParser);
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    // Messages go to the caller as "nothing", not to standard error.
    xmlSetGenericErrorFunc(nullptr, ignoreMessage);
    xmlSetStructuredErrorFunc(nullptr, nullptr);

    // Blank lines before the XML declaration (after a UTF-8 byte-order mark)
    // are tolerated, as hand-written files have them.
    std::string_view bom = "\xEF\xBB\xBF";
    std::string withoutLeadingBlanks;
    std::size_t prefix = bytes.starts_with(bom) ? bom.size() : 0;
    std::size_t start = prefix;
    while (start < bytes.size() && isXMLSpace(bytes[start])) ++start;
    if (start > prefix) {
        withoutLeadingBlanks = std::string(bytes.substr(0, prefix)) + std::string(bytes.substr(start));
        bytes = withoutLeadingBlanks;
    }
    if (bytes.size() == prefix) return std::nullopt;

    std::unique_ptr<xmlParserCtxt, ContextFree> context(xmlNewParserCtxt());
    if (!context) return std::nullopt;
    context->sax->entityDecl = refuseEntity;
    context->sax->unparsedEntityDecl = refuseUnparsedEntity;
    // No network, no external DTD, no entity substitution (nothing to
    // substitute once declarations are refused); CDATA reads as text. The
    // hard limits on text sizes are lifted since large data is legitimate,
    // and nesting is bounded by the conversion instead.
    int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA | XML_PARSE_HUGE;
    std::unique_ptr<xmlDoc, DocumentFree> document(
        xmlCtxtReadMemory(context.get(), bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, options));
    if (!document || !context->wellFormed) return std::nullopt;

    const xmlNode* root = xmlDocGetRootElement(document.get());
    if (!root) return std::nullopt;
    Converter converter;
    // The value sits inside <plist>; a bare value element is taken too.
    if (!root->ns && nameOf(root) == "plist") {
        auto only = converter.onlyElement(root);
        if (!only) return std::nullopt;
        root = *only;
    }
    return converter.value(root, 0);
}
