#include <gtest/gtest.h>

#include "app/promotion/KXApplyGameModel.h"
#include "app/promotion/KXPromoteGameModel.h"
#include "foundation/NSJSONSerialization.h"

namespace {

Value json(std::string_view text) { return NSJSONSerialization::JSONObjectWithData(NSData::fromString(text)); }

TEST(PromotionModels, PromotedGamesReadEveryFieldAsTextAndSkipNonObjects) {
    auto games = NSObjectMJKeyValue::mj_objectArrayWithKeyValuesArray<KXPromoteGameModel>(json(
        R"([{"fcbl":45,"gid":"7","h5_url":"http://127.0.0.1/h5/game/7?uid=1","icon":"i.png","id":12,"name":"龙城霸业",)"
        R"("type":"角色扮演","uid":"1"},"not an entry",{"name":null}])"));
    ASSERT_EQ(games.size(), 2u);
    EXPECT_EQ(games[0]->fcbl, "45");
    EXPECT_EQ(games[0]->id, "12");
    EXPECT_EQ(games[0]->gid, "7");
    EXPECT_EQ(games[0]->h5_url, "http://127.0.0.1/h5/game/7?uid=1");
    EXPECT_EQ(games[0]->type, "角色扮演");
    EXPECT_EQ(games[1]->name, std::nullopt);
    EXPECT_EQ(games[1]->gid, std::nullopt);
    EXPECT_TRUE(NSObjectMJKeyValue::mj_objectArrayWithKeyValuesArray<KXPromoteGameModel>(json(R"({"gid":"7"})")).empty());
}

TEST(PromotionModels, GamesOpenForApplicationKeepTheirDateLines) {
    auto game = NSObjectMJKeyValue::mj_objectWithKeyValues<KXApplyGameModel>(
        json(R"({"id":"25","time1":"上线 2024-05-01","time2":"截止 2024-10-28","system_type":"卡牌","zhekou":"1折"})"));
    ASSERT_TRUE(game);
    EXPECT_EQ(game->id, "25");
    EXPECT_EQ(game->time1, "上线 2024-05-01");
    EXPECT_EQ(game->time2, "截止 2024-10-28");
    EXPECT_EQ(game->system_type, "卡牌");
    EXPECT_EQ(game->fcbl, std::nullopt);
}

}  // namespace
