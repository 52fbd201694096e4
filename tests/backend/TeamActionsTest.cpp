#include <gtest/gtest.h>

#include "BackendClient.h"

// The team actions of the classic GET screens against a fresh demo back end:
// what the lists answer, and that adding, deleting and deciding really
// change what the lists (and the sign-in) answer afterwards.
using TeamActions = BackendTest;

namespace {

std::vector<std::string> column(const nlohmann::json& rows, const char* key) {
    std::vector<std::string> values;
    for (const auto& row : rows) values.push_back(row.value(key, "(missing)"));
    return values;
}

bool contains(const std::vector<std::string>& values, const std::string& value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

BackendClient::SignedFields newAccount(const std::string& username, const std::string& password = "secret1",
                                       const std::string& phone = "13812345678", const std::string& fcbl = "20") {
    return {{"username", username}, {"passwd", password}, {"phone", phone}, {"fcbl", fcbl}};
}

}  // namespace

TEST_F(TeamActions, SubPromoterListIsTheOwnTeamPagedWithTextFields) {
    auto first = client().getClassic("down", {}, {{"p", "1"}});
    ASSERT_EQ(first.json["code"], 1) << first.body;
    EXPECT_EQ(first.json["p"], 2);
    EXPECT_EQ(first.json["max_p"], 2);
    ASSERT_EQ(first.json["data"].size(), 10u);
    for (const auto& row : first.json["data"]) {
        for (const char* key : {"id", "username", "phone", "fcbl", "is_login"}) {
            ASSERT_TRUE(row[key].is_string()) << key << " in " << row;
        }
        EXPECT_TRUE(row["is_login"] == "1" || row["is_login"] == "2") << row;
        EXPECT_EQ(row["fcbl"].get<std::string>().back(), '%');
    }
    auto second = client().getClassic("down", {}, {{"p", "2"}});
    ASSERT_EQ(second.json["data"].size(), 2u);
    // Newest first; another promoter's team is not listed.
    EXPECT_EQ(first.json["data"][0]["username"], "songjia");
    EXPECT_EQ(second.json["data"][1]["username"], "zhoujie");
    EXPECT_FALSE(contains(column(first.json["data"], "username"), "gaofei"));
    EXPECT_FALSE(contains(column(second.json["data"], "username"), "gaofei"));
}

TEST_F(TeamActions, AddingCreatesAnAccountThatLeadsTheListAndSignsInAsAllowed) {
    auto levels = client().getClassic("down_fcbl");
    ASSERT_EQ(levels.json["code"], 1);
    ASSERT_EQ(levels.json["data"].size(), 3u);
    EXPECT_EQ(levels.json["data"][1]["title"], "中级");
    EXPECT_EQ(levels.json["data"][1]["fcbl"], 20);

    auto added = client().getClassic("down_add", newAccount("xinren"), {{"is_login", "1"}});
    ASSERT_EQ(added.json["code"], 1) << added.body;
    EXPECT_EQ(added.json["message"], "添加成功");
    auto list = client().getClassic("down", {}, {{"p", "1"}});
    EXPECT_EQ(list.json["data"][0]["username"], "xinren");
    EXPECT_EQ(list.json["data"][0]["phone"], "13812345678");
    EXPECT_EQ(list.json["data"][0]["fcbl"], "20%");
    EXPECT_EQ(list.json["data"][0]["is_login"], "1");
    EXPECT_EQ(list.json["max_p"], 2);
    EXPECT_EQ(client().login("xinren", "secret1").json["code"], 1);

    // Refused the sign-in: the account exists but cannot sign in.
    ASSERT_EQ(client().getClassic("down_add", newAccount("jinzhi"), {{"is_login", "2"}}).json["code"], 1);
    auto refused = client().login("jinzhi", "secret1");
    EXPECT_EQ(refused.json["code"], 0);
    EXPECT_EQ(refused.json["message"], "该账号已被禁止登录");
}

TEST_F(TeamActions, AddingChecksItsFieldsInOrderAndSignsAllButTheLoginPermission) {
    struct Case {
        BackendClient::SignedFields fields;
        std::string isLogin;
        int code;
        std::string message;
    };
    const std::vector<Case> cases = {
        {newAccount("", ""), "1", 4, "用户名不能为空"},
        {newAccount("a", ""), "1", 4, "密码不能为空"},
        {newAccount("a", "pass word"), "1", 4, "密码不能有空格"},
        {newAccount("a", "pw", "1381234567"), "1", 4, "请输入正确的电话号码"},
        {newAccount("a", "pw", "12812345678"), "1", 4, "请输入正确的电话号码"},
        {newAccount("a", "pw", "13812345678", "25"), "1", 4, "参数 fcbl 无效"},
        {newAccount("a", "pw", "13812345678", "20"), "0", 4, "参数 is_login 无效"},
        {newAccount("zhoujie"), "1", 0, "用户名已存在"},
        {newAccount("demo"), "1", 0, "用户名已存在"},
    };
    for (const Case& c : cases) {
        auto answer = client().getClassic("down_add", c.fields, {{"is_login", c.isLogin}});
        EXPECT_EQ(answer.json["code"], c.code) << c.message;
        EXPECT_EQ(answer.json["message"], c.message);
    }
    // A field changed after signing is refused; the unsigned permission is not checked by the signature.
    BackendClient::SignedFields signedAs = newAccount("qianming");
    auto tampered = client().getClassic("down_add", {signedAs[0], signedAs[1], signedAs[2]},
                                        {{"fcbl", "20"}, {"is_login", "1"}});
    EXPECT_EQ(tampered.json["code"], 2);
    EXPECT_EQ(client().getClassic("down", {}, {{"p", "1"}}).json["data"][0]["username"], "songjia");
}

TEST_F(TeamActions, DeletingRemovesTheAccountItsRequestsAndItsSignIn) {
    auto list = client().getClassic("down", {}, {{"p", "2"}});
    const std::string id = list.json["data"][1]["id"];  // zhoujie, with withdrawal requests
    auto requestsBefore = client().getClassic("down_tixian", {}, {{"p", "1"}});
    ASSERT_TRUE(contains(column(requestsBefore.json["data"], "member_id"), id));

    auto deleted = client().getClassic("down_del", {{"id", id}});
    ASSERT_EQ(deleted.json["code"], 1) << deleted.body;
    auto after = client().getClassic("down", {}, {{"p", "2"}});
    ASSERT_EQ(after.json["data"].size(), 1u);
    EXPECT_NE(after.json["data"][0]["id"], id);
    for (const char* page : {"1", "2"}) {
        EXPECT_FALSE(contains(column(client().getClassic("down_tixian", {}, {{"p", page}}).json["data"], "member_id"), id));
    }
    EXPECT_EQ(client().login("zhoujie", "123456").json["code"], 0);

    auto again = client().getClassic("down_del", {{"id", id}});
    EXPECT_EQ(again.json["code"], 0);
    EXPECT_EQ(again.json["message"], "下线不存在");
    EXPECT_EQ(client().getClassic("down_del", {{"id", "abc"}}).json["code"], 4);
    EXPECT_EQ(client().getClassic("down_del", {{"id", "0"}}).json["code"], 4);
    // Another promoter's team member cannot be deleted by the demo account.
    auto foreign = client().getClassic("down", {}, {{"p", "1"}}, "2");
    ASSERT_FALSE(foreign.json["data"].empty());
    EXPECT_EQ(client().getClassic("down_del", {{"id", foreign.json["data"][0]["id"]}}).json["message"], "下线不存在");
    // The id is signed: a request whose id differs from the signed one is refused.
    auto unsignedId = client().getClassic("down_del", {}, {{"id", list.json["data"][0]["id"]}});
    EXPECT_EQ(unsignedId.json["code"], 2);
}

TEST_F(TeamActions, WithdrawalRequestsAreDecidedOnce) {
    auto first = client().getClassic("down_tixian", {}, {{"p", "1"}});
    ASSERT_EQ(first.json["code"], 1);
    EXPECT_EQ(first.json["max_p"], 2);
    ASSERT_EQ(first.json["data"].size(), 10u);
    for (const auto& row : first.json["data"]) {
        for (const char* key : {"id", "member_id", "money", "create_time", "state", "username", "status", "time1", "time2"}) {
            ASSERT_TRUE(row[key].is_string()) << key << " in " << row;
        }
    }
    EXPECT_EQ(client().getClassic("down_tixian", {}, {{"p", "2"}}).json["data"].size(), 3u);
    const auto& newest = first.json["data"][0];
    EXPECT_EQ(newest["status"], "待审核");
    EXPECT_EQ(newest["time2"], "");
    const std::string id = newest["id"];
    const std::string other = first.json["data"][1]["id"];

    auto allowed = client().getClassic("down_status", {{"id", id}, {"status", "1"}});
    ASSERT_EQ(allowed.json["code"], 1) << allowed.body;
    EXPECT_EQ(allowed.json["message"], "已同意提现");
    auto refused = client().getClassic("down_status", {{"id", other}, {"status", "2"}});
    EXPECT_EQ(refused.json["message"], "已拒绝提现");
    auto reloaded = client().getClassic("down_tixian", {}, {{"p", "1"}}).json["data"];
    EXPECT_EQ(reloaded[0]["status"], "已通过");
    EXPECT_EQ(reloaded[0]["state"], "1");
    EXPECT_NE(reloaded[0]["time2"], "");
    EXPECT_EQ(reloaded[1]["status"], "已拒绝");

    auto again = client().getClassic("down_status", {{"id", id}, {"status", "2"}});
    EXPECT_EQ(again.json["code"], 0);
    EXPECT_EQ(again.json["message"], "该申请已处理");
    EXPECT_EQ(client().getClassic("down_tixian", {}, {{"p", "1"}}).json["data"][0]["status"], "已通过");
    const std::string waiting = reloaded[2]["id"];
    EXPECT_EQ(client().getClassic("down_status", {{"id", waiting}, {"status", "3"}}).json["code"], 4);
    // Another team's request is not the demo account's to decide.
    auto foreign = client().getClassic("down_tixian", {}, {{"p", "1"}}, "2");
    ASSERT_EQ(foreign.json["data"].size(), 1u);
    EXPECT_EQ(client().getClassic("down_status", {{"id", foreign.json["data"][0]["id"]}, {"status", "1"}}).json["message"],
              "提现申请不存在");
}

TEST_F(TeamActions, AnnouncementPageOpensAsTheNewsInfoAction) {
    auto notices = client().getClassic("news", {}, {{"p", "1"}});
    ASSERT_EQ(notices.json["code"], 1);
    const auto& notice = notices.json["data"][0];
    auto page = client().get({{"ct", "app"}, {"ac", "news_info"}, {"id", notice["id"]}});
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find(notice["title"].get<std::string>()), std::string::npos);
    EXPECT_EQ(client().get({{"ct", "app"}, {"ac", "news_info"}, {"id", "999999"}}).status, 404);
    EXPECT_EQ(client().get({{"ct", "app"}, {"ac", "news_info"}, {"id", "x"}}).status, 404);
}
