#include <gtest/gtest.h>

#include "frameworks/models/MJExtension.h"

namespace {

// A row whose `id` arrives under the key "ID".
class Row : public MJKeyValueModel {
public:
    std::optional<std::string> id;
    std::optional<std::string> name;
    std::optional<std::string> money;
    std::optional<std::string> vip;
    std::optional<std::string> tags;

    void mapping(PropertyMapper& mapper) override {
        mapper("ID", id)("name", name)("money", money)("vip", vip)("tags", tags);
    }
};

}  // namespace

TEST(MJExtension, TextPropertiesTakeTextsAndNumbersAndStayUnsetOtherwise) {
    auto row = NSObjectMJKeyValue::mj_objectWithKeyValues<Row>(
        Value(Dictionary{{"ID", 17}, {"name", "张三"}, {"money", 12.5}, {"vip", true}, {"tags", Array{Value("a")}},
                         {"id", "ignored"}}));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->id, "17");
    EXPECT_EQ(row->name, "张三");
    EXPECT_EQ(row->money, "12.5");
    EXPECT_EQ(row->vip, "1");
    EXPECT_EQ(row->tags, std::nullopt) << "a list is no text";

    auto sparse = NSObjectMJKeyValue::mj_objectWithKeyValues<Row>(Value(Dictionary{{"name", Value::null()}}));
    ASSERT_TRUE(sparse);
    EXPECT_EQ(sparse->name, std::nullopt);
    EXPECT_EQ(sparse->id, std::nullopt);

    EXPECT_FALSE(NSObjectMJKeyValue::mj_objectWithKeyValues<Row>(Value("{}")));
    EXPECT_FALSE(NSObjectMJKeyValue::mj_objectWithKeyValues<Row>(Value()));
}

TEST(MJExtension, ArraysSkipNonObjectsAndNonArraysGiveNoRows) {
    Value rows = Array{Value(Dictionary{{"ID", "1"}}), Value::null(), Value(3), Value(Dictionary{{"ID", "2"}})};
    auto models = NSObjectMJKeyValue::mj_objectArrayWithKeyValuesArray<Row>(rows);
    ASSERT_EQ(models.size(), 2u);
    EXPECT_EQ(models[0]->id, "1");
    EXPECT_EQ(models[1]->id, "2");
    EXPECT_TRUE(NSObjectMJKeyValue::mj_objectArrayWithKeyValuesArray<Row>(Value(Dictionary{{"ID", "1"}})).empty());
    EXPECT_TRUE(NSObjectMJKeyValue::mj_objectArrayWithKeyValuesArray<Row>(Value::null()).empty());
}
