#include <gtest/gtest.h>

#include "frameworks/models/HandyJSON.h"

namespace {

class Inner : public HandyJSON {
public:
    std::string label = "default";
    void mapping(PropertyMapper& mapper) override { mapper("label", label); }
};

class Sample : public HandyJSON {
public:
    std::string text;
    std::int64_t count = 7;
    int small = 0;
    double ratio = 0;
    bool flag = false;
    std::vector<std::string> tags;
    std::vector<double> values;
    Ref<Inner> inner = make<Inner>();
    std::vector<Ref<Inner>> items;

    void mapping(PropertyMapper& mapper) override {
        mapper("text", text)("count", count)("small", small)("ratio", ratio)("flag", flag)("tags", tags)(
            "values", values)("inner", inner)("items", items);
    }
};

Value decodeJSONish(Dictionary object) { return Value(Dictionary{{"data", Value(std::move(object))}}); }

}  // namespace

TEST(HandyJSON, ScalarsConvertLenientlyAndMissingKeysKeepDefaults) {
    auto model = JSONDeserializer<Sample>::deserializeFrom(
        decodeJSONish({{"text", 12.5}, {"small", "42"}, {"ratio", "0.25"}, {"flag", 1}, {"tags", Array{Value("a"), Value(3)}},
                       {"values", Array{Value(1), Value("2.5"), Value::null()}}}),
        "data");
    ASSERT_TRUE(model);
    EXPECT_EQ(model->text, "12.5");
    EXPECT_EQ(model->count, 7);  // missing
    EXPECT_EQ(model->small, 42);
    EXPECT_DOUBLE_EQ(model->ratio, 0.25);
    EXPECT_TRUE(model->flag);
    EXPECT_EQ(model->tags, (std::vector<std::string>{"a", "3"}));
    EXPECT_EQ(model->values, (std::vector<double>{1, 2.5}));
    EXPECT_EQ(model->inner->label, "default");
}

TEST(HandyJSON, WrongKindsLeaveTheDefault) {
    auto model = JSONDeserializer<Sample>::deserializeFrom(
        Value(Dictionary{{"text", Array{}}, {"count", "12abc"}, {"inner", "x"}, {"tags", "x"}, {"items", Dictionary{}}}));
    ASSERT_TRUE(model);
    EXPECT_EQ(model->text, "");
    EXPECT_EQ(model->count, 7);
    EXPECT_EQ(model->inner->label, "default");
    EXPECT_TRUE(model->tags.empty());
    EXPECT_TRUE(model->items.empty());
}

TEST(HandyJSON, NestedModelsAndPaths) {
    Value json = Dictionary{{"data", Dictionary{{"inner", Dictionary{{"label", "x"}}},
                                                {"items", Array{Value(Dictionary{{"label", "a"}}), Value(5)}}}}};
    auto model = JSONDeserializer<Sample>::deserializeFrom(json, "data");
    ASSERT_TRUE(model);
    EXPECT_EQ(model->inner->label, "x");
    // Elements of a model array that are not objects are dropped from a field.
    ASSERT_EQ(model->items.size(), 1u);
    EXPECT_EQ(model->items[0]->label, "a");
    EXPECT_EQ(JSONDeserializer<Inner>::deserializeFrom(json, "data.inner")->label, "x");
    EXPECT_FALSE(JSONDeserializer<Sample>::deserializeFrom(json, "missing"));
    EXPECT_FALSE(JSONDeserializer<Sample>::deserializeFrom(Value::null()));
}

TEST(HandyJSON, ModelArraysKeepNonObjectsAsNullEntries) {
    Value json = Dictionary{{"data", Array{Value(Dictionary{}), Value(1), Value(Dictionary{{"label", "b"}})}}};
    auto models = JSONDeserializer<Inner>::deserializeModelArrayFrom(json, "data");
    ASSERT_TRUE(models);
    ASSERT_EQ(models->size(), 3u);
    EXPECT_EQ((*models)[0]->label, "default");
    EXPECT_EQ((*models)[1], nullptr);
    EXPECT_EQ((*models)[2]->label, "b");
    EXPECT_FALSE(JSONDeserializer<Inner>::deserializeModelArrayFrom(Value(Dictionary{{"data", Dictionary{}}}), "data"));
}

TEST(HandyJSON, KeysOfListsTheMappingWithoutTouchingFields) {
    Sample model;
    model.text = "kept";
    EXPECT_EQ(PropertyMapper::keysOf(model), (std::vector<std::string>{"text", "count", "small", "ratio", "flag", "tags",
                                                                       "values", "inner", "items"}));
    EXPECT_EQ(model.text, "kept");
    EXPECT_EQ(model.count, 7);
}
