#include <gtest/gtest.h>

#include "BackendClient.h"

// The GET actions of the earlier dashboards and the real-name check.
class DashboardActions : public BackendTest {
protected:
    // A GET signed as the classic screens sign: MD5(uid + t + key).
    BackendClient::Answer getSigned(const std::string& action, const std::string& uid = "1") {
        const std::string t = BackendClient::timeText();
        return client().get({{"ios", "1"}, {"ct", "app"}, {"ac", action}, {"t", t}, {"uid", uid},
                             {"sign", BackendClient::promoterSign(uid, t)}});
    }
};

namespace {

// uid 2 (李明) is verified, the demo account (uid 1) is not; uid 8 (孙丽)
// is the account kind that handles no money.
constexpr const char* kVerified = "2";
constexpr const char* kNoMoney = "8";

void expectTile(const nlohmann::json& tile, bool typeIsText, const std::string& where) {
    EXPECT_TRUE(tile["image"].is_string()) << where;
    EXPECT_TRUE(tile["title"].is_string()) << where;
    EXPECT_EQ(tile["type"].is_string(), typeIsText) << where << tile;
}

}  // namespace

TEST_F(DashboardActions, RealNameStatusFollowsTheStoredRecord) {
    auto unverified = getSigned("shiming");
    EXPECT_NE(unverified.json["code"], 1);
    EXPECT_FALSE(unverified.json["message"].get<std::string>().empty());
    EXPECT_EQ(getSigned("shiming", kVerified).json["code"], 1);
    // Signed out: refused as an unknown user, not as "verified".
    EXPECT_EQ(getSigned("shiming", "").json["code"], 3);
}

TEST_F(DashboardActions, MyPageCarriesTheAccountTheFunctionsAndWhetherMoneyShows) {
    auto answer = getSigned("my");
    ASSERT_EQ(answer.json["code"], 1);
    EXPECT_EQ(answer.json["pay"], 1);
    const auto& data = answer.json["data"];
    for (const char* key : {"username", "head", "shareMoney", "yufu", "money"}) {
        EXPECT_TRUE(data[key].is_string()) << key;
    }
    EXPECT_EQ(data["username"], "demo");
    // The prepaid balance of the demo account is 1200 yuan.
    EXPECT_EQ(data["yufu"], "1200.00");
    ASSERT_FALSE(data["function"].empty());
    EXPECT_LE(data["function"].size(), 8u);
    for (const auto& tile : data["function"]) expectTile(tile, true, "my function");
    // The same figures as the Mine tab's own action.
    auto mine = client().postSigned("?ct=app2022&ac=my");
    EXPECT_EQ(data["shareMoney"], mine.json["data"]["shareMoney"]);

    EXPECT_EQ(getSigned("my", kNoMoney).json["pay"], 2);
}

TEST_F(DashboardActions, HomeDashboardHasCardsTilesAndAConsistentPlayerSplit) {
    auto answer = getSigned("index");
    ASSERT_EQ(answer.json["code"], 1);
    const auto& data = answer.json["data"];
    ASSERT_EQ(data["recharge"].size(), 4u);
    for (const auto& card : data["recharge"]) {
        EXPECT_TRUE(card["money"].is_string());
        EXPECT_TRUE(card["title"].is_string());
    }
    // Today's takings are part of the last seven days', which are part of all.
    auto yuan = [&](std::size_t i) { return std::stod(data["recharge"][i]["money"].get<std::string>()); };
    EXPECT_LE(yuan(0), yuan(2));
    EXPECT_LE(yuan(2), yuan(3));
    EXPECT_GT(yuan(3), 0);

    ASSERT_EQ(data["function"].size(), 8u);
    for (const auto& tile : data["function"]) {
        expectTile(tile, false, "index function");
        EXPECT_GE(tile["type"].get<int>(), 0);
        EXPECT_LE(tile["type"].get<int>(), 10);
    }
    const auto& statistics = data["statistics"];
    const long total = std::stol(statistics["totalPeople"].get<std::string>());
    const long payers = std::stol(statistics["data"]["number"].get<std::string>());
    ASSERT_GT(total, 0);
    EXPECT_GT(payers, 0);
    EXPECT_LE(payers, total);
    EXPECT_NEAR(std::stod(statistics["data"]["percent"].get<std::string>()), payers * 100.0 / total, 0.01);
    EXPECT_TRUE(statistics["data"]["title"].is_string());
}

TEST_F(DashboardActions, ManagementSectionsHoldAtMostARowOfTilesEach) {
    auto answer = getSigned("guanli");
    ASSERT_EQ(answer.json["code"], 1);
    ASSERT_GE(answer.json["data"].size(), 3u);
    for (const auto& section : answer.json["data"]) {
        EXPECT_TRUE(section["title"].is_string());
        ASSERT_FALSE(section["list"].empty());
        EXPECT_LE(section["list"].size(), 4u);
        for (const auto& tile : section["list"]) expectTile(tile, true, "guanli");
    }
}

TEST_F(DashboardActions, PromotionRowsShrinkForAnAccountWithoutMoney) {
    EXPECT_EQ(client().postSigned("?ct=app&ac=cps").json["data"]["show"], 4);
    EXPECT_EQ(client().postSigned("?ct=app&ac=cps", {}, kNoMoney).json["data"]["show"], 2);
}

TEST_F(DashboardActions, EveryActionChecksTheSignature) {
    for (const char* action : {"shiming", "my", "index", "guanli"}) {
        auto answer = client().get({{"ios", "1"}, {"ct", "app"}, {"ac", action}, {"t", "1700000000"},
                                    {"uid", "1"}, {"sign", "0123"}});
        EXPECT_EQ(answer.json["code"], 2) << action;
    }
}
