#include <gtest/gtest.h>

#include <cmath>

#include "foundation/Value.h"

TEST(Value, KeepsNumberKindsApart) {
    Value one = 1, real = 1.0, yes = true, text = "1";
    EXPECT_EQ(one.kind(), Value::Kind::Integer);
    EXPECT_EQ(real.kind(), Value::Kind::Real);
    EXPECT_EQ(yes.kind(), Value::Kind::Bool);
    EXPECT_EQ(text.kind(), Value::Kind::Text);
    EXPECT_EQ(Value(7u).kind(), Value::Kind::Unsigned);
    // Numbers compare by value across kinds, texts never equal numbers.
    EXPECT_EQ(one, real);
    EXPECT_EQ(one, yes);
    EXPECT_FALSE(one == text);
    EXPECT_FALSE(Value(std::uint64_t(UINT64_MAX)) == Value(-1));
}

TEST(Value, TypedAccessGivesNothingOnTheWrongKind) {
    Value text = "12abc";
    EXPECT_FALSE(text.integer());
    EXPECT_FALSE(text.boolean());
    EXPECT_EQ(text.array(), nullptr);
    EXPECT_EQ(text.intValue(), 12);
    EXPECT_FALSE(Value(true).integer());
    EXPECT_EQ(*Value(-3).integer(), -3);
    EXPECT_FALSE(Value(-3).unsignedInteger());
    EXPECT_DOUBLE_EQ(*Value(3).real(), 3.0);
    EXPECT_EQ(Value().intValue(), 0);
    EXPECT_EQ(Value::null().stringValue(), std::nullopt);
    EXPECT_EQ(Value(2.5).stringValue(), "2.5");
}

TEST(Value, DescriptionsFollowObjectFormatting) {
    EXPECT_EQ(Value().description(), "(null)");
    EXPECT_EQ(Value::null().description(), "<null>");
    EXPECT_EQ(Value(1).description(), "1");
    EXPECT_EQ(Value(12.5).description(), "12.5");
    EXPECT_EQ(Value(3.0).description(), "3");
    EXPECT_EQ(Value(0.1).description(), "0.1");
    EXPECT_EQ(Value(true).description(), "1");
    EXPECT_EQ(Value(false).description(), "0");
    EXPECT_EQ(Value("文本").description(), "文本");
    EXPECT_EQ(Value(NSDate(std::nan(""))).description(), "nan seconds since 1970-01-01 00:00:00 +0000");
    EXPECT_EQ(Value(NSDate(1e18)).description(), "1e+18 seconds since 1970-01-01 00:00:00 +0000");
    Value nested = Dictionary{{"code", 1}, {"list", Array{Value("a b"), Value(2)}}};
    EXPECT_EQ(nested.description(), "{\n    code = 1;\n    list = (\n        \"a b\",\n        2\n    );\n}");
}

TEST(Value, LookupsNeverFail) {
    Value answer = Dictionary{{"code", 1}, {"data", Dictionary{{"list", Array{Value("x")}}}}};
    EXPECT_EQ(answer["data"]["list"][0].description(), "x");
    EXPECT_TRUE(answer["data"]["list"][5].isNil());
    EXPECT_TRUE(answer["nothing"]["deeper"].isNil());
    EXPECT_TRUE(answer[0].isNil());
    EXPECT_TRUE(Value(5)["key"].isNil());
    EXPECT_EQ(answer.count(), 2u);
}

TEST(Dictionary, KeepsInsertionOrderAndReplacesInPlace) {
    Dictionary dictionary;
    // Enough keys to switch on the hash index, then replace and remove.
    for (int i = 0; i < 30; ++i) dictionary.set("k" + std::to_string(29 - i), i);
    dictionary.set("k29", "first");
    dictionary.remove("k10");
    dictionary.set("k5", Value());  // nil removes
    auto keys = dictionary.keys();
    ASSERT_EQ(keys.size(), 28u);
    EXPECT_EQ(keys.front(), "k29");
    EXPECT_EQ(keys.back(), "k0");
    EXPECT_EQ(dictionary["k29"].description(), "first");
    EXPECT_TRUE(dictionary["k10"].isNil());
    EXPECT_EQ(dictionary["k11"].intValue(), 18);
    EXPECT_EQ(dictionary["k0"].intValue(), 29);
    Dictionary reordered;
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) reordered.set(*it, dictionary[*it]);
    EXPECT_TRUE(reordered == dictionary);  // equality ignores order
}
