#include <gtest/gtest.h>

#include <set>

#include "BackendClient.h"

using Paging = BackendTest;

namespace {

// Every paged action of the app, with the fields its requests carry.
const std::vector<std::pair<std::string, BackendClient::Fields>> kPagedActions = {
    {"?ct=app2022&ac=mingxi", {}},
    {"?ct=app2022&ac=paihangbang", {}},
    {"?ct=app2022&ac=xiaofeibang", {}},
    {"?ct=app2022&ac=kaifu", {}},
    {"?ct=app&ac=mygames", {{"keyword", ""}, {"type", ""}}},
    {"?ct=app2022&ac=lb", {{"keyword", ""}}},
    {"?ct=app&ac=news", {}},
    {"?ct=app&ac=games", {{"keyword", ""}}},
};

BackendClient::Fields withPage(BackendClient::Fields fields, long long page) {
    fields.emplace("p", std::to_string(page));
    return fields;
}

}  // namespace

TEST_F(Paging, WalkingFromOneToMaxPageReadsEveryRowOnce) {
    for (const auto& [query, fields] : kPagedActions) {
        auto first = client().postSigned(query, withPage(fields, 1));
        ASSERT_TRUE(first.json["code"] == 1 || first.json["code"] == "1") << query;
        const long long last = first.json["max_p"].get<long long>();
        ASSERT_GE(last, 2) << query << ": the demo lists span several pages";
        std::set<std::string> seen;
        std::size_t rows = 0;
        for (long long page = 1; page <= last; ++page) {
            auto answer = client().postSigned(query, withPage(fields, page));
            ASSERT_TRUE(answer.json["data"].is_array()) << query;
            // `p` names the page to ask for next; `max_p` stays the last page.
            EXPECT_EQ(answer.json["p"], page + 1) << query;
            EXPECT_EQ(answer.json["max_p"], last) << query;
            EXPECT_LE(answer.json["data"].size(), 10u);
            if (page < last) {
                EXPECT_EQ(answer.json["data"].size(), 10u) << query;
            }
            for (const auto& row : answer.json["data"]) seen.insert(row.dump());
            rows += answer.json["data"].size();
        }
        EXPECT_GT(rows, 10u);
        EXPECT_EQ(seen.size(), rows) << query << ": a row came twice";

        auto past = client().postSigned(query, withPage(fields, last + 1));
        EXPECT_EQ(past.json["code"], 1) << query;
        EXPECT_TRUE(past.json["data"].is_array());
        EXPECT_TRUE(past.json["data"].empty());
        EXPECT_EQ(past.json["max_p"], last);
        auto farPast = client().postSigned(query, withPage(fields, 1'000'000'000));
        EXPECT_TRUE(farPast.json["data"].empty()) << query;
    }
}

TEST_F(Paging, AFirstPageWithoutPIsPageOne) {
    for (const auto& [query, fields] : kPagedActions) {
        auto implicit = client().postSigned(query, fields);
        auto explicitOne = client().postSigned(query, withPage(fields, 1));
        EXPECT_EQ(implicit.json["data"], explicitOne.json["data"]) << query;
        EXPECT_EQ(implicit.json["p"], 2) << query;
    }
}

TEST_F(Paging, MalformedPageNumbersAreRefused) {
    for (const std::string p : {"abc", "0", "-1", "1.5", " 2", "2 ", "", "99999999999999999999999", "0x10"}) {
        auto answer = client().postSigned("?ct=app2022&ac=mingxi", {{"p", p}});
        EXPECT_EQ(answer.json["code"], 4) << p;
        EXPECT_EQ(answer.json["message"], "页码无效") << p;
        EXPECT_TRUE(answer.json["data"].is_null()) << p;
    }
}

TEST_F(Paging, GiftBagCodeIsTextOnTheFirstPageAndANumberAfter) {
    auto first = client().postSigned("?ct=app2022&ac=lb", {{"p", "1"}, {"keyword", ""}});
    EXPECT_EQ(first.json["code"], "1");
    auto firstWithoutP = client().postSigned("?ct=app2022&ac=lb", {{"keyword", ""}});
    EXPECT_EQ(firstWithoutP.json["code"], "1");
    auto second = client().postSigned("?ct=app2022&ac=lb", {{"p", "2"}, {"keyword", ""}});
    EXPECT_EQ(second.json["code"], 1);
    // Refusals keep the numeric code.
    auto refused = client().postSigned("?ct=app2022&ac=lb", {{"p", "x"}});
    EXPECT_EQ(refused.json["code"], 4);
}

TEST_F(Paging, IncomeDetailsAddUpToTheAssetsSummary) {
    auto summary = client().postSigned("?ct=app&ac=cps");
    long long sales = 0, commission = 0;
    auto toCents = [](const nlohmann::json& yuan) {
        return std::llround(std::stod(yuan.get<std::string>()) * 100);
    };
    auto first = client().postSigned("?ct=app2022&ac=mingxi");
    for (long long page = 1; page <= first.json["max_p"].get<long long>(); ++page) {
        auto answer = client().postSigned("?ct=app2022&ac=mingxi", {{"p", std::to_string(page)}});
        for (const auto& row : answer.json["data"]) {
            sales += toCents(row["money"]);
            commission += toCents(row["fencheng"]);
        }
    }
    EXPECT_EQ(sales, toCents(summary.json["data"]["money"]));
    EXPECT_EQ(commission, toCents(summary.json["data"]["accumulate"]));
    EXPECT_EQ(commission - toCents(summary.json["data"]["withdraw"]), toCents(summary.json["data"]["shareMoney"]));
}

TEST_F(Paging, RankingsAreOrderedAndNumberedAcrossPages) {
    for (const auto& [query, measure] : {std::pair{"?ct=app2022&ac=paihangbang", "count"},
                                         std::pair{"?ct=app2022&ac=xiaofeibang", "money"}}) {
        double previous = 1e18;
        long long place = 0;
        for (long long page = 1; page <= 2; ++page) {
            auto answer = client().postSigned(query, {{"p", std::to_string(page)}});
            for (const auto& row : answer.json["data"]) {
                const double value = std::stod(row[measure].get<std::string>());
                EXPECT_LE(value, previous) << query;
                previous = value;
                EXPECT_EQ(row["note"], std::to_string(++place)) << query;
            }
        }
        EXPECT_GT(place, 10);
    }
}
