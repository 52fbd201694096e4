#include <gtest/gtest.h>

#include "BackendClient.h"

using ActionShapes = BackendTest;

namespace {

void expectTexts(const nlohmann::json& object, std::initializer_list<const char*> keys, const std::string& where) {
    for (const char* key : keys) {
        ASSERT_TRUE(object.contains(key)) << where << " lacks " << key;
        EXPECT_TRUE(object[key].is_string()) << where << "." << key << " = " << object[key];
    }
}

void expectTextArray(const nlohmann::json& value, const std::string& where) {
    ASSERT_TRUE(value.is_array()) << where;
    for (const auto& element : value) EXPECT_TRUE(element.is_string()) << where;
}

}  // namespace

TEST_F(ActionShapes, HomeAnswersTilesFiguresAndPromoterRanking) {
    auto answer = client().postSigned("?ct=app2022");
    ASSERT_EQ(answer.json["code"], 1);
    const auto& data = answer.json["data"];
    ASSERT_FALSE(data["nav"].empty());
    for (const auto& tile : data["nav"]) {
        expectTexts(tile, {"name", "icon", "url"}, "nav");
        ASSERT_TRUE(tile["type"].is_number_integer());
        EXPECT_GE(tile["type"].get<int>(), 101);
        EXPECT_LE(tile["type"].get<int>(), 131);
    }
    expectTexts(data["shuju"], {"reg", "fufeilv", "pay", "money"}, "shuju");
    // The rate is a bare number: the card adds its own "%".
    EXPECT_EQ(data["shuju"]["fufeilv"].get<std::string>().find('%'), std::string::npos);
    // The share of the promoter's players who have paid: a ring's worth at most.
    const double rate = std::stod(data["shuju"]["fufeilv"].get<std::string>());
    EXPECT_GT(rate, 0);
    EXPECT_LE(rate, 100);
    const auto& down = data["shuju"]["down"];
    expectTextArray(down["day"], "down.day");
    ASSERT_EQ(down["day"].size(), 7u);
    ASSERT_EQ(down["num"].size(), 7u);
    for (const auto& n : down["num"]) EXPECT_TRUE(n.is_number());
    // Every promoter is ranked, best first, with place numbers from 1.
    const auto& ranking = data["paihangbang"];
    ASSERT_GE(ranking.size(), 4u);
    for (std::size_t i = 0; i < ranking.size(); ++i) {
        expectTexts(ranking[i], {"name", "note", "num"}, "paihangbang");
        EXPECT_EQ(ranking[i]["note"], std::to_string(i + 1));
        if (i > 0) {
            EXPECT_GE(std::stoi(ranking[i - 1]["num"].get<std::string>()), std::stoi(ranking[i]["num"].get<std::string>()));
        }
    }
}

TEST_F(ActionShapes, MineAnswersAccountNoticesAndMenuGroups) {
    auto answer = client().postSigned("?ct=app2022&ac=my");
    ASSERT_EQ(answer.json["code"], 1);
    const auto& data = answer.json["data"];
    expectTexts(data, {"username", "head", "shareMoney", "yufu", "money"}, "my");
    EXPECT_EQ(data["username"], "demo");
    ASSERT_FALSE(data["news"].empty());
    for (const auto& notice : data["news"]) expectTexts(notice, {"title", "url"}, "news");
    ASSERT_FALSE(data["nav"].empty());
    for (const auto& group : data["nav"]) {
        expectTexts(group, {"title", "icon"}, "nav group");
        ASSERT_FALSE(group["data"].empty());
        for (const auto& item : group["data"]) {
            expectTexts(item, {"name", "icon", "url"}, "nav item");
            EXPECT_TRUE(item["type"].is_number_integer());
        }
    }
}

TEST_F(ActionShapes, AssetsAndIncomeDetailsAreAllTexts) {
    auto assets = client().postSigned("?ct=app&ac=cps");
    expectTexts(assets.json["data"],
                {"money", "shareMoney", "withdraw", "accumulate", "popularizeNumber", "gameDescription"}, "cps");
    EXPECT_EQ(assets.json["data"]["money"].get<std::string>().find('.') + 3,
              assets.json["data"]["money"].get<std::string>().size());
    auto details = client().postSigned("?ct=app2022&ac=mingxi");
    ASSERT_FALSE(details.json["data"].empty());
    for (const auto& row : details.json["data"]) {
        expectTexts(row, {"uid", "username", "money", "paymoney", "appid", "time", "gname", "fencheng"}, "mingxi");
    }
}

TEST_F(ActionShapes, CategoriesAndNoticesAreTexts) {
    auto categories = client().postSigned("?ct=app2022&ac=fenlei");
    ASSERT_GE(categories.json["data"].size(), 3u);
    for (const auto& category : categories.json["data"]) expectTexts(category, {"id", "name"}, "fenlei");
    EXPECT_EQ(categories.json["data"][0]["name"], "角色扮演");
    auto notices = client().postSigned("?ct=app&ac=news");
    for (const auto& notice : notices.json["data"]) {
        expectTexts(notice, {"id", "title", "time", "description", "type", "icon", "url"}, "news");
    }
}

TEST_F(ActionShapes, PromotedGamesFilterByCategoryAndKeyword) {
    auto all = client().postSigned("?ct=app&ac=mygames", {{"keyword", ""}, {"type", ""}});
    for (const auto& game : all.json["data"]) {
        expectTexts(game, {"id", "gid", "uid", "name", "icon", "type", "h5_url", "fcbl"}, "mygames");
        expectTextArray(game["biaoqian"], "biaoqian");
        EXPECT_TRUE(game["point"].is_number());
        EXPECT_EQ(game["uid"], "1");
    }
    auto categories = client().postSigned("?ct=app2022&ac=fenlei");
    const auto& legend = categories.json["data"][2];  // 传奇
    auto inCategory = client().postSigned("?ct=app&ac=mygames", {{"type", legend["id"].get<std::string>()}});
    ASSERT_FALSE(inCategory.json["data"].empty());
    for (const auto& game : inCategory.json["data"]) EXPECT_EQ(game["type"], legend["name"]);

    auto byName = client().postSigned("?ct=app&ac=mygames", {{"keyword", "传奇"}});
    ASSERT_FALSE(byName.json["data"].empty());
    for (const auto& game : byName.json["data"]) {
        EXPECT_NE(game["name"].get<std::string>().find("传奇"), std::string::npos);
    }
    // Wildcard characters are searched as themselves.
    EXPECT_TRUE(client().postSigned("?ct=app&ac=mygames", {{"keyword", "%"}}).json["data"].empty());
    EXPECT_EQ(client().postSigned("?ct=app&ac=mygames", {{"type", "abc"}}).json["code"], 4);
}

TEST_F(ActionShapes, GiftBagsCarryNumbersForTheProgressAndTextsElsewhere) {
    auto answer = client().postSigned("?ct=app2022&ac=lb", {{"p", "1"}, {"keyword", ""}});
    ASSERT_FALSE(answer.json["data"].empty());
    for (const auto& bag : answer.json["data"]) {
        expectTexts(bag, {"id", "gid", "gname", "cardname", "type", "content", "meth", "bfb", "url", "bgimg"}, "lb");
        ASSERT_TRUE(bag["cate"].is_number());
        ASSERT_TRUE(bag["shengyu"].is_number());
        EXPECT_GT(bag["cate"].get<double>(), 0);
        EXPECT_LE(bag["shengyu"].get<double>(), bag["cate"].get<double>());
        EXPECT_EQ(bag["bfb"].get<std::string>().back(), '%');
    }
    auto searched = client().postSigned("?ct=app2022&ac=lb", {{"p", "1"}, {"keyword", "封神"}});
    for (const auto& bag : searched.json["data"]) EXPECT_EQ(bag["gname"], "封神召唤");
}

TEST_F(ActionShapes, ServerOpeningsCarryImagesAndTags) {
    auto answer = client().postSigned("?ct=app2022&ac=kaifu");
    ASSERT_FALSE(answer.json["data"].empty());
    for (const auto& opening : answer.json["data"]) {
        expectTexts(opening, {"game_id", "server_name", "status", "system_type", "gname", "point", "type", "time", "icon"},
                    "kaifu");
        expectTextArray(opening["imgs"], "imgs");
        EXPECT_FALSE(opening["imgs"].empty());
        expectTextArray(opening["biaoqian"], "biaoqian");
    }
}

TEST_F(ActionShapes, ChannelStatisticsListEachChannelWithItsShare) {
    for (const auto& [action, key] : {std::pair{"regment", "reg_type"}, std::pair{"payment", "payment"}}) {
        auto answer = client().postSigned(std::string("?ct=app2022&ac=") + action);
        const auto& data = answer.json["data"];
        ASSERT_FALSE(data["list"].empty()) << action;
        ASSERT_EQ(data["list"].size(), data[key].size());
        double shares = 0;
        for (std::size_t i = 0; i < data["list"].size(); ++i) {
            const auto& row = data["list"][i];
            EXPECT_TRUE(row["count"].is_number()) << action;
            EXPECT_EQ(row[key], data[key][i]) << action;
            shares += std::stod(row["bfb"].get<std::string>());
        }
        EXPECT_NEAR(shares, 100.0, 0.5) << action;
    }
}

TEST_F(ActionShapes, ImageAndNoticeAddressesLoad) {
    auto mine = client().postSigned("?ct=app2022&ac=my");
    const std::string base = backend_->baseURL();
    auto pathOf = [&](const nlohmann::json& address) {
        const std::string text = address.get<std::string>();
        EXPECT_EQ(text.rfind(base, 0), 0u) << text;
        return "/" + text.substr(base.size());
    };
    auto image = client().raw("GET", pathOf(mine.json["data"]["head"]), "", "");
    ASSERT_EQ(image.status, 200);
    EXPECT_EQ(image.body.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));

    auto page = client().raw("GET", pathOf(mine.json["data"]["news"][0]["url"]), "", "");
    ASSERT_EQ(page.status, 200);
    // The notice's title once, as the page's title, not again as its first line.
    const std::string title = mine.json["data"]["news"][0]["title"].get<std::string>();
    const std::string titleElement = "<title>" + title + "</title>";
    const std::size_t titled = page.body.find(titleElement);
    ASSERT_NE(titled, std::string::npos) << page.body;
    EXPECT_EQ(page.body.find(title, titled + titleElement.size()), std::string::npos) << page.body;
    EXPECT_EQ(client().raw("GET", "/notice/999999", "", "").status, 404);
}
