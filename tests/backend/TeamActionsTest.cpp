#include <gtest/gtest.h>

#include "BackendClient.h"
#include "BlankTexts.h"

// The team actions against a fresh demo back end: the lists' shapes, and
// what adding, deleting and deciding refuse. (The screens' tests cover the
// lists changing after a successful add, delete and decision.)
using TeamActions = BackendTest;

namespace {

std::vector<std::string> column(const nlohmann::json& rows, const char* key) {
    std::vector<std::string> values;
    for (const auto& row : rows) {
        EXPECT_TRUE(row[key].is_string()) << key << " in " << row;
        values.push_back(row.value(key, ""));
    }
    return values;
}

BackendClient::SignedFields newAccount(const std::string& username, const std::string& password = "secret1",
                                       const std::string& phone = "13812345678", const std::string& fcbl = "20") {
    return {{"username", username}, {"passwd", password}, {"phone", phone}, {"fcbl", fcbl}};
}

}  // namespace

TEST_F(TeamActions, ListsAreTheOwnTeamsNewestFirstInTextFields) {
    auto first = client().classicGet("down", {}, {{"p", "1"}});
    EXPECT_EQ(first.json["max_p"], 2);
    EXPECT_EQ(column(first.json["data"], "username").front(), "songjia");
    for (const char* key : {"id", "phone", "fcbl", "is_login"}) column(first.json["data"], key);
    auto second = client().classicGet("down", {}, {{"p", "2"}});
    EXPECT_EQ(column(second.json["data"], "username"), (std::vector<std::string>{"wuqiang", "zhoujie"}));

    auto requests = client().classicGet("down_tixian", {}, {{"p", "2"}});
    EXPECT_EQ(requests.json["data"].size(), 3u);
    for (const char* key : {"id", "member_id", "money", "create_time", "state", "status", "time1", "time2"})
        column(requests.json["data"], key);
    // Another promoter sees only its own team.
    EXPECT_EQ(column(client().classicGet("down", {}, {}, "2").json["data"], "username"),
              (std::vector<std::string>{"linxi", "gaofei"}));
}

TEST_F(TeamActions, AddingChecksItsFieldsInOrderAndHonoursTheSignInPermission) {
    const std::vector<std::tuple<BackendClient::SignedFields, std::string, int, std::string>> cases = {
        {newAccount("", ""), "1", 4, "用户名不能为空"},
        {newAccount("a", ""), "1", 4, "密码不能为空"},
        {newAccount("a", "pass word"), "1", 4, "密码不能有空格"},
        {newAccount("a", std::string(101, 'p')), "1", 4, "密码不能超过100个字节"},
        {newAccount("a", "pw", "1381234567"), "1", 4, "请输入正确的电话号码"},
        {newAccount("a", "pw", "12812345678"), "1", 4, "请输入正确的电话号码"},
        {newAccount("a", "pw", "13812345678", "25"), "1", 4, "参数 fcbl 无效"},
        {newAccount("a"), "0", 4, "参数 is_login 无效"},
        {newAccount("zhoujie"), "1", 0, "用户名已存在"},
        {newAccount("demo"), "1", 0, "用户名已存在"},
        {newAccount(std::string("a\0b", 3)), "1", 4, "用户名含有无效字符"},
        {newAccount("a\r\nb"), "1", 4, "用户名含有无效字符"},
        {newAccount("\xe6\x98"), "1", 4, "用户名含有无效字符"},
        {newAccount("\xc0\xaf"), "1", 4, "用户名含有无效字符"},
    };
    for (const auto& [fields, isLogin, code, message] : cases) {
        auto answer = client().classicGet("down_add", fields, {{"is_login", isLogin}});
        EXPECT_EQ(answer.json["code"], code) << message;
        EXPECT_EQ(answer.json["message"], message);
    }
    // Every field but the permission is signed.
    auto fields = newAccount("qianming");
    EXPECT_EQ(client().classicGet("down_add", {fields[0], fields[1], fields[2]}, {{"fcbl", "20"}, {"is_login", "1"}})
                  .json["code"], 2);

    ASSERT_EQ(client().classicGet("down_add", newAccount("yunxu"), {{"is_login", "1"}}).json["code"], 1);
    ASSERT_EQ(client().classicGet("down_add", newAccount("jinzhi"), {{"is_login", "2"}}).json["code"], 1);
    EXPECT_EQ(client().login("yunxu", "secret1").json["code"], 1);
    EXPECT_EQ(client().login("jinzhi", "secret1").json["message"], "该账号已被禁止登录");
}

// Kept as it shows, one visible name is one account: the blanks around a
// name go, a space of any width inside is one space, and an invisible
// character inside refuses it. Names that differ only in characters that
// draw nothing or in width are one name. The account signs in with its name
// as typed.
TEST_F(TeamActions, OneVisibleNameIsOneSubPromoter) {
    auto add = [&](const std::string& username) {
        return client().classicGet("down_add", newAccount(username), {{"is_login", "1"}}).json;
    };
    for (const std::string& blank : blankTexts()) EXPECT_EQ(add(blank)["message"], "用户名不能为空") << blank;
    ASSERT_EQ(add("xiao ming ")["code"], 1);
    for (const char* lookAlike : {"xiao ming", "xiao ming\u200B", "\u3164xiao ming", "xiao\u00A0ming", "xiao\u3000ming\n",
                                  "ｘｉａｏ ｍｉｎｇ", "xiao\u200D ming"}) {
        auto refused = add(lookAlike);
        EXPECT_EQ(refused["code"], 0) << lookAlike;
        EXPECT_EQ(refused["message"], "用户名已存在") << lookAlike;
    }
    EXPECT_EQ(add("xiao\u200Bming")["message"], "用户名含有不可见字符");
    EXPECT_EQ(add("xiao\u202Eming")["message"], "用户名含有不可见字符");
    EXPECT_EQ(add("xiao\u2028ming")["message"], "用户名含有不可见字符");
    EXPECT_EQ(add("xiao\tming")["message"], "用户名含有无效字符");
    EXPECT_EQ(add("\txiao ming\t")["message"], "用户名已存在") << "a tab at either end is removed";
    EXPECT_EQ(column(client().classicGet("down", {}, {{"p", "1"}}).json["data"], "username").front(), "xiao ming");
    EXPECT_EQ(client().login("xiao ming ", "secret1").json["code"], 1);
    EXPECT_EQ(client().login("xiao ming", "secret1").json["code"], 1);

    for (const std::string& name : typedNames()) {
        ASSERT_EQ(add(name)["code"], 1) << name;
        auto signedIn = client().login(name, "secret1");
        ASSERT_EQ(signedIn.json["code"], 1) << name;
        EXPECT_EQ(signedIn.json["data"]["username"], name);
    }
    EXPECT_EQ(add("👨👩👧")["message"], "用户名已存在") << "the family without its joiners";
}

TEST_F(TeamActions, DeletingRemovesTheAccountWithItsRequestsAndStaysWithinTheTeam) {
    const std::string id = client().classicGet("down", {}, {{"p", "2"}}).json["data"][1]["id"];  // zhoujie
    ASSERT_EQ(client().classicGet("down_del", {{"id", id}}).json["code"], 1);
    for (const char* page : {"1", "2"}) {
        auto members = column(client().classicGet("down_tixian", {}, {{"p", page}}).json["data"], "member_id");
        EXPECT_EQ(std::count(members.begin(), members.end(), id), 0);
    }
    EXPECT_EQ(client().login("zhoujie", "123456").json["code"], 0);

    EXPECT_EQ(client().classicGet("down_del", {{"id", id}}).json["message"], "下线不存在");
    const std::string foreign = client().classicGet("down", {}, {}, "2").json["data"][0]["id"];
    EXPECT_EQ(client().classicGet("down_del", {{"id", foreign}}).json["message"], "下线不存在");
    EXPECT_EQ(client().classicGet("down_del", {{"id", "abc"}}).json["code"], 4);
    EXPECT_EQ(client().classicGet("down_del", {}, {{"id", foreign}}).json["code"], 2) << "the id is signed";
}

TEST_F(TeamActions, AWithdrawalRequestIsDecidedOnceAndOnlyByTheTeamsPromoter) {
    auto requests = client().classicGet("down_tixian", {}, {{"p", "1"}}).json["data"];
    const std::string id = requests[0]["id"];
    EXPECT_EQ(requests[0]["status"], "待审核");
    EXPECT_EQ(requests[0]["time2"], "");
    EXPECT_EQ(client().classicGet("down_status", {{"id", id}, {"status", "3"}}).json["code"], 4);
    EXPECT_EQ(client().classicGet("down_status", {{"id", id}, {"status", "2"}}).json["message"], "已拒绝提现");
    auto again = client().classicGet("down_status", {{"id", id}, {"status", "1"}});
    EXPECT_EQ(again.json["code"], 0);
    EXPECT_EQ(again.json["message"], "该申请已处理");
    auto decided = client().classicGet("down_tixian", {}, {{"p", "1"}}).json["data"][0];
    EXPECT_EQ(decided["status"], "已拒绝");
    EXPECT_EQ(decided["state"], "2");
    EXPECT_NE(decided["time2"], "");

    const std::string foreign = client().classicGet("down_tixian", {}, {}, "2").json["data"][0]["id"];
    EXPECT_EQ(client().classicGet("down_status", {{"id", foreign}, {"status", "1"}}).json["message"], "提现申请不存在");
}

TEST_F(TeamActions, AnnouncementPageOpensAsTheNewsInfoAction) {
    const auto notice = client().classicGet("news", {}, {{"p", "1"}}).json["data"][0];
    auto page = client().get({{"ct", "app"}, {"ac", "news_info"}, {"id", notice["id"]}});
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find(notice["title"].get<std::string>()), std::string::npos);
    EXPECT_EQ(client().get({{"ct", "app"}, {"ac", "news_info"}, {"id", "999999"}}).status, 404);
    EXPECT_EQ(client().get({{"ct", "app"}, {"ac", "news_info"}, {"id", "x"}}).status, 404);
}
