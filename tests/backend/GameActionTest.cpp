#include <gtest/gtest.h>

#include <set>

#include "BackendClient.h"

namespace {

constexpr const char* kKey = "qmvtrapezk42f17bnc";

class GameActions : public BackendTest {
protected:
    // A GET as the game screens send it: `sign` = MD5(uid + id + t + key) for
    // the actions about one game, MD5(uid + t + key) for the lists.
    BackendClient::Answer send(const std::string& action, const std::string& id, const std::string& uid = "1") {
        const std::string t = BackendClient::requestTimeText();
        return client().get({{"ios", "1"}, {"ct", "app"}, {"ac", action}, {"t", t}, {"id", id}, {"uid", uid},
                             {"sign", BackendClient::md5(uid + id + t + kKey)}});
    }
    BackendClient::Answer list(const std::string& action, BackendClient::Fields fields) {
        const std::string t = BackendClient::timeText();
        fields.insert({{"ios", "1"}, {"ct", "app"}, {"ac", action}, {"t", t}, {"uid", "1"},
                       {"sign", BackendClient::promoterSign("1", t)}});
        return client().get(fields);
    }
    std::set<std::string> allIds(const std::string& action, const std::string& idKey, const std::string& keyword = "") {
        std::set<std::string> ids;
        for (int page = 1;; ++page) {
            auto answer = list(action, {{"p", std::to_string(page)}, {"keyword", keyword}});
            EXPECT_EQ(answer.json["code"], 1);
            if (answer.json["data"].empty()) break;
            for (const auto& row : answer.json["data"]) ids.insert(row[idKey].get<std::string>());
        }
        return ids;
    }
};

}  // namespace

TEST_F(GameActions, DetailsCarryTheScreensFieldsWithSharesRisingToTheTopShare) {
    auto answer = send("game_info", "3");
    ASSERT_EQ(answer.json["code"], 1) << answer.body;
    const auto& data = answer.json["data"];
    for (const char* key : {"icon", "name", "type", "top_fcbl", "content"}) {
        ASSERT_TRUE(data[key].is_string()) << key;
        EXPECT_FALSE(data[key].get<std::string>().empty()) << key;
    }
    EXPECT_EQ(data["name"], "神域传说");
    EXPECT_EQ(data["type"], "手游/角色扮演");
    EXPECT_TRUE(data["number"].is_number_integer());
    EXPECT_GE(data["number"].get<int>(), 1);  // the demo account promotes it
    ASSERT_FALSE(data["imgs"].empty());
    for (const auto& shot : data["imgs"]) EXPECT_EQ(shot.get<std::string>().rfind(backend_->baseURL(), 0), 0u);

    const auto& levels = data["fcbl"];
    ASSERT_GE(levels.size(), 2u);
    for (const auto& level : levels) {
        EXPECT_TRUE(level["title"].is_string());
        EXPECT_TRUE(level["fcbl"].is_string());
    }
    EXPECT_EQ(levels.back()["fcbl"], data["top_fcbl"]);
    EXPECT_LT(std::stoi(levels.front()["fcbl"].get<std::string>()), std::stoi(data["top_fcbl"].get<std::string>()));

    // Recommended games: others, those of the same category first.
    const auto& games = data["game"];
    ASSERT_FALSE(games.empty());
    EXPECT_LE(games.size(), 4u);
    EXPECT_EQ(games[0]["name"], "龙城霸业");
    for (const auto& game : games) {
        EXPECT_NE(game["name"], data["name"]);
        EXPECT_TRUE(game["icon"].is_string());
    }
}

TEST_F(GameActions, TheGameIdIsSignedBetweenUidAndTime) {
    const std::string t = BackendClient::timeText();
    BackendClient::Fields request{{"ct", "app"}, {"ac", "game_info"}, {"t", t}, {"id", "3"}, {"uid", "1"}};
    auto uidAndTimeOnly = request;
    uidAndTimeOnly.emplace("sign", BackendClient::promoterSign("1", t));
    EXPECT_EQ(client().get(uidAndTimeOnly).json["message"], "签名错误");
    auto otherGame = request;
    otherGame.emplace("sign", BackendClient::md5("1" + std::string("4") + t + kKey));
    EXPECT_EQ(client().get(otherGame).json["code"], 2);

    EXPECT_EQ(send("game_info", "abc").json["message"], "参数 id 无效");
    EXPECT_EQ(send("shenqing", "").json["message"], "参数 id 无效");
    auto unknown = send("game_info", "9999");
    EXPECT_EQ(unknown.json["code"], 4);
    EXPECT_EQ(unknown.json["message"], "游戏不存在");
    EXPECT_EQ(send("game_info", "3", "999").json["code"], 3);
}

TEST_F(GameActions, ApplyingMovesTheGameFromTheOpenListToThePromotersGames) {
    const std::set<std::string> open = allIds("games", "id");
    ASSERT_GT(open.size(), 10u) << "the open list spans pages";
    // Games the demo account promotes (1 to 18) are not open to it.
    for (const std::string& id : open) EXPECT_GT(std::stoi(id), 18) << id;
    const std::string game = *open.begin();
    const int applicants = send("game_info", game).json["data"]["number"].get<int>();

    auto applied = send("shenqing", game);
    ASSERT_EQ(applied.json["code"], 1) << applied.body;
    EXPECT_EQ(applied.json["data"]["gid"], game);
    EXPECT_FALSE(allIds("games", "id").count(game));
    EXPECT_TRUE(allIds("mygames", "gid").count(game));
    EXPECT_EQ(send("game_info", game).json["data"]["number"], applicants + 1);

    auto again = send("shenqing", game);
    EXPECT_EQ(again.json["code"], 0);
    EXPECT_EQ(again.json["message"], "您已申请过该游戏");
    EXPECT_EQ(send("shenqing", "9999").json["code"], 4);
}

TEST_F(GameActions, OpenGamesAreTextRowsNarrowedByName) {
    auto first = list("games", {{"p", "1"}, {"keyword", ""}});
    ASSERT_EQ(first.json["code"], 1);
    EXPECT_EQ(first.json["p"], 2);
    EXPECT_GE(first.json["max_p"].get<int>(), 2);
    ASSERT_EQ(first.json["data"].size(), 10u);
    for (const auto& row : first.json["data"]) {
        for (const char* key : {"fcbl", "icon", "id", "name", "system", "system_type", "time", "time1", "time2", "zhekou"}) {
            EXPECT_TRUE(row[key].is_string()) << key;
        }
    }
    // The newest listing comes first.
    EXPECT_GE(first.json["data"][0]["time"].get<std::string>(), first.json["data"][9]["time"].get<std::string>());

    const std::set<std::string> legends = allIds("games", "id", "传奇");
    ASSERT_FALSE(legends.empty());
    auto legendPage = list("games", {{"keyword", "传奇"}});
    for (const auto& row : legendPage.json["data"]) {
        EXPECT_NE(row["name"].get<std::string>().find("传奇"), std::string::npos);
    }
    EXPECT_TRUE(list("games", {{"keyword", "不存在的游戏"}}).json["data"].empty());
}
