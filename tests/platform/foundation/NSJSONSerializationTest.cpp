#include "foundation/NSJSONSerialization.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "foundation/NSError.h"

namespace {

Value parse(std::string_view text, Ref<NSError>* error = nullptr) {
    return NSJSONSerialization::JSONObjectWithData(NSData::fromString(text), error);
}

std::optional<std::string> write(const Value& value, bool pretty = false) {
    auto data = NSJSONSerialization::dataWithJSONObject(value, pretty);
    if (!data) return std::nullopt;
    return data->toString();
}

std::vector<Value::Kind> kindsOf(const Value& array) {
    std::vector<Value::Kind> kinds;
    for (const Value& item : *array.array()) kinds.push_back(item.kind());
    return kinds;
}

using K = Value::Kind;

}  // namespace

TEST(NSJSONSerializationReading, NumbersKeepTheirKinds) {
    Value numbers = parse("[1, -1, 0, -0, 1.0, 1e2, 2.5, true, false, null, "
                          "9223372036854775807, -9223372036854775808, 9223372036854775808, "
                          "18446744073709551615, 18446744073709551616, -9223372036854775809]");
    ASSERT_TRUE(numbers.isArray());
    EXPECT_EQ(kindsOf(numbers), (std::vector<K>{K::Integer, K::Integer, K::Integer, K::Real, K::Real, K::Real,
                                                K::Real, K::Bool, K::Bool, K::Null, K::Integer, K::Integer,
                                                K::Unsigned, K::Unsigned, K::Real, K::Real}));
    EXPECT_EQ(*numbers[0].integer(), 1);
    EXPECT_EQ(*numbers[1].integer(), -1);
    EXPECT_TRUE(std::signbit(*numbers[3].real()));  // "-0" keeps its sign
    EXPECT_EQ(*numbers[5].real(), 100.0);
    EXPECT_EQ(*numbers[6].real(), 2.5);
    EXPECT_EQ(*numbers[7].boolean(), true);
    EXPECT_EQ(*numbers[10].integer(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(*numbers[11].integer(), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(*numbers[12].unsignedInteger(), 9223372036854775808ull);
    EXPECT_EQ(*numbers[13].unsignedInteger(), std::numeric_limits<std::uint64_t>::max());
    EXPECT_DOUBLE_EQ(*numbers[14].real(), 18446744073709551616.0);
}

TEST(NSJSONSerializationReading, ObjectsKeepKeyOrderAndTheLastOfRepeatedKeys) {
    Value object = parse(R"({"b": 1, "a": {"z": [], "y": {}}, "c": "x", "b": 3})");
    ASSERT_TRUE(object.isDictionary());
    EXPECT_EQ(object.dictionary()->keys(), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(*object["b"].integer(), 3);
    EXPECT_EQ(object["a"].dictionary()->keys(), (std::vector<std::string>{"z", "y"}));
    EXPECT_TRUE(object["a"]["z"].isArray());
    EXPECT_TRUE(object["a"]["y"].isDictionary());

    // Large enough for the dictionary's hash index, with repeats after it is on.
    std::string text = "{";
    for (int i = 0; i < 40; ++i) text += "\"k" + std::to_string(39 - i) + "\":" + std::to_string(i) + ",";
    text += "\"k39\":{\"inner\":[1,{\"deep\":true}]},\"k0\":\"last\"}";
    Value large = parse(text);
    ASSERT_EQ(large.count(), 40u);
    EXPECT_EQ(large.dictionary()->keys().front(), "k39");
    EXPECT_EQ(large.dictionary()->keys().back(), "k0");
    EXPECT_EQ(*large["k0"].text(), "last");
    EXPECT_EQ(*large["k39"]["inner"][1]["deep"].boolean(), true);
    EXPECT_EQ(*large["k20"].integer(), 19);
}

TEST(NSJSONSerializationReading, TextsDecodeEscapesAndSurrogatePairs) {
    Value texts = parse(R"(["\u00e9\u4E2D\ud83d\ude00", "\"\\\/\b\f\n\r\t", "中文 😀", "\u0000x", ""])");
    ASSERT_EQ(texts.count(), 5u);
    EXPECT_EQ(*texts[0].text(), "é中😀");
    EXPECT_EQ(*texts[1].text(), "\"\\/\b\f\n\r\t");
    EXPECT_EQ(*texts[2].text(), "中文 😀");
    EXPECT_EQ(*texts[3].text(), std::string("\0x", 2));
    EXPECT_EQ(*texts[4].text(), "");
}

TEST(NSJSONSerializationReading, AnyValueMayStandAtTheTop) {
    EXPECT_EQ(*parse(R"("text")").text(), "text");
    EXPECT_EQ(*parse(" 12 ").integer(), 12);
    EXPECT_TRUE(parse("\n null\t").isNull());
    EXPECT_EQ(*parse("false").boolean(), false);
    // A UTF-8 byte-order mark before the text is allowed.
    EXPECT_EQ(*parse("\xEF\xBB\xBF[1]")[0].integer(), 1);
}

TEST(NSJSONSerializationReading, MalformedInputGivesNilAndAnError) {
    const std::string malformed[] = {
        "", "   ", "[1, 2", R"({"a": 1)", R"({"a")", R"({"a" 1})", "[1,]", R"({"a":1,})", "[1] x", "{} {}",
        "tru", "nul", "'a'", "01", "1.", "-", "+1", ".5", "1e", "NaN", "Infinity", "1e999", "[\"a\nb\"]",
        "\"unterminated", R"("\x41")", R"("\u12")", R"("\ud800")", R"("\udc00x")", R"("\ud800\u0041")",
        "\"\xFF\"", "\"\xC0\xAF\"", "\"\xED\xA0\x80\"", "\"\xE4\xB8\"", "[\x80]", std::string("[1]\0", 4), "//c\n1", "[1 2]",
        std::string("\"a\0b\"", 5),
    };
    for (const std::string& text : malformed) {
        SCOPED_TRACE(text);
        Ref<NSError> error;
        EXPECT_TRUE(parse(text, &error).isNil());
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->domain(), NSCocoaErrorDomain);
        EXPECT_EQ(error->code(), 3840);
        EXPECT_FALSE(error->userInfo()["NSDebugDescription"].text()->empty());
        EXPECT_TRUE(parse(text).isNil());  // and without an error out-parameter
    }
}

TEST(NSJSONSerializationReading, ErrorsTellWhereReadingStopped) {
    Ref<NSError> error;
    parse(R"({"a": [1, 2, x]})", &error);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(*error->userInfo()["NSJSONSerializationErrorIndex"].integer(), 14);
    EXPECT_EQ(error->localizedDescription(), "The data couldn’t be read because it isn’t in the correct format.");

    // A later success clears the error.
    EXPECT_EQ(*parse("[7]", &error)[0].integer(), 7);
    EXPECT_EQ(error, nullptr);
}

TEST(NSJSONSerializationReading, NestingIsCappedWithoutCrashing) {
    const std::size_t cap = NSJSONSerialization::maxDepth;
    auto nested = [](std::size_t depth, const char* open, const char* close) {
        std::string text;
        for (std::size_t i = 0; i < depth; ++i) text += open;
        text += "1";
        for (std::size_t i = 0; i < depth; ++i) text += close;
        return text;
    };
    Value deepest = parse(nested(cap, "[", "]"));
    ASSERT_TRUE(deepest.isArray());
    EXPECT_TRUE(parse(nested(cap, R"({"a":)", "}")).isDictionary());

    Ref<NSError> error;
    EXPECT_TRUE(parse(nested(cap + 1, "[", "]"), &error).isNil());
    ASSERT_NE(error, nullptr);
    EXPECT_NE(error->userInfo()["NSDebugDescription"].text()->find("nesting"), std::string::npos);
    EXPECT_TRUE(parse(nested(cap + 1, R"({"a":)", "}")).isNil());
    EXPECT_TRUE(parse(std::string(200000, '[')).isNil());
    EXPECT_TRUE(parse(nested(100000, "[", "]")).isNil());
}

TEST(NSJSONSerializationWriting, CompactFormEscapesSlashesAndKeepsUTF8) {
    Value object = Dictionary{
        {"name", "中文 😀"}, {"url", "http://a/b?c=\"d\""}, {"n", -12}, {"big", std::uint64_t(18446744073709551615ull)},
        {"r", 1.5}, {"whole", 1.0}, {"tiny", 1e-7}, {"huge", 1e21}, {"minusZero", -0.0}, {"yes", true}, {"no", false},
        {"none", Value::null()}, {"list", Array{Value(1), Value("a\\b"), Array{}, Dictionary{}}},
        {"controls", "\t\n\r\b\f\x01\x1f"},
    };
    EXPECT_EQ(write(object),
              R"({"name":"中文 😀","url":"http:\/\/a\/b?c=\"d\"","n":-12,"big":18446744073709551615,)"
              R"("r":1.5,"whole":1,"tiny":1e-07,"huge":1e+21,"minusZero":-0,"yes":true,"no":false,"none":null,)"
              R"("list":[1,"a\\b",[],{}],"controls":"\t\n\r\b\f\u0001\u001f"})");
}

TEST(NSJSONSerializationWriting, PrettyFormIndentsByTwoSpaces) {
    Value object = Dictionary{
        {"code", 1},
        {"data", Dictionary{{"list", Array{Value("a"), Dictionary{{"k", 2.5}}}}, {"empty", Array{}}}},
        {"none", Dictionary{}},
    };
    EXPECT_EQ(write(object, true), "{\n"
                                   "  \"code\" : 1,\n"
                                   "  \"data\" : {\n"
                                   "    \"list\" : [\n"
                                   "      \"a\",\n"
                                   "      {\n"
                                   "        \"k\" : 2.5\n"
                                   "      }\n"
                                   "    ],\n"
                                   "    \"empty\" : [\n"
                                   "\n"
                                   "    ]\n"
                                   "  },\n"
                                   "  \"none\" : {\n"
                                   "\n"
                                   "  }\n"
                                   "}");
    EXPECT_EQ(write(Array{}, true), "[\n\n]");
    EXPECT_EQ(write(Array{}), "[]");
}

TEST(NSJSONSerializationWriting, RefusesWhatJSONCannotExpress) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    Value deep = Array{};
    for (int i = 0; i < NSJSONSerialization::maxDepth; ++i) deep = Array{deep};
    const Value invalid[] = {
        Value(), Value::null(), Value(1), Value("text"), Value(true),  // not a container at the top
        Array{Value()}, Array{Value(nan)}, Dictionary{{"x", inf}}, Array{Value(-inf)},
        Array{Value(NSData::fromString("ab"))}, Dictionary{{"when", NSDate(0)}},
        Array{Value(make<NSObject>())}, Array{Value("\xFF")}, Array{Value("\xC0\xAF")},
        Array{Value("\xED\xA0\x80")}, Array{Value("\xE4\xB8")}, Array{Value("\xF4\x90\x80\x80")},
        Dictionary{{"bad\xC3", 1}}, deep,
    };
    for (const Value& value : invalid) {
        SCOPED_TRACE(value.description());
        EXPECT_FALSE(NSJSONSerialization::isValidJSONObject(value));
        EXPECT_FALSE(write(value));
        EXPECT_FALSE(write(value, true));
    }
    EXPECT_TRUE(NSJSONSerialization::isValidJSONObject(Array{}));
    EXPECT_TRUE(NSJSONSerialization::isValidJSONObject(Dictionary{{"ok", Array{Value("\xF4\x8F\xBF\xBF")}}}));
    EXPECT_TRUE(NSJSONSerialization::isValidJSONObject(deep[0]));
}

TEST(NSJSONSerializationRoundTrip, WrittenTextReadsBackToTheSameValues) {
    const std::string answer =
        R"({"code":1,"message":"成功","data":{"p":1,"max_p":12,"list":[{"id":9007199254740993,)"
        R"("money":"12.50","rate":0.1,"ratio":-2.5e-300,"max":1.7976931348623157e+308,"min":5e-324,)"
        R"("flag":false,"tags":["a\/b","\u0001"],"note":null}]}})";
    Value parsed = parse(answer);
    ASSERT_TRUE(parsed.isDictionary());
    for (bool pretty : {false, true}) {
        auto text = write(parsed, pretty);
        ASSERT_TRUE(text);
        Value again = parse(*text);
        EXPECT_EQ(again, parsed);
        const Value& row = again["data"]["list"][0];
        EXPECT_EQ(row.dictionary()->keys(), parsed["data"]["list"][0].dictionary()->keys());
        EXPECT_EQ(*row["id"].integer(), 9007199254740993);
        EXPECT_EQ(row["money"].kind(), K::Text);
        EXPECT_EQ(*row["rate"].real(), 0.1);
        EXPECT_EQ(*row["ratio"].real(), -2.5e-300);
        EXPECT_EQ(*row["max"].real(), 1.7976931348623157e+308);
        EXPECT_EQ(*row["min"].real(), 5e-324);
        EXPECT_EQ(row["flag"].kind(), K::Bool);
        EXPECT_TRUE(row["note"].isNull());
    }
    // The compact text of what was read is the input itself.
    EXPECT_EQ(write(parsed), answer);
}
