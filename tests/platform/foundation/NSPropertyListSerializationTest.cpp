#include "foundation/NSPropertyListSerialization.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

using Format = NSPropertyListSerialization::Format;

Value everyKind() {
    return Value(Dictionary{
        {"zeta", "last key first"},
        {"text", "a<b>&\"\u4e2d\u6587"},
        {"empty", ""},
        {"negative", -42},
        {"big", std::numeric_limits<int64_t>::max()},
        {"small", std::numeric_limits<int64_t>::min()},
        {"unsigned", 7u},
        {"real", 0.1},
        {"whole real", 3.0},
        {"yes", true},
        {"no", false},
        {"data", NSData::fromString(std::string("\x00\x01\xff", 3))},
        {"no data", NSData()},
        {"date", NSDate(1700000000.0)},
        {"list", Array{1, "two", Array{}, Dictionary{}}},
        {"nested", Dictionary{{"b", 1}, {"a", 2}}},
    });
}

std::optional<Value> roundTrip(const Value& value, Format format) {
    auto data = NSPropertyListSerialization::dataWithPropertyList(value, format);
    if (!data) return std::nullopt;
    EXPECT_EQ(data->toString().substr(0, 8) == "bplist00", format == Format::Binary);
    Format found{};
    auto back = NSPropertyListSerialization::propertyListWithData(*data, &found);
    EXPECT_EQ(found, format);
    return back;
}

std::optional<Value> parse(const std::string& text) {
    return NSPropertyListSerialization::propertyListWithData(NSData::fromString(text));
}

}  // namespace

TEST(NSPropertyListSerialization, RoundTripsEveryKindInBothForms) {
    for (Format format : {Format::XML, Format::Binary}) {
        SCOPED_TRACE(format == Format::XML ? "XML" : "binary");
        auto back = roundTrip(everyKind(), format);
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, everyKind());
        // Order as written, and kinds kept apart.
        EXPECT_EQ(back->dictionary()->keys(), everyKind().dictionary()->keys());
        EXPECT_TRUE((*back)["whole real"].isReal());
        EXPECT_TRUE((*back)["yes"].isBool());
        EXPECT_TRUE((*back)["negative"].isInteger());
        EXPECT_EQ((*back)["small"].integer(), std::numeric_limits<int64_t>::min());
        EXPECT_TRUE((*back)["date"].isDate());
    }
    // Scalars may stand at the top.
    EXPECT_EQ(roundTrip("alone", Format::Binary), Value("alone"));
    EXPECT_EQ(roundTrip(5, Format::XML), Value(5));
}

TEST(NSPropertyListSerialization, DatesCountFrom2001InTheFile) {
    auto read = parse("<plist><array><date>2001-01-01T00:00:00Z</date><date>1970-01-01T00:00:00Z</date>"
                      "</array></plist>");
    ASSERT_TRUE(read);
    EXPECT_EQ((*read)[0].date()->timeIntervalSince1970(), 978307200.0);
    EXPECT_EQ((*read)[1].date()->timeIntervalSince1970(), 0.0);

    auto xml = NSPropertyListSerialization::dataWithPropertyList(Array{NSDate(978307200.0 + 86400)}, Format::XML);
    EXPECT_NE(xml->toString().find("<date>2001-01-02T00:00:00Z</date>"), std::string::npos);

    // The binary form keeps fractions of a second.
    auto precise = roundTrip(NSDate(1700000000.25), Format::Binary);
    EXPECT_DOUBLE_EQ(precise->date()->timeIntervalSince1970(), 1700000000.25);

    // The distant dates come back as they were.
    auto future = roundTrip(NSDate::distantFuture(), Format::Binary);
    ASSERT_TRUE(future);
    EXPECT_EQ(*future->date(), NSDate::distantFuture());
    auto past = roundTrip(NSDate::distantPast(), Format::Binary);
    EXPECT_EQ(*past->date(), NSDate::distantPast());
}

TEST(NSPropertyListSerialization, ReadsHandWrittenXML) {
    auto read = parse("\xEF\xBB\xBF  <?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                      "<key>b</key><data>\n AAEC\n Aw==\n</data><key>a</key><string/>"
                      "<!-- a comment --><key>c</key><integer>-3</integer><key>d</key><real>1e3</real>"
                      "<key>e</key><string>&#x4e2d;&amp;</string></dict></plist>");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->dictionary()->keys(), (std::vector<std::string>{"b", "a", "c", "d", "e"}));
    EXPECT_EQ(*(*read)["b"].data(), NSData::fromString(std::string("\x00\x01\x02\x03", 4)));
    EXPECT_EQ((*read)["a"], Value(""));
    EXPECT_EQ((*read)["c"].integer(), -3);
    EXPECT_EQ((*read)["d"].real(), 1000.0);
    EXPECT_EQ((*read)["e"], Value("\u4e2d&"));
}

TEST(NSPropertyListSerialization, KeyedArchiveUIDsTravelAsCFUIDDictionaries) {
    Value archive = Dictionary{{"$top", Dictionary{{"root", Dictionary{{"CF$UID", 1}}}}},
                               {"$objects", Array{"$null", "hello"}}};
    auto back = roundTrip(archive, Format::Binary);
    ASSERT_TRUE(back);
    EXPECT_EQ((*back)["$top"]["root"]["CF$UID"], Value(1));
    EXPECT_EQ(*back, archive);
}

TEST(NSPropertyListSerialization, RefusesWhatAPropertyListCannotHold) {
    for (Format format : {Format::XML, Format::Binary}) {
        EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(Value(), format));
        EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(Value::null(), format));
        EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(Array{1, Value::null()}, format));
        EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(Dictionary{{"o", make<NSObject>()}}, format));
        EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList("bad \xff utf-8", format));
        EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(Dictionary{{"\xc3", 1}}, format));
    }
    // XML cannot carry a NUL character; the binary form can.
    EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(std::string("a\0b", 3), Format::XML));
}

TEST(NSPropertyListSerialization, MalformedInputGivesNothing) {
    auto binary = *NSPropertyListSerialization::dataWithPropertyList(everyKind(), Format::Binary);
    auto xml = NSPropertyListSerialization::dataWithPropertyList(everyKind(), Format::XML)->toString();
    const std::string cases[] = {
        "",
        "hello",
        "{ a = b; }",
        binary.toString().substr(0, binary.length() / 2),
        binary.toString().substr(0, binary.length() - 10),
        xml.substr(0, xml.size() / 2),
        "<plist><array><integer>1</integer></dict></plist>",
        "<plist><bogus/></plist>",
        "<",
        // Texts that are not UTF-8 could not be written back.
        "<plist><string>\xff\xfe</string></plist>",
        "<plist><dict><key>\xc3(</key><true/></dict></plist>",
    };
    for (const auto& text : cases) {
        SCOPED_TRACE(text.substr(0, 40));
        auto read = parse(text);
        EXPECT_FALSE(read) << read->description();
    }
    // Arbitrary damage to a binary list never crashes.
    for (std::size_t at = 8; at < binary.length(); ++at) {
        NSData damaged = binary;
        damaged.mutableBytes()[at] ^= 0xA5;
        (void)NSPropertyListSerialization::propertyListWithData(damaged);
    }
}

TEST(NSPropertyListSerialization, DeepNestingIsRefusedNotFatal) {
    std::string deep = "<plist>";
    for (int i = 0; i < 20000; ++i) deep += "<array>";
    for (int i = 0; i < 20000; ++i) deep += "</array>";
    deep += "</plist>";
    EXPECT_FALSE(parse(deep));

    Value nested = Array{};
    for (int i = 0; i < 1000; ++i) nested = Array{nested};
    EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(nested, Format::Binary));
}

TEST(NSPropertyListSerialization, LargeBinaryListsWidenOffsetsAndReferences) {
    // Over 65536 distinct objects need 4-byte references and offsets; equal
    // scalars are stored once.
    Array numbers;
    for (int i = 0; i < 70000; ++i) numbers.push_back(Value(i % 2 ? i : -i));
    numbers.push_back(std::string(300, 'x'));
    numbers.push_back("\u4e2d\u6587 repeated");
    numbers.push_back("\u4e2d\u6587 repeated");
    auto data = NSPropertyListSerialization::dataWithPropertyList(Value(numbers), Format::Binary);
    ASSERT_TRUE(data);
    const auto* trailer = data->bytes() + data->length() - 32;
    EXPECT_EQ(trailer[6], 4);  // offset width
    EXPECT_EQ(trailer[7], 4);  // reference width
    // The numbers, the array and two texts: the repeated one is kept once.
    EXPECT_EQ(trailer[15] + 256 * trailer[14] + 65536 * trailer[13], 70000 + 3);
    auto back = NSPropertyListSerialization::propertyListWithData(*data);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, Value(numbers));
}
