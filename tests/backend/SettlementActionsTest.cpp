#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "BackendClient.h"
#include "backend/Database.h"
#include "backend/ImageCaptions.h"

using SettlementActions = BackendTest;

namespace {

// Yuan text with two decimals as fen, for comparing amounts exactly.
long long cents(const nlohmann::json& yuan) {
    const std::string text = yuan.get<std::string>();
    const std::size_t point = text.find('.');
    return std::stoll(text.substr(0, point)) * 100 + std::stoll(text.substr(point + 1));
}

}  // namespace

TEST_F(SettlementActions, SettlementListStartsWithTheWithdrawnAmountInRows) {
    auto list = client().classicGet("jiesuan_list");
    ASSERT_EQ(list.json["code"], 1) << list.body;
    const auto& data = list.json["data"];
    ASSERT_TRUE(data["data"].is_array());
    EXPECT_EQ(data["number"], std::to_string(data["data"].size()));
    // The demo account has withdrawn 300.00: one settlement under review, one paid.
    EXPECT_EQ(data["money"], "300.00");
    ASSERT_EQ(data["data"].size(), 2u);
    const auto& newest = data["data"][0];
    for (const char* key : {"create_time", "icon", "id", "money", "state", "status", "time"}) {
        ASSERT_TRUE(newest[key].is_string()) << key;
    }
    EXPECT_EQ(newest["status"], "审核中");
    EXPECT_EQ(data["data"][1]["status"], "已结算");
    EXPECT_GE(newest["create_time"].get<std::string>(), data["data"][1]["create_time"].get<std::string>());
    EXPECT_EQ(newest["icon"].get<std::string>().rfind(backend_->baseURL(), 0), 0u);
    // The icons are marked with their state.
    auto database = backend::Database::open("");
    ASSERT_NE(database, nullptr);
    EXPECT_EQ(backend::imageCaption(*database, "settlement/state-0"), "审");
    EXPECT_EQ(backend::imageCaption(*database, "settlement/state-1"), "结");
    EXPECT_EQ(backend::imageCaption(*database, "settlement/state-2"), "驳");
    EXPECT_EQ(backend::imageCaption(*database, "settlement/state-7"), std::nullopt);

    // A promoter who has never withdrawn has an empty list.
    auto empty = client().classicGet("jiesuan_list", {}, {}, "5");
    EXPECT_EQ(empty.json["data"]["money"], "0.00");
    EXPECT_EQ(empty.json["data"]["number"], "0");
    EXPECT_TRUE(empty.json["data"]["data"].empty());
}

TEST_F(SettlementActions, ApplicationSignsTheAmountAndChecksIt) {
    const std::string available = client().classicGet("my").json["data"]["shareMoney"];
    ASSERT_GT(cents(available), 1000);

    // The amount is signed between uid and t: an unsigned amount is refused.
    auto unsignedAmount = client().classicGet("jiesuan", {}, {{"money", "20"}});
    EXPECT_EQ(unsignedAmount.json["code"], 2);
    EXPECT_EQ(client().classicGet("jiesuan").json["message"], "缺少参数 money");

    EXPECT_EQ(client().classicGet("jiesuan", {{"money", "9.99"}}).json["message"], "结算金额不能低于10元");
    EXPECT_EQ(client().classicGet("jiesuan", {{"money", "abc"}}).json["code"], 4);
    EXPECT_EQ(client().classicGet("jiesuan", {{"money", "10.001"}}).json["code"], 4);
    const std::string tooMuch = std::to_string(cents(available) / 100 + 1);
    auto refused = client().classicGet("jiesuan", {{"money", tooMuch}});
    EXPECT_EQ(refused.json["code"], 0);
    EXPECT_EQ(refused.json["message"], "可结算金额不足");
    // Nothing refused was recorded.
    EXPECT_EQ(client().classicGet("jiesuan_list").json["data"]["number"], "2");
    EXPECT_EQ(client().classicGet("my").json["data"]["shareMoney"], available);
}

TEST_F(SettlementActions, AnApplicationLeavesTheSettleableAmountOfEveryAnswer) {
    const long long before = cents(client().classicGet("my").json["data"]["shareMoney"]);
    ASSERT_EQ(client().classicGet("jiesuan", {{"money", "10"}}).json["code"], 1);
    EXPECT_EQ(cents(client().postSigned("?ct=app&ac=cps").json["data"]["shareMoney"]), before - 1000);
    EXPECT_EQ(cents(client().postSigned("?ct=app2022&ac=my").json["data"]["shareMoney"]), before - 1000);
    auto list = client().classicGet("jiesuan_list");
    EXPECT_EQ(list.json["data"]["money"], "310.00");
    EXPECT_EQ(list.json["data"]["data"][0]["status"], "审核中");
    // Another promoter's list is untouched.
    EXPECT_EQ(client().classicGet("jiesuan_list", {}, {}, "5").json["data"]["number"], "0");
}

namespace {

class RechargeActions : public BackendTest {
protected:
    BackendClient::Answer recharge(const std::string& money) { return client().classicGet("recharge", {{"money", money}}); }
    BackendClient::Answer status(const std::string& oid, const std::string& uid = "1") {
        return client().classicGet("recharge_log", {{"oid", oid}}, {}, uid);
    }
    std::string balance() { return client().classicGet("yufu").json["data"].get<std::string>(); }
    BackendClient::Answer fetch(const std::string& address, const httplib::Headers& headers = {}) {
        const std::string base = backend_->baseURL();
        EXPECT_EQ(address.rfind(base, 0), 0u) << address;
        return client().raw("GET", "/" + address.substr(base.size()), "", "", headers);
    }
};

}  // namespace

TEST_F(RechargeActions, ARechargeIsPaidThroughItsPaymentPageAndFillsTheBalanceOnce) {
    EXPECT_EQ(client().classicGet("recharge", {}, {{"money", "100"}}).json["code"], 2) << "the amount is signed";
    for (const char* bad : {"", "0", "abc", "-5", "1.234", "100001"}) EXPECT_EQ(recharge(bad).json["code"], 4) << bad;

    const std::string before = balance();
    auto order = recharge("100.5");
    ASSERT_EQ(order.json["code"], 1) << order.body;
    const std::string oid = order.json["data"]["oid"];
    const std::string url = order.json["data"]["url"];
    EXPECT_NE(url.find("/pay/recharge/" + oid), std::string::npos);
    EXPECT_EQ(status(oid).json["code"], 0);
    EXPECT_EQ(status(oid).json["message"], "订单未支付");

    auto page = fetch(url);
    ASSERT_EQ(page.status, 200);
    EXPECT_NE(page.body.find("应付金额 100.50 元"), std::string::npos);
    const auto [notify, amount] = paymentLink(page.body, oid);
    ASSERT_FALSE(notify.empty()) << page.body;
    // A top-up's notify address with the same number pays nothing here.
    EXPECT_EQ(paymentNotice(backend_->baseURL() + "pay/" + oid + "/notify", amount).json["code"], 4);
    EXPECT_EQ(status(oid).json["code"], 0);

    EXPECT_EQ(fetch(notify).json["code"], 4);
    EXPECT_EQ(paymentNotice(notify, amount).json["code"], 1);
    EXPECT_EQ(paymentNotice(notify, amount).json["code"], 1);
    auto paid = status(oid);
    EXPECT_EQ(paid.json["code"], 1);
    EXPECT_EQ(paid.json["data"]["money"], "100.50");
    EXPECT_EQ(cents(nlohmann::json(balance())), cents(nlohmann::json(before)) + 10050) << "counted once";
    EXPECT_NE(fetch(url).body.find("订单已支付"), std::string::npos);
    // Another promoter cannot ask about the order, nor about an unknown one.
    EXPECT_EQ(status(oid, "2").json["code"], 4);
    EXPECT_EQ(status("999999").json["code"], 4);
    EXPECT_EQ(client().raw("GET", "/pay/recharge/999999", "", "").status, 404);
}

TEST_F(RechargeActions, TheRechargeListPagesThroughPaidRechargesWithTotalAndCount) {
    auto first = client().classicGet("recharge_list", {}, {{"p", "1"}});
    ASSERT_EQ(first.json["code"], 1) << first.body;
    EXPECT_EQ(first.json["p"], 2);
    EXPECT_EQ(first.json["max_p"], 2);
    const auto& data = first.json["data"];
    EXPECT_EQ(data["num"], "14");
    ASSERT_EQ(data["list"].size(), 10u);
    for (const char* key : {"orderid", "status", "money", "order_time", "time1", "time2"}) {
        EXPECT_TRUE(data["list"][0][key].is_string()) << key;
    }
    EXPECT_EQ(data["list"][0]["time1"].get<std::string>().size(), 10u);  // YYYY-MM-DD
    EXPECT_EQ(data["list"][0]["time2"].get<std::string>().size(), 8u);   // HH:MM:SS
    long long listed = 0;
    for (const auto& row : data["list"]) listed += cents(row["money"]);
    auto second = client().classicGet("recharge_list", {}, {{"p", "2"}});
    EXPECT_EQ(second.json["p"], 3);
    ASSERT_EQ(second.json["data"]["list"].size(), 4u);
    for (const auto& row : second.json["data"]["list"]) listed += cents(row["money"]);
    EXPECT_EQ(cents(data["money"]), listed);
    EXPECT_EQ(client().classicGet("recharge_list", {}, {{"p", "0"}}).json["code"], 4);

    // An unpaid order is not a record; a paid one comes first.
    auto order = recharge("66");
    EXPECT_EQ(client().classicGet("recharge_list").json["data"]["num"], "14");
    auto page = fetch(order.json["data"]["url"].get<std::string>());
    const auto [notify, amount] = paymentLink(page.body, order.json["data"]["oid"].get<std::string>());
    paymentNotice(notify, amount);
    auto after = client().classicGet("recharge_list");
    EXPECT_EQ(after.json["data"]["num"], "15");
    EXPECT_EQ(after.json["data"]["list"][0]["money"], "66.00");
    EXPECT_EQ(cents(after.json["data"]["money"]), listed + 6600);
}

TEST_F(RechargeActions, TheTopUpListTotalsItsRowsAndIsThePromotersOwn) {
    auto list = client().classicGet("fuli_list");
    ASSERT_EQ(list.json["code"], 1) << list.body;
    long long listed = 0;
    for (const auto& row : list.json["data"]["list"]) listed += cents(row["money"]);
    EXPECT_EQ(cents(list.json["data"]["money"]), listed);
    EXPECT_EQ(list.json["data"]["number"], std::to_string(list.json["data"]["list"].size()));
    EXPECT_TRUE(client().classicGet("fuli_list", {}, {}, "2").json["data"]["list"].empty());
}
