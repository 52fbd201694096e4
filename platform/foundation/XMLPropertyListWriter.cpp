#include "foundation/XMLPropertyListWriter.h"

#include <charconv>
#include <cmath>

#include "foundation/PropertyListDateText.h"
#include "foundation/PropertyListFormat.h"
#include "foundation/XMLText.h"

namespace {

constexpr std::string_view header =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
    "<plist version=\"1.0\">\n";

std::string realText(double number) {
    if (std::isnan(number)) return "nan";
    if (std::isinf(number)) return number < 0 ? "-infinity" : "+infinity";
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, number).ptr);
}

class Writer {
public:
    bool value(const Value& value, int depth);
    std::string out{header};

private:
    void line(int depth, std::string_view text) {
        out.append(static_cast<std::size_t>(depth), '\t');
        out += text;
        out += '\n';
    }
    void element(int depth, std::string_view name, std::string_view content) {
        out.append(static_cast<std::size_t>(depth), '\t');
        out += '<';
        out += name;
        out += '>';
        out += content;
        out += "</";
        out += name;
        out += ">\n";
    }
};

bool Writer::value(const Value& value, int depth) {
    if (depth > PropertyListFormat::maximumDepth) return false;
    switch (value.kind()) {
    case Value::Kind::Bool: line(depth, *value.boolean() ? "<true/>" : "<false/>"); return true;
    case Value::Kind::Integer: element(depth, "integer", std::to_string(*value.integer())); return true;
    case Value::Kind::Unsigned: element(depth, "integer", std::to_string(*value.unsignedInteger())); return true;
    case Value::Kind::Real: element(depth, "real", realText(*value.real())); return true;
    case Value::Kind::Text: {
        auto text = XMLElementText(*value.text());
        if (!text) return false;
        element(depth, "string", *text);
        return true;
    }
    case Value::Kind::Data: element(depth, "data", value.data()->base64EncodedString()); return true;
    case Value::Kind::Date: {
        auto text = PropertyListDateText::text(value.date()->timeIntervalSince1970() -
                                               PropertyListFormat::secondsFrom1970To2001);
        if (!text) return false;
        element(depth, "date", *text);
        return true;
    }
    case Value::Kind::Array: {
        if (value.array()->empty()) {
            line(depth, "<array/>");
            return true;
        }
        line(depth, "<array>");
        for (const Value& item : *value.array())
            if (!this->value(item, depth + 1)) return false;
        line(depth, "</array>");
        return true;
    }
    case Value::Kind::Dictionary: {
        if (value.dictionary()->empty()) {
            line(depth, "<dict/>");
            return true;
        }
        line(depth, "<dict>");
        for (const auto& [key, item] : *value.dictionary()) {
            auto text = XMLElementText(key);
            if (!text) return false;
            element(depth + 1, "key", *text);
            if (!this->value(item, depth + 1)) return false;
        }
        line(depth, "</dict>");
        return true;
    }
    case Value::Kind::Nil:
    case Value::Kind::Null:
    case Value::Kind::Object: break;
    }
    return false;
}

}  // namespace

std::optional<std::string> XMLPropertyListWriter::write(const Value& value) {
    Writer writer;
    // The top value sits at depth 0, unindented, as the plist element's content.
    if (!writer.value(value, 0)) return std::nullopt;
    writer.out += "</plist>\n";
    return std::move(writer.out);
}
