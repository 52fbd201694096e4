#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "BackendClient.h"
#include "BlankTexts.h"

namespace {

// The classic screens' GET: ios, ct "app", ac, t, uid and the sign over
// uid, the action's signed fields in order, t and the key.
class PaymentActions : public BackendTest {
protected:
    BackendClient::Answer send(const std::string& action, const std::vector<std::pair<std::string, std::string>>& own,
                               std::size_t signedCount, const std::string& uid = "1") {
        const std::string t = BackendClient::timeText();
        std::string signing = uid;
        for (std::size_t i = 0; i < signedCount; ++i) signing += own[i].second;
        BackendClient::Fields query{{"ios", "1"}, {"ct", "app"},  {"ac", action}, {"t", t},
                                    {"uid", uid}, {"sign", BackendClient::md5(signing + t + "qmvtrapezk42f17bnc")}};
        for (const auto& field : own) query.emplace(field.first, field.second);
        return client().get(query);
    }
    BackendClient::Answer topUp(const std::string& money, const std::string& type, const std::string& gid = "1",
                                const std::string& account = "wanjia001") {
        return send("fuli", {{"username", account}, {"money", money}, {"gid", gid}, {"type", type}}, 4);
    }
    BackendClient::Answer status(const std::string& oid, const std::string& uid = "1") {
        return send("fuli_status", {{"oid", oid}}, 1, uid);
    }
    std::string balance() { return send("yufu", {}, 0).json["data"].get<std::string>(); }
    BackendClient::Answer fetch(const std::string& address, const httplib::Headers& headers = {}) {
        const std::string base = backend_->baseURL();
        EXPECT_EQ(address.rfind(base, 0), 0u) << address;
        return client().raw("GET", "/" + address.substr(base.size()), "", "", headers);
    }
};

// A top-up goes to the account the records show: the blanks around it go,
// an account in which nothing draws, or with a control or invisible
// character inside, is charged nothing.
TEST_F(PaymentActions, TheAccountIsKeptAsItShowsAndABlankOneIsChargedNothing) {
    for (const std::string& blank : blankTexts()) {
        auto refused = topUp("10", "1", "1", blank);
        EXPECT_EQ(refused.json["code"], 4) << refused.body;
        EXPECT_EQ(refused.json["message"], "游戏账号不能为空") << refused.body;
    }
    EXPECT_EQ(topUp("10", "1", "1", "play\u007Fer1").json["message"], "游戏账号含有无效字符");
    EXPECT_EQ(topUp("10", "1", "1", "play\u200Ber1").json["message"], "游戏账号含有不可见字符");
    EXPECT_EQ(balance(), "1200.00") << "nothing charged";
    std::set<std::string> orders;
    for (const char* account : {"player1 ", "\u3164player1\u200B"}) {
        auto order = topUp("10", "1", "1", account);
        ASSERT_EQ(order.json["code"], 1) << order.body;
        orders.insert(order.json["data"]["oid"].get<std::string>());
    }
    const auto records = send("fuli_list", {}, 0).json["data"]["list"];
    for (const auto& record : records)
        if (orders.erase(record["orderid"].get<std::string>()) > 0) {
            EXPECT_EQ(record["user_name"], "player1");
        }
    EXPECT_TRUE(orders.empty()) << "both listed";
}

// The account topped up is the one typed, with the joiners and selectors
// that belong to its characters.
TEST_F(PaymentActions, TheAccountIsChargedAndListedAsTyped) {
    std::map<std::string, std::string> accounts;  // by order id
    for (const std::string& account : typedNames()) {
        auto order = topUp("10", "1", "1", account);
        ASSERT_EQ(order.json["code"], 1) << account << order.body;
        accounts[order.json["data"]["oid"].get<std::string>()] = account;
    }
    const auto records = send("fuli_list", {}, 0).json["data"]["list"];
    for (const auto& record : records) {
        auto account = accounts.find(record["orderid"].get<std::string>());
        if (account == accounts.end()) continue;
        EXPECT_EQ(record["user_name"], account->second);
        accounts.erase(account);
    }
    EXPECT_TRUE(accounts.empty()) << "all listed";
}

TEST_F(PaymentActions, BalanceAndDiscountGamesWithTheirKeywordSearch) {
    EXPECT_EQ(balance(), "1200.00");

    auto games = send("fuli_game", {{"keyword", ""}}, 0);
    ASSERT_EQ(games.json["code"], 1);
    ASSERT_EQ(games.json["data"].size(), 18u);
    for (const auto& game : games.json["data"]) {
        for (const char* key : {"fcbl", "icon", "id", "name"}) EXPECT_TRUE(game[key].is_string()) << key;
        ASSERT_TRUE(game["zhekou"].is_number());
        EXPECT_GT(game["zhekou"].get<double>(), 0);
        EXPECT_LT(game["zhekou"].get<double>(), 1);
    }
    EXPECT_EQ(games.json["data"][0]["zhekou"], 0.3);
    EXPECT_EQ(games.json["data"][2]["zhekou"], 0.29);

    // The keyword is sent beside the signed fields, as typed, spaces and all.
    auto legends = send("fuli_game", {{"keyword", "传奇"}}, 0);
    ASSERT_EQ(legends.json["code"], 1);
    ASSERT_EQ(legends.json["data"].size(), 2u);
    for (const auto& game : legends.json["data"])
        EXPECT_NE(game["name"].get<std::string>().find("传奇"), std::string::npos);
    EXPECT_TRUE(send("fuli_game", {{"keyword", "传 奇"}}, 0).json["data"].empty());
}

TEST_F(PaymentActions, AnOnlineOrderIsPaidWhenThePaymentAppVisitsItsNotifyAddress) {
    auto order = topUp("100", "0");
    ASSERT_EQ(order.json["code"], 1) << order.body;
    const std::string oid = order.json["data"]["oid"].get<std::string>();
    const std::string url = order.json["data"]["url"].get<std::string>();
    EXPECT_EQ(status(oid).json["code"], 0);
    EXPECT_EQ(status(oid).json["message"], "订单未支付");

    auto page = fetch(url);
    ASSERT_EQ(page.status, 200);
    EXPECT_NE(page.body.find("应付金额 70.00 元"), std::string::npos);
    const auto [notify, amount] = paymentLink(page.body, oid);
    ASSERT_FALSE(notify.empty()) << page.body;
    EXPECT_EQ(amount, "70.00");
    EXPECT_NE(page.body.find("alipay://alipayclient/?oid=" + oid + "&amp;amount=70.00"), std::string::npos);

    // Only the order's key opens its page: other orders cannot be read by
    // counting their numbers.
    const std::string bare = url.substr(0, url.find("?key="));
    EXPECT_EQ(fetch(bare).status, 404);
    EXPECT_EQ(fetch(bare + "?key=0123").status, 404);

    // What the page shows pays nothing (a client reads it all), nor does the
    // provider's secret sent as it is (whoever receives it could pay any
    // order), another secret's signature, or the provider's for an amount
    // that is not the one due; the provider's notice of the amount due pays
    // once, for good.
    EXPECT_EQ(fetch(notify).json["code"], 4);
    EXPECT_EQ(fetch(notify, {{"X-Payment-Secret", backend_->paymentProviderSecret()}}).json["code"], 4);
    EXPECT_EQ(paymentNotice(notify, amount, "0123").json["message"], "支付通知无效");
    EXPECT_EQ(paymentNotice(notify, "0.01").json["message"], "支付金额不符");
    EXPECT_EQ(status(oid).json["code"], 0);
    EXPECT_EQ(paymentNotice(notify, amount).json["code"], 1);
    EXPECT_EQ(paymentNotice(notify, amount).json["code"], 1);
    EXPECT_EQ(status(oid).json["code"], 1);
    // Another promoter cannot see the order; the balance was not touched.
    EXPECT_EQ(status(oid, "2").json["code"], 4);
    EXPECT_EQ(balance(), "1200.00");
    // The paid order's page offers no payment links any more.
    auto paidPage = fetch(url);
    EXPECT_NE(paidPage.body.find("订单已支付"), std::string::npos);
    EXPECT_EQ(paidPage.body.find("ripple://"), std::string::npos);
    EXPECT_EQ(client().raw("GET", "/pay/999999", "", "").status, 404);
}

TEST_F(PaymentActions, APrepaidOrderIsPaidFromTheBalanceOrRefused) {
    auto order = topUp("100", "1");
    ASSERT_EQ(order.json["code"], 1) << order.body;
    EXPECT_NE(order.json["message"].get<std::string>().find("代充成功"), std::string::npos);
    EXPECT_EQ(status(order.json["data"]["oid"].get<std::string>()).json["code"], 1);
    EXPECT_EQ(balance(), "1130.00");

    auto tooMuch = topUp("5000", "1");
    EXPECT_EQ(tooMuch.json["code"], 0);
    EXPECT_EQ(tooMuch.json["message"], "预付款余额不足");
    EXPECT_EQ(balance(), "1130.00");
}

// An order whose discounted price rounds to 0.00 would be stored paid with
// nothing: 0.01 yuan at 58 % off (0.0042) is refused, at 30 % off (0.007,
// charged 0.01) it is an order.
TEST_F(PaymentActions, AnOrderDueNothingIsRefused) {
    const auto games = send("fuli_game", {}, 0).json["data"];
    ASSERT_EQ(games[3]["zhekou"], 0.58);
    const std::string steep = games[3]["id"];
    for (const char* type : {"0", "1"}) {
        auto refused = topUp("0.01", type, steep);
        EXPECT_EQ(refused.json["code"], 4) << refused.body;
        EXPECT_EQ(refused.json["message"], "支付金额至少0.01元");
    }
    EXPECT_EQ(topUp("0.02", "1", steep).json["code"], 1) << "0.0084 is charged 0.01";
    EXPECT_EQ(topUp("0.01", "1").json["code"], 1);
    EXPECT_EQ(balance(), "1199.98");
}

TEST_F(PaymentActions, OrdersAreSignedOverTheirFieldsAndCheckedBeforeAnythingIsStored) {
    // Signed in the default order (uid, t), the order is refused.
    auto defaultSigned = send("fuli", {{"username", "a"}, {"money", "10"}, {"gid", "1"}, {"type", "0"}}, 0);
    EXPECT_EQ(defaultSigned.json["code"], 2);
    EXPECT_EQ(send("fuli_status", {{"oid", "1"}}, 0).json["code"], 2);

    for (const char* money : {"abc", "0", "0.00", "-5", "1.234", "1e3", " 10", "100000.01"}) {
        auto refused = topUp(money, "0");
        EXPECT_EQ(refused.json["code"], 4) << money;
        EXPECT_EQ(refused.json["message"], "充值金额无效") << money;
    }
    EXPECT_EQ(topUp("0.5", "0").json["code"], 1);
    EXPECT_EQ(topUp("10", "2").json["message"], "参数 type 无效");
    // Game 24 is not among the demo account's games.
    EXPECT_EQ(topUp("10", "0", "24").json["message"], "游戏不存在");
    EXPECT_EQ(topUp("10", "0", "x").json["message"], "游戏不存在");
    EXPECT_EQ(topUp("10", "0", "1", "").json["code"], 4);
    EXPECT_EQ(status("abc").json["message"], "订单不存在");
    EXPECT_EQ(balance(), "1200.00");
}

}  // namespace
