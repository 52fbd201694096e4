#include <gtest/gtest.h>

#include <map>

#include "BackendClient.h"
#include "BlankTexts.h"
#include "tests/support/Eventually.h"

// The account pages' GET actions: the profile record and its one-time
// fields, the password, the real-name form and the contacts.
class AccountPageActions : public BackendTest {
protected:
    BackendClient::Answer getSigned(const std::string& action, const BackendClient::Fields& own = {},
                                    const std::string& uid = "1") {
        const std::string t = BackendClient::timeText();
        BackendClient::Fields query{{"ios", "1"}, {"ct", "app"}, {"ac", action}, {"t", t}, {"uid", uid},
                                    {"sign", BackendClient::promoterSign(uid, t)}};
        query.insert(own.begin(), own.end());
        return client().get(query);
    }
    nlohmann::json profile(const std::string& uid = "1") { return getSigned("my_config", {}, uid).json["data"]; }
};

TEST_F(AccountPageActions, ProfileFieldsAreFilledInOnceAndThenLocked) {
    auto data = profile();
    for (const char* key : {"head", "username", "pal", "phone", "email", "bank_id", "bank_user", "address"}) {
        EXPECT_TRUE(data[key].is_string()) << key;
    }
    EXPECT_EQ(data["username"], "演示推广员");
    EXPECT_EQ(data["phone"], "13800138000");
    EXPECT_EQ(data["email"], "");

    EXPECT_EQ(getSigned("my_edit", {{"email", "demo@example.com"}}).json["code"], 1);
    EXPECT_EQ(profile()["email"], "demo@example.com");
    auto again = getSigned("my_edit", {{"email", "other@example.com"}});
    EXPECT_EQ(again.json["code"], 0);
    EXPECT_EQ(again.json["message"], "信息添加后禁止修改");
    EXPECT_EQ(profile()["email"], "demo@example.com");
    EXPECT_EQ(profile("2")["email"], "liming@example.com") << "one promoter's edit leaves the others alone";
}

TEST_F(AccountPageActions, ProfileEditsRefuseMalformedRequests) {
    EXPECT_EQ(getSigned("my_edit").json["code"], 4) << "no field";
    EXPECT_EQ(getSigned("my_edit", {{"address", ""}}).json["code"], 4);
    EXPECT_EQ(getSigned("my_edit", {{"address", "a"}, {"bank_user", "b"}}).json["code"], 4);
    EXPECT_EQ(getSigned("my_edit", {{"address", std::string(101, 'a')}}).json["code"], 4);
    EXPECT_EQ(getSigned("my_edit", {{"email", "no-at-sign"}}).json["code"], 0);
    EXPECT_EQ(getSigned("my_edit", {{"username", "x"}}).json["code"], 4) << "the nickname is not editable";
    // Column names never come from the request.
    EXPECT_EQ(getSigned("my_edit", {{"pal = 'x', phone", "1"}}).json["code"], 4);
    auto record = profile();
    EXPECT_EQ(record["address"], "");
    EXPECT_EQ(record["bank_user"], "");
    EXPECT_EQ(record["email"], "");
}

// A value in which nothing draws is empty: refused, so that it cannot lock
// the field with nothing in it or verify the promoter with no name. What is
// kept is what shows: the blanks around it go, a control character or an
// invisible one inside refuses it.
TEST_F(AccountPageActions, ProfileValuesAreKeptAsTheyShowAndBlankOnesLockNothing) {
    for (const std::string& blank : blankTexts()) {
        auto refused = getSigned("my_edit", {{"bank_user", blank}});
        EXPECT_EQ(refused.json["code"], 4) << refused.body;
        EXPECT_EQ(refused.json["message"], "内容不能为空") << refused.body;
    }
    EXPECT_EQ(getSigned("my_edit", {{"address", "北京\u0001路"}}).json["message"], "内容含有无效字符");
    EXPECT_EQ(getSigned("my_edit", {{"address", "北京\u200B路"}}).json["message"], "内容含有不可见字符");
    EXPECT_EQ(profile()["bank_user"], "");
    EXPECT_EQ(profile()["address"], "");
    EXPECT_EQ(getSigned("my_edit", {{"bank_user", "\u3164\u3000张\u00A0三\u200B\n"}}).json["code"], 1);
    EXPECT_EQ(profile()["bank_user"], "张 三");
    // A joiner, a selector or a prepended mark that belongs to a character
    // that draws is kept as typed.
    const std::map<std::string, std::string> typed = {
        {"address", "\u0600١٢٣"}, {"bank_id", "❤\uFE0F"}, {"email", "👨\u200D👩\u200D👧@例子.中国"}};
    for (const auto& [field, value] : typed) {
        EXPECT_EQ(getSigned("my_edit", {{field, " " + value + " "}}).json["code"], 1) << field;
        EXPECT_EQ(profile()[field], value) << field;
    }
}

TEST_F(AccountPageActions, RealNamesAreKeptAsTheyShowAndBlankOnesVerifyNothing) {
    const std::string idcard = "110101199001011234";
    for (const std::string& blank : blankTexts()) {
        auto refused = getSigned("shiming_edit", {{"name", blank}, {"idcard", idcard}});
        EXPECT_EQ(refused.json["message"], "姓名不能为空") << refused.body;
    }
    EXPECT_EQ(getSigned("shiming_edit", {{"name", std::string("张") + '\0' + "三"}, {"idcard", idcard}}).json["message"], "姓名含有无效字符");
    EXPECT_EQ(getSigned("shiming_edit", {{"name", "张\u200E三"}, {"idcard", idcard}}).json["message"], "姓名含有不可见字符");
    EXPECT_NE(getSigned("shiming").json["code"], 1) << "not verified by any of them";
    EXPECT_EQ(getSigned("shiming_edit", {{"name", "\u3164ශ්\u200Dරීමතී "}, {"idcard", idcard}}).json["code"], 1);
    EXPECT_EQ(getSigned("shiming").json["code"], 1);
}

TEST_F(AccountPageActions, PasswordChangesNeedTheOldPassword) {
    auto wrong = getSigned("my_edit", {{"oldpasswd", "nope"}, {"passwd", "newpassword"}});
    EXPECT_EQ(wrong.json["code"], 0);
    EXPECT_EQ(wrong.json["message"], "旧密码错误");
    EXPECT_EQ(getSigned("my_edit", {{"oldpasswd", "123456"}, {"passwd", "short"}}).json["code"], 0);
    EXPECT_EQ(getSigned("my_edit", {{"passwd", "newpassword"}}).json["code"], 4);
    EXPECT_EQ(client().login("demo", "123456").json["code"], 1) << "refusals change nothing";

    auto changed = getSigned("my_edit", {{"oldpasswd", "123456"}, {"passwd", "newpassword"}});
    EXPECT_EQ(changed.json["code"], 1);
    EXPECT_EQ(changed.json["message"], "密码修改成功");
    EXPECT_NE(client().login("demo", "123456").json["code"], 1);
    EXPECT_EQ(client().login("demo", "newpassword").json["code"], 1);

    // A password can be set exactly when it can be signed in with.
    const std::string longest(100, 'p');
    auto tooLong = getSigned("my_edit", {{"oldpasswd", "newpassword"}, {"passwd", longest + "p"}});
    EXPECT_EQ(tooLong.json["message"], "密码不能超过100个字节");
    EXPECT_EQ(client().login("demo", longest + "p").json["message"], "密码不能超过100个字节");
    EXPECT_EQ(getSigned("my_edit", {{"oldpasswd", "newpassword"}, {"passwd", longest}}).json["code"], 1);
    EXPECT_EQ(client().login("demo", longest).json["code"], 1);
}

TEST_F(AccountPageActions, RealNameVerificationStoresTheRecordOnce) {
    EXPECT_EQ(getSigned("shiming_edit", {{"name", "张三"}, {"idcard", "12345678901234"}}).json["code"], 0);
    EXPECT_EQ(getSigned("shiming_edit", {{"name", "张三"}, {"idcard", "11010119900101123A"}}).json["code"], 0);
    EXPECT_EQ(getSigned("shiming_edit", {{"idcard", "110101199001011234"}}).json["code"], 4);
    EXPECT_NE(getSigned("shiming").json["code"], 1);

    EXPECT_EQ(getSigned("shiming_edit", {{"name", "张三"}, {"idcard", "11010119900101123X"}}).json["code"], 1);
    EXPECT_EQ(getSigned("shiming").json["code"], 1);
    auto twice = getSigned("shiming_edit", {{"name", "李四"}, {"idcard", "110101199001011234"}});
    EXPECT_EQ(twice.json["code"], 0);
    EXPECT_EQ(twice.json["message"], "您已经实名认证");
}

TEST_F(AccountPageActions, ContactsNeedNoSignature) {
    auto answer = client().get({{"ios", "1"}, {"ct", "app"}, {"ac", "kefu"}});
    ASSERT_EQ(answer.json["code"], 1);
    for (const char* key : {"icon", "gzh", "time", "phone", "pal"}) EXPECT_TRUE(answer.json["data"][key].is_string()) << key;
    httplib::Client images("127.0.0.1", backend_->port());
    waitingForAnswers(images);
    auto logo = images.Get("/static/kefu/logo.png");
    ASSERT_TRUE(logo);
    EXPECT_EQ(logo->status, 200);
    // The other account actions still check their signature.
    EXPECT_EQ(client().get({{"ios", "1"}, {"ct", "app"}, {"ac", "my_config"}, {"uid", "1"},
                            {"t", BackendClient::timeText()}})
                  .json["code"],
              2);
}

TEST_F(AccountPageActions, AccountsMadeLaterFillTheirRecordToo) {
    auto added = client().classicGet(
        "down_add", {{"username", "houlai"}, {"passwd", "123456"}, {"phone", "13812345678"}, {"fcbl", "20"}},
        {{"is_login", "1"}});
    ASSERT_EQ(added.json["code"], 1) << added.body;
    const nlohmann::json& id = added.json["data"]["id"];
    const std::string uid = id.is_string() ? id.get<std::string>() : id.dump();
    EXPECT_EQ(profile(uid)["pal"], "");
    EXPECT_EQ(getSigned("my_edit", {{"pal", "houlai_pal"}}, uid).json["code"], 1);
    EXPECT_EQ(profile(uid)["pal"], "houlai_pal");
}
