#include <gtest/gtest.h>

#include "BackendClient.h"

namespace {

// The report actions, asked for as the classic screens ask: a signed GET.
class ReportActions : public BackendTest {
protected:
    BackendClient::Answer ask(const std::string& action, const BackendClient::Fields& extra = {}) {
        const std::string t = BackendClient::timeText();
        BackendClient::Fields query{{"ios", "1"}, {"ct", "app"}, {"ac", action}, {"t", t}, {"uid", "1"},
                                    {"sign", BackendClient::promoterSign("1", t)}};
        query.insert(extra.begin(), extra.end());
        return client().get(query);
    }

    // Every page of a paged action, checking the paging fields on the way.
    std::vector<nlohmann::json> allRows(const std::string& action) {
        std::vector<nlohmann::json> rows;
        for (int page = 1;; ++page) {
            auto answer = ask(action, {{"p", std::to_string(page)}});
            EXPECT_EQ(answer.json["code"], 1) << action;
            EXPECT_EQ(answer.json["p"], page + 1) << action;
            for (auto& row : answer.json["data"]) rows.push_back(row);
            if (page >= answer.json["max_p"].get<int>() || page > 50) return rows;
        }
    }
};

void expectTexts(const nlohmann::json& object, std::initializer_list<const char*> keys, const std::string& where) {
    for (const char* key : keys) {
        ASSERT_TRUE(object.contains(key)) << where << " lacks " << key;
        EXPECT_TRUE(object[key].is_string()) << where << "." << key << " = " << object[key];
    }
}

}  // namespace

TEST_F(ReportActions, PlayerReportsPageThroughTheDemoPromotersPlayers) {
    auto registrations = allRows("reg");
    ASSERT_GT(registrations.size(), 10u);  // more than one page
    for (const auto& row : registrations)
        expectTexts(row, {"user_id", "reg_gname", "reg_time", "reg_canal", "username", "phone", "time"}, "reg");
    // Newest first.
    EXPECT_GE(std::stoll(registrations.front()["reg_time"].get<std::string>()),
              std::stoll(registrations.back()["reg_time"].get<std::string>()));

    auto topUps = allRows("pay");
    ASSERT_FALSE(topUps.empty());
    for (const auto& row : topUps) expectTexts(row, {"uid", "money", "paymoney", "appid", "username", "time", "gname"}, "pay");

    auto roles = allRows("role");
    ASSERT_FALSE(roles.empty());
    for (const auto& row : roles) {
        expectTexts(row, {"charid", "game", "id", "member", "role_name", "serverid", "servername", "username"}, "role");
        EXPECT_TRUE(row["level"].is_number_integer());
        EXPECT_EQ(row["member"], "演示推广员");
    }
}

TEST_F(ReportActions, ShareTableStartsWithItsTitleRowAndPagesArraysOfTexts) {
    auto rows = allRows("fcbl");
    ASSERT_EQ(rows.size(), 19u);  // the title row and the demo promoter's 18 games
    EXPECT_EQ(rows[0], nlohmann::json::array({"游戏", "平台", "分成比例", "下级分成"}));
    for (const auto& row : rows) {
        ASSERT_TRUE(row.is_array());
        EXPECT_EQ(row.size(), 4u);
    }
    // A page past the end is empty, a malformed one refused.
    EXPECT_TRUE(ask("fcbl", {{"p", "3"}}).json["data"].empty());
    EXPECT_EQ(ask("fcbl", {{"p", "x"}}).json["code"], 4);
}

TEST_F(ReportActions, CommissionsAndRankingAddUpTheOrders) {
    auto commissions = ask("fencheng");
    ASSERT_EQ(commissions.json["code"], 1);
    const auto& entries = commissions.json["data"];
    ASSERT_FALSE(entries.empty());
    double income = 0;
    for (const auto& entry : entries) {
        expectTexts(entry, {"name", "money", "income", "settled"}, "fencheng");
        EXPECT_GE(entry["number"].get<int>(), 1);
        EXPECT_LE(std::stod(entry["settled"].get<std::string>()), std::stod(entry["income"].get<std::string>()));
        income += std::stod(entry["income"].get<std::string>());
    }

    auto ranking = ask("paihang");
    ASSERT_EQ(ranking.json["code"], 1);
    const auto& data = ranking.json["data"];
    expectTexts(data["my"], {"num", "money"}, "my");
    EXPECT_NEAR(std::stod(data["my"]["money"].get<std::string>()), income, 0.01);
    const auto& list = data["list"];
    ASSERT_GE(list.size(), 8u);  // every demo promoter
    for (std::size_t i = 0; i < list.size(); ++i) {
        expectTexts(list[i], {"icon", "id", "money", "username"}, "list");
        EXPECT_EQ(list[i]["icon"].get<std::string>().empty(), i >= 3) << i;
        if (i > 0) {
            EXPECT_GE(std::stod(list[i - 1]["money"].get<std::string>()), std::stod(list[i]["money"].get<std::string>()));
        }
    }
}

TEST_F(ReportActions, RefuseAnUnsignedRequest) {
    auto answer = client().get({{"ios", "1"}, {"ct", "app"}, {"ac", "reg"}, {"t", BackendClient::timeText()}, {"uid", "1"}});
    EXPECT_EQ(answer.json["code"], 2);
}
