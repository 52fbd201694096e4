#include <gtest/gtest.h>

#include "BackendClient.h"

using Signing = BackendTest;

TEST_F(Signing, DemoAccountSignsInWithTheFieldsTheAppStores) {
    auto answer = client().login("demo", "123456");
    ASSERT_EQ(answer.status, 200);
    EXPECT_EQ(answer.json["code"], 1);
    const auto& data = answer.json["data"];
    EXPECT_EQ(data["uid"], "1");  // the app concatenates the id into signatures: text
    EXPECT_EQ(data["username"], "demo");
    ASSERT_TRUE(data["head"].is_string());
    EXPECT_EQ(data["head"].get<std::string>().rfind(backend_->baseURL(), 0), 0u);
    EXPECT_TRUE(answer.json.contains("app"));
}

TEST_F(Signing, SignInRefusalsCarryAChineseMessage) {
    auto wrongPassword = client().login("demo", "654321");
    EXPECT_EQ(wrongPassword.json["code"], 0);
    EXPECT_EQ(wrongPassword.json["message"], "账号或密码错误");
    EXPECT_EQ(client().login("nobody", "123456").json["code"], 0);
    // A password is compared exactly: no trimming, no case folding.
    EXPECT_EQ(client().login("demo", "123456 ").json["code"], 0);
    EXPECT_EQ(client().login("DEMO", "123456").json["code"], 0);
    for (const char* none : {"", " \u3164"}) EXPECT_EQ(client().login(none, "123456").json["message"], "请输入账号") << none;
    EXPECT_EQ(client().login("demo", "").json["message"], "请输入密码");
}

TEST_F(Signing, SignInSignsAccountPasswordAndTimeNotTheUid) {
    const std::string t = BackendClient::timeText();
    BackendClient::Fields login{{"ct", "app"}, {"ac", "login"}, {"username", "demo"}, {"passwd", "123456"}, {"t", t}};
    auto unsigned_ = client().get(login);
    EXPECT_EQ(unsigned_.json["code"], 2);
    EXPECT_EQ(unsigned_.json["message"], "缺少签名");

    auto withUidSign = login;
    withUidSign.emplace("sign", BackendClient::promoterSign("1", t));
    EXPECT_EQ(client().get(withUidSign).json["message"], "签名错误");

    // The right digest but in upper case is not what the app sends.
    auto upper = login;
    std::string sign = BackendClient::md5("demo123456" + t + "qmvtrapezk42f17bnc");
    for (char& c : sign) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    upper.emplace("sign", sign);
    EXPECT_EQ(client().get(upper).json["code"], 2);
}

TEST_F(Signing, PostActionsCheckUidAndTime) {
    const std::string t = BackendClient::timeText();
    const std::string sign = BackendClient::promoterSign("1", t);
    EXPECT_EQ(client().post("?ct=app&ac=cps", {{"uid", "1"}, {"t", t}, {"sign", sign}}).json["code"], 1);

    auto missing = client().post("?ct=app&ac=cps", {{"uid", "1"}, {"t", t}});
    EXPECT_EQ(missing.json["code"], 2);
    EXPECT_EQ(missing.json["message"], "缺少签名");

    // Signed for another time, another user, or with the values swapped.
    const std::string later = std::to_string(std::stoll(t) + 1);
    EXPECT_EQ(client().post("?ct=app&ac=cps", {{"uid", "1"}, {"t", later}, {"sign", sign}}).json["message"], "签名错误");
    EXPECT_EQ(client().post("?ct=app&ac=cps", {{"uid", "2"}, {"t", t}, {"sign", sign}}).json["code"], 2);
    EXPECT_EQ(client()
                  .post("?ct=app&ac=cps", {{"uid", "1"}, {"t", t}, {"sign", BackendClient::md5(t + "1qmvtrapezk42f17bnc")}})
                  .json["code"],
              2);
    // A failure answer has no data to decode.
    EXPECT_TRUE(client().post("?ct=app&ac=cps", {{"uid", "1"}, {"t", t}, {"sign", "x"}}).json["data"].is_null());
}

TEST_F(Signing, OnlyUidAndTimeAreSignedOnListActions) {
    // The app signs neither the page, nor the keyword, nor the category.
    auto answer = client().postSigned("?ct=app&ac=mygames", {{"p", "2"}, {"keyword", "传奇"}, {"type", "3"}});
    EXPECT_EQ(answer.json["code"], 1);
}

TEST_F(Signing, ACorrectSignForAnUnknownOrSignedOutUserIsRefused) {
    auto unknown = client().postSigned("?ct=app2022&ac=my", {}, "999");
    EXPECT_EQ(unknown.json["code"], 3);
    EXPECT_EQ(unknown.json["message"], "用户不存在，请重新登录");
    // Signed out, the app sends an empty uid (and signs it).
    EXPECT_EQ(client().postSigned("?ct=app2022&ac=my", {}, "").json["code"], 3);
    EXPECT_EQ(client().postSigned("?ct=app2022&ac=my", {}, "1abc").json["code"], 3);
}

TEST_F(Signing, TimeMustBeWholeSeconds) {
    for (const std::string t : {"", "12.5", "-5", "abc", " 1700000000"}) {
        auto answer = client().post("?ct=app&ac=cps", {{"uid", "1"}, {"t", t}, {"sign", BackendClient::promoterSign("1", t)}});
        EXPECT_EQ(answer.json["code"], 4) << t;
        EXPECT_EQ(answer.json["message"], "参数 t 无效") << t;
    }
    auto noTime = client().post("?ct=app&ac=cps", {{"uid", "1"}, {"sign", "abc"}});
    EXPECT_EQ(noTime.json["message"], "缺少参数 t");
}

TEST_F(Signing, ATimeFarFromTheServersClockIsRefusedSoOldRequestsNeitherReplayNorResplit) {
    const long long now = std::stoll(BackendClient::timeText());
    auto settlementAt = [&](const std::string& money, long long t) {
        const std::string time = std::to_string(t);
        return client().get({{"ios", "1"}, {"ct", "app"}, {"ac", "jiesuan"}, {"uid", "1"}, {"money", money},
                             {"t", time}, {"sign", BackendClient::md5("1" + money + time + "qmvtrapezk42f17bnc")}});
    };
    for (long long skew : {-3600LL, -330LL, 330LL, 86400LL}) {
        auto refused = settlementAt("10", now + skew);
        EXPECT_EQ(refused.json["code"], 2) << skew;
        EXPECT_EQ(refused.json["message"], "请求已过期，请校准手机时间后重试") << skew;
    }
    // A request signed for 10 with its time, re-split so that the time's
    // first digits join the sum: the shorter time is far in the past.
    const std::string time = std::to_string(now);
    const std::string resplitTime = time.substr(2);
    auto resplit = client().get({{"ios", "1"}, {"ct", "app"}, {"ac", "jiesuan"}, {"uid", "1"},
                                 {"money", "10" + time.substr(0, 2)}, {"t", resplitTime},
                                 {"sign", BackendClient::md5("110" + time + "qmvtrapezk42f17bnc")}});
    EXPECT_EQ(resplit.json["code"], 2);
    EXPECT_NE(settlementAt("10", now - 60).json["code"], 2);
}

TEST_F(Signing, RepeatedWrongPasswordsLockTheAccountsSignInForAWhile) {
    for (int attempt = 0; attempt < 5; ++attempt) EXPECT_EQ(client().login("demo", "000000").json["code"], 0);
    auto locked = client().login("demo", "123456");
    EXPECT_EQ(locked.json["code"], 0);
    EXPECT_EQ(locked.json["message"], "密码错误次数过多，请15分钟后再试");
    // Other accounts are not held back, and a right password clears the count.
    EXPECT_EQ(client().login("zhoujie", "000000").json["code"], 0);
    EXPECT_EQ(client().login("zhoujie", "123456").json["code"], 1);
}

// A signed request that changes state acts once, whoever sends it again;
// another action that signs the same values is another request. A time with
// a leading zero would let the amount take a digit of it.
TEST_F(Signing, ARequestThatChangesStateActsOncePerActionAndItsTimeHasNoLeadingZero) {
    const std::string t = BackendClient::timeText();
    auto signedRequest = [&](const std::string& ac, BackendClient::Fields fields, const std::string& signedValues,
                             const std::string& time) {
        fields.insert({{"ios", "1"}, {"ct", "app"}, {"ac", ac}, {"uid", "1"}, {"t", time}});
        fields.emplace("sign", BackendClient::md5("1" + signedValues + time + "qmvtrapezk42f17bnc"));
        return client().get(fields);
    };
    const std::string settled = client().classicGet("jiesuan_list").json["data"]["number"];
    const std::string game = client().classicGet("fuli_game").json["data"][0]["id"];
    const std::string prepaid = client().classicGet("yufu").json["data"];
    for (int copy = 0; copy < 3; ++copy) {
        auto settlement = signedRequest("jiesuan", {{"money", "10"}}, "10", t);
        auto topUp = signedRequest("fuli", {{"username", "wanjia001"}, {"money", "10"}, {"gid", game}, {"type", "1"}},
                                   "wanjia00110" + game + "1", t);
        EXPECT_EQ(settlement.json["code"], copy == 0 ? 1 : 2) << settlement.body;
        EXPECT_EQ(topUp.json["code"], copy == 0 ? 1 : 2) << topUp.body;
        if (copy > 0) {
            EXPECT_EQ(settlement.json["message"], "该请求已处理，请勿重复提交");
        }
    }
    EXPECT_EQ(client().classicGet("jiesuan_list").json["data"]["number"], std::to_string(std::stoi(settled) + 1));
    // A recharge signs uid, money and t as the settlement does.
    auto recharge = signedRequest("recharge", {{"money", "10"}}, "10", t);
    EXPECT_EQ(recharge.json["code"], 1) << recharge.body;
    EXPECT_EQ(signedRequest("recharge", {{"money", "10"}}, "10", t).json["code"], 2);
    EXPECT_NE(client().classicGet("yufu").json["data"], prepaid);
    // Reading is not acting: the same signed read answers every time.
    for (int copy = 0; copy < 2; ++copy) EXPECT_EQ(signedRequest("yufu", {}, "", t).json["code"], 1);

    // 10 signed with "0<t>" joins as 100 with <t>.
    auto resplit = signedRequest("jiesuan", {{"money", "10"}}, "10", "0" + t);
    EXPECT_EQ(resplit.json["code"], 4);
    EXPECT_EQ(resplit.json["message"], "参数 t 无效");
}
