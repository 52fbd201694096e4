#include <gtest/gtest.h>

#include "app/tabs/home/KXHomeModel.h"
#include "app/tabs/mine/KXMineModel.h"
#include "app/tabs/mine/KXMineNavType.h"
#include "app/tabs/promote/KXPromoteGameModel.h"

TEST(HomeModels, EmptyObjectGivesDefaultsWithNestedModels) {
    auto home = JSONDeserializer<KXHomeModel>::deserializeFrom(Value(Dictionary{{"data", Dictionary{}}}), "data");
    ASSERT_TRUE(home);
    EXPECT_TRUE(home->nav.empty());
    EXPECT_TRUE(home->paihangbang.empty());
    ASSERT_TRUE(home->shuju);
    EXPECT_EQ(home->shuju->reg, "");
    ASSERT_TRUE(home->shuju->down);
    EXPECT_TRUE(home->shuju->down->day.empty());
}

TEST(HomeModels, SeriesOfDifferentLengthsAreKeptAsReceived) {
    Value data = Dictionary{
        {"nav", Array{Value(Dictionary{{"name", "推广盒子"}, {"type", "101"}})}},
        {"shuju", Dictionary{{"reg", 12}, {"down", Dictionary{{"day", Array{Value("12-01"), Value("12-02")}},
                                                              {"num", Array{Value(3)}}}}}},
        {"paihangbang", Array{Value(Dictionary{{"name", "张三"}, {"note", 1}, {"num", "20"}})}}};
    auto home = JSONDeserializer<KXHomeModel>::deserializeFrom(data);
    ASSERT_EQ(home->nav.size(), 1u);
    EXPECT_EQ(home->nav[0]->type, 101);
    EXPECT_EQ(home->shuju->reg, "12");
    EXPECT_EQ(home->shuju->down->day.size(), 2u);
    EXPECT_EQ(home->shuju->down->num, std::vector<double>{3});
    EXPECT_EQ(home->paihangbang[0]->note, "1");
}

TEST(MineModels, EmptyObjectHasFiveEmptyTextsAndNoLists) {
    auto mine = JSONDeserializer<KXMineModel>::deserializeFrom(Value(Dictionary{}));
    ASSERT_TRUE(mine);
    for (const auto* text : {&mine->username, &mine->head, &mine->shareMoney, &mine->yufu, &mine->money}) {
        EXPECT_EQ(*text, "");
    }
    EXPECT_TRUE(mine->news.empty());
    EXPECT_TRUE(mine->nav.empty());
}

TEST(MineModels, MenuGroupsNestTheirEntries) {
    Value data = Dictionary{{"nav", Array{Value(Dictionary{
                                        {"title", "推广"},
                                        {"data", Array{Value(Dictionary{{"name", "推广盒子"}, {"type", 101}})}}})}}};
    auto mine = JSONDeserializer<KXMineModel>::deserializeFrom(data);
    ASSERT_EQ(mine->nav.size(), 1u);
    ASSERT_EQ(mine->nav[0]->data.size(), 1u);
    EXPECT_EQ(mine->nav[0]->data[0]->type, 101);
}

TEST(PromoteModels, TagsAndPoint) {
    auto game = JSONDeserializer<Velmaro::KXPromoteGameModel>::deserializeFrom(
        Value(Dictionary{{"gid", 9}, {"biaoqian", Array{Value("热门"), Value("新游")}}, {"point", "4.5"}}));
    EXPECT_EQ(game->gid, "9");
    EXPECT_EQ(game->biaoqian.size(), 2u);
    EXPECT_DOUBLE_EQ(game->point, 4.5);
    EXPECT_EQ(game->className(), "Velmaro.KXPromoteGameModel");
}

TEST(KXMineNavTypeTest, OnlyTheDeclaredCodesHaveACase) {
    EXPECT_EQ(KXMineNavTypeFromRawValue(112), KXMineNavType::promoteRank);
    EXPECT_EQ(KXMineNavTypeFromRawValue(131), KXMineNavType::promoteNotice);
    for (std::int64_t code : {0, 100, 111, 124, 132, -101}) EXPECT_FALSE(KXMineNavTypeFromRawValue(code)) << code;
    EXPECT_EQ(rawValue(KXMineNavType::consumeRank), 123);
}
