#include "foundation/NSPropertyListSerialization.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace {

using Format = NSPropertyListSerialization::Format;

std::optional<Value> parse(const std::string& bytes) {
    Format format{};
    auto value = NSPropertyListSerialization::propertyListWithData(NSData::fromString(bytes), &format);
    if (value) {
        EXPECT_EQ(format, Format::XML);
    }
    return value;
}

// One value element inside a plist document.
std::optional<Value> parseOne(const std::string& element) {
    return parse("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + element + "</plist>");
}

std::optional<Value> roundTrip(const Value& value, Format format) {
    auto data = NSPropertyListSerialization::dataWithPropertyList(value, format);
    if (!data) return std::nullopt;
    return NSPropertyListSerialization::propertyListWithData(*data);
}

// UTF-16 bytes of an ASCII-and-BMP text, with a byte-order mark.
std::string utf16(const std::u16string& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

}  // namespace

TEST(XMLPropertyList, IntegersAreDecimalOrHexadecimalOverTheWholeSignedAndUnsignedRange) {
    const struct {
        const char* text;
        Value expected;
        Value::Kind kind;
    } read[] = {
        {"0123", 123, Value::Kind::Integer},
        {"08", 8, Value::Kind::Integer},
        {"+5", 5, Value::Kind::Integer},
        {"-0", 0, Value::Kind::Integer},
        {"\n\t42 ", 42, Value::Kind::Integer},
        {"9223372036854775807", INT64_MAX, Value::Kind::Integer},
        {"-9223372036854775808", INT64_MIN, Value::Kind::Integer},
        {"9223372036854775808", std::uint64_t{1} << 63, Value::Kind::Unsigned},
        {"18446744073709551615", UINT64_MAX, Value::Kind::Unsigned},
        {"0xa", 10, Value::Kind::Integer},
        {"0X1F", 31, Value::Kind::Integer},
        {"-0x10", -16, Value::Kind::Integer},
        {"0xFFFFFFFFFFFFFFFF", UINT64_MAX, Value::Kind::Unsigned},
    };
    for (const auto& row : read) {
        SCOPED_TRACE(row.text);
        auto value = parseOne(std::string("<integer>") + row.text + "</integer>");
        ASSERT_TRUE(value);
        EXPECT_EQ(value->kind(), row.kind);
        EXPECT_EQ(*value, row.expected);
    }
    const char* refused[] = {"12abc", "not integer", "", " ", "18446744073709551616", "-9223372036854775809",
                             "0x", "0xg", "0x-1", "0x+1", "0x1p3", "0x10000000000000000", "1.5", "1e3",
                             "--1", "+-1", "1 2", "-"};
    for (const char* text : refused) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseOne(std::string("<integer>") + text + "</integer>"));
    }
    // Every integer writes and reads back with its kind, in both forms.
    for (Value number : {Value(UINT64_MAX), Value(std::uint64_t{1} << 63), Value(INT64_MIN), Value(INT64_MAX),
                         Value(-1), Value(0)}) {
        for (Format format : {Format::XML, Format::Binary}) {
            SCOPED_TRACE(number.description());
            auto back = roundTrip(number, format);
            ASSERT_TRUE(back);
            EXPECT_EQ(*back, number);
            EXPECT_EQ(back->unsignedInteger(), number.unsignedInteger());
        }
    }
}

TEST(XMLPropertyList, DatesCoverEveryYearAndKeepFractions) {
    const struct {
        const char* text;
        double since1970;
    } read[] = {
        {"2001-01-01T00:00:00Z", 978307200},
        {"1970-01-01T00:00:00Z", 0},
        {"1900-01-01T00:00:00Z", -2208988800},
        {"1932-12-13T20:45:51Z", -1169176449},
        {"2069-12-31T23:59:59Z", 3155759999},
        {"2099-12-31T23:59:59Z", 4102444799},
        {"0001-01-01T00:00:00Z", -62135596800},
        {"4001-01-01T00:00:00Z", 64092211200},
        {"1600-02-29T12:00:00Z", -11670955200},
        {"2001-01-01T00:00:00.25Z", 978307200.25},
        {"2001-01-01", 978307200},
        {"2001-02", 978307200 + 31 * 86400},
        {"2001-01-01T01Z", 978307200 + 3600},
        {"2001-01-01T00:01", 978307200 + 60},
        {" 2001-01-01T00:00:00Z\n", 978307200},
    };
    for (const auto& row : read) {
        SCOPED_TRACE(row.text);
        auto value = parseOne(std::string("<date>") + row.text + "</date>");
        ASSERT_TRUE(value);
        ASSERT_TRUE(value->isDate());
        EXPECT_EQ(value->date()->timeIntervalSince1970(), row.since1970);
    }
    const char* refused[] = {"2001-02-29T00:00:00Z", "2001-13-01T00:00:00Z", "2001-00-10T00:00:00Z",
                             "2001-04-31T00:00:00Z", "2001-01-01T24:00:00Z", "2001-01-01T00:60:00Z",
                             "2001-01-01T00:00:60Z", "2001-01-01T00:00:00Zjunk", "", "01-01-01T00:00:00Z",
                             "2001-1-01T00:00:00Z", "2001-01-01T00:00:00.Z", "2001-01-01.5", "2001-01-01 00:00:00"};
    for (const char* text : refused) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseOne(std::string("<date>") + text + "</date>"));
    }
    // Dates far from 2001 and fractions of a second come back exactly in both forms.
    for (double since1970 : {NSDate::distantFuture().timeIntervalSince1970(),
                             NSDate::distantPast().timeIntervalSince1970(), 4102444799.0, -2208988800.0,
                             1700000000.123456, -0.5, -1.0e15, 978307200.0 + 1.0 / 1024}) {
        for (Format format : {Format::XML, Format::Binary}) {
            SCOPED_TRACE(since1970);
            auto back = roundTrip(NSDate(since1970), format);
            ASSERT_TRUE(back);
            EXPECT_EQ(back->date()->timeIntervalSince1970(), since1970);
        }
    }
    auto xml = NSPropertyListSerialization::dataWithPropertyList(Array{NSDate(978307200.5), NSDate(-62135596800)},
                                                                 Format::XML);
    EXPECT_NE(xml->toString().find("<date>2001-01-01T00:00:00.5Z</date>"), std::string::npos);
    EXPECT_NE(xml->toString().find("<date>0001-01-01T00:00:00Z</date>"), std::string::npos);
    // What no XML date can hold is refused rather than altered; binary keeps it.
    for (double since1970 : {std::numeric_limits<double>::infinity(), std::nan(""), 1.0e300}) {
        EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(NSDate(since1970), Format::XML));
        EXPECT_TRUE(NSPropertyListSerialization::dataWithPropertyList(NSDate(since1970), Format::Binary));
    }
}

TEST(XMLPropertyList, MalformedStructureIsRefused) {
    const char* refused[] = {
        "<array><key>a</key></array>",                                 // a key in an array
        "<dict><key>a</key></dict>",                                   // a key without a value
        "<dict><key>a</key><key>b</key><true/></dict>",                // two keys in a row
        "<dict><true/></dict>",                                        // a value without a key
        "<dict><key>a</key><true/><false/></dict>",                    // a second value
        "<key>a</key>",                                                // a key alone
        "<array>text<true/></array>",                                  // stray text
        "<dict>text<key>a</key><true/></dict>",
        "<string>a<b/></string>",                                      // an element in a string
        "<dict><key>a<b/></key><true/></dict>",
        "<true>x</true>",
        "<bogus/>",
        "<true/><false/>",                                             // two top values
        "",                                                            // none
        "<ns:string xmlns:ns=\"urn:x\">a</ns:string>",
        "<data>AAE</data>",                                            // base64 cut short
        "<data>A*==</data>",
        "<real>1.5x</real>",
        "<real></real>",
        "<real>0x1p3</real>",
    };
    for (const char* element : refused) {
        SCOPED_TRACE(element);
        auto value = parseOne(element);
        EXPECT_FALSE(value) << value->description();
    }
    EXPECT_FALSE(parse("<plist><true/>"));  // not well-formed
    // Declared entities are refused, so none can expand.
    EXPECT_FALSE(parse("<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY a \"aaaaaaaaaa\">"
                       "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><plist><string>&b;</string></plist>"));
    EXPECT_FALSE(parse("<!DOCTYPE plist [<!ENTITY a \"x\">]><plist><string>unused</string></plist>"));

    // What the format allows around its values reads fine.
    auto value = parse("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                       "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                       "<plist version=\"1.0\"><!-- note --><?pi x?>\n<dict>\n\t<key>a</key> <!-- x -->\n"
                       "\t<string>x<![CDATA[<y>]]>&lt;&#x4e2d;</string><key>b</key><real>-1.5E+2</real>"
                       "<key>c</key><real>+infinity</real><key>d</key><data>\n\tAAEC\n\tAw==\n</data>"
                       "<key>e</key><array/><key>a</key><true/></dict></plist>");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->dictionary()->keys(), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    EXPECT_EQ((*value)["a"], Value(true));  // a repeated key keeps its last value
    EXPECT_EQ((*value)["b"], Value(-150.0));
    EXPECT_EQ((*value)["c"], Value(std::numeric_limits<double>::infinity()));
    EXPECT_EQ((*value)["d"].data()->length(), 4u);
    // A bare value element is a property list too.
    EXPECT_EQ(parse("<string>x<![CDATA[<y>]]></string>"), Value("x<y>"));
}

TEST(XMLPropertyList, ReadsUTF16AndDeclaredEncodings) {
    const std::u16string document = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><plist><string>\u4e2d\u00e9</string></plist>";
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian);
        EXPECT_EQ(parse(utf16(document, bigEndian)), Value("\u4e2d\u00e9"));
    }
    EXPECT_EQ(parse("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><plist><string>caf\xE9</string></plist>"),
              Value("caf\u00e9"));
    EXPECT_EQ(parse("<?xml version=\"1.0\" encoding=\"GB18030\"?><plist><string>\xD6\xD0\xCE\xC4</string></plist>"),
              Value("\u4e2d\u6587"));
    EXPECT_EQ(parse("\xEF\xBB\xBF<plist><string>\xE4\xB8\xAD</string></plist>"), Value("\u4e2d"));
    // Bytes that are not what the declaration says are refused.
    EXPECT_FALSE(parse("<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist><string>caf\xE9</string></plist>"));
    EXPECT_FALSE(parse("<?xml version=\"1.0\" encoding=\"no-such-encoding\"?><plist><string>a</string></plist>"));
}

TEST(XMLPropertyList, TextsKeepWhatXMLCanCarry) {
    // Carriage returns, markup characters and surrounding blanks come back as written.
    for (const char* text : {"a\r\nb\rc", "<tag> & ]]> \"'", "  padded\t\n", "\U0001F600"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(roundTrip(Value(text), Format::XML), Value(text));
    }
    // NUL and other controls have no place in XML; the binary form holds them.
    for (const std::string& text : {std::string("a\0b", 3), std::string("bell\a"), std::string("\xEF\xBF\xBF")}) {
        EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(text, Format::XML));
        EXPECT_FALSE(NSPropertyListSerialization::propertyList(Dictionary{{text, 1}}, Format::XML));
        EXPECT_EQ(roundTrip(Value(text), Format::Binary), Value(text));
    }
    // Reals keep their exact value, infinities and NaN included.
    for (double number : {0.1, -1.0e-310, 1.7976931348623157e308, std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(roundTrip(Value(number), Format::XML), Value(number));
    }
    auto nan = roundTrip(Value(std::nan("")), Format::XML);
    ASSERT_TRUE(nan && nan->isReal());
    EXPECT_TRUE(std::isnan(*nan->real()));
}

TEST(XMLPropertyList, UIDsOfEveryWidthTravelInBothForms) {
    for (std::uint64_t uid : {std::uint64_t{0}, std::uint64_t{255}, std::uint64_t{256}, std::uint64_t{0xFFFFFFFF},
                              std::uint64_t{1} << 32, std::uint64_t{1} << 40, std::uint64_t{1} << 63, UINT64_MAX}) {
        Value archive = Dictionary{{"$top", Dictionary{{"root", Dictionary{{"CF$UID", uid}}}}}};
        for (Format format : {Format::XML, Format::Binary}) {
            SCOPED_TRACE(uid);
            auto back = roundTrip(archive, format);
            ASSERT_TRUE(back);
            EXPECT_EQ((*back)["$top"]["root"]["CF$UID"].unsignedInteger(), uid);
        }
    }
}
