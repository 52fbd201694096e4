#include <set>

#include "app/shell/WMUtil.h"
#include "app/team/KXPersonalInformationCell.h"
#include "app/team/KXPersonalInformationViewController.h"
#include "app/team/KXShuRuTankuanView.h"
#include "tests/app/team/AccountPagesFixture.h"
#include "tests/support/HoldingRelay.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "uikit/UITextField.h"

namespace {

class ProfileScreenTest : public AccountPagesFixture {
protected:
    // The value each row shows, in row order.
    std::vector<std::string> values() {
        std::vector<std::string> shown;
        auto table = screen->mainTabelView();
        for (long row = 0; row < 8; ++row) {
            driver.scrollToRow(table, NSIndexPath::indexPathForRow(row, 0));
            auto cell = cast<KXPersonalInformationCell>(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0)));
            shown.push_back(cell ? cell->nichengLabel()->text() : "(no cell)");
        }
        return shown;
    }
    bool loaded() { return waitFor([&] { return !screen->dataMuArr().empty(); }); }
    void tapRow(long row) {
        ASSERT_TRUE(driver.selectRow(screen->mainTabelView(), NSIndexPath::indexPathForRow(row, 0))) << driver.lastError();
    }
    Ref<KXShuRuTankuanView> popUp() {
        for (const auto& view : window->subviews())
            if (auto found = cast<KXShuRuTankuanView>(view)) return found;
        return nullptr;
    }

    Ref<KXPersonalInformationViewController> screen;
};

using Texts = std::vector<std::string>;

TEST_F(ProfileScreenTest, ShowsTheRecordAndFillsAnEmptyRowOnce) {
    screen = push<KXPersonalInformationViewController>();
    ASSERT_TRUE(loaded());
    EXPECT_EQ(values(), (Texts{"演示推广员", "1", "demo_pal", "13800138000", "未填写", "未填写", "未填写", "未填写"}));
    EXPECT_TRUE(waitFor([&] { return screen->headImageView()->image() != nullptr; })) << "the avatar loads";
    EXPECT_EQ(screen->headImageView()->backgroundColor(), UIColor::redColor()) << "the ground stays under the image";
    shot("team-profile.png");

    tapRow(3);
    EXPECT_FALSE(popUp()) << "a filled row is locked";
    tapRow(4);
    auto editor = popUp();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->miashuLabel()->text(), "邮箱");
    EXPECT_EQ(editor->miaoshutexefeild()->placeholder(), "请输入邮箱");
    shot("team-profile-edit.png");

    ASSERT_TRUE(driver.tap("完成"));
    EXPECT_EQ(hudText(), "内容不能为空");
    EXPECT_EQ(popUp(), editor) << "an empty entry keeps the pop-up open";
    letHUDsHide();
    // A value in which nothing draws (a Hangul filler, as 收款人 once took)
    // is empty too: saved, it would lock the row with nothing in it.
    for (const char* blank : {"  ", "\u3164", "\u2800\u200E", " \u3000\u200B\t"}) {
        ASSERT_TRUE(driver.typeText(editor->miaoshutexefeild(), blank));
        ASSERT_TRUE(driver.tap("完成"));
        EXPECT_EQ(hudText(), "内容不能为空") << blank;
        EXPECT_EQ(popUp(), editor);
        letHUDsHide();
        editor->miaoshutexefeild()->setText("");
    }

    ASSERT_TRUE(driver.typeText(editor->miaoshutexefeild(), "demo@example.com"));
    ASSERT_TRUE(driver.tap("完成"));
    EXPECT_FALSE(popUp());
    // "正在修改" shows while the save is under way; a quick answer may already
    // have taken it away, but nothing else may show.
    const std::string during = hudText();
    EXPECT_TRUE(during == "正在修改" || during.empty()) << during;
    ASSERT_TRUE(waitFor([&] { return values()[4] == "demo@example.com"; })) << "saved, then the record loads again";
    tapRow(4);
    EXPECT_FALSE(popUp()) << "now locked";
}

TEST_F(ProfileScreenTest, RefusedSavesAndCancelsLeaveTheRowEmpty) {
    screen = push<KXPersonalInformationViewController>();
    ASSERT_TRUE(loaded());
    tapRow(4);
    ASSERT_TRUE(popUp());
    ASSERT_TRUE(driver.typeText(popUp()->miaoshutexefeild(), "not-an-address"));
    ASSERT_TRUE(driver.tap("完成"));
    EXPECT_TRUE(hudShows("邮箱格式不正确")) << hudText();
    EXPECT_EQ(values()[4], "未填写");
    letHUDsHide();

    // A 收款人 longer than the back end keeps is stopped, the pop-up stays.
    tapRow(6);
    auto payee = popUp();
    ASSERT_TRUE(payee);
    ASSERT_TRUE(driver.typeText(payee->miaoshutexefeild(), std::string(2000, 'p')));
    ASSERT_TRUE(driver.tap("完成"));
    EXPECT_EQ(hudText(), "收款人不能超过100个字节（约33个汉字）");
    EXPECT_EQ(popUp(), payee);
    letHUDsHide();
    ASSERT_TRUE(driver.tap("取消"));

    tapRow(7);
    ASSERT_TRUE(popUp());
    ASSERT_TRUE(driver.tap("取消"));
    EXPECT_FALSE(popUp());
    tapRow(7);
    ASSERT_TRUE(driver.tapAt({5, 100})) << "beside the card";
    EXPECT_FALSE(popUp()) << "a tap on the dimming layer closes it";

    // The nickname and the id have no field to fill in, even when empty.
    EXPECT_FALSE(KXShuRuTankuanView::fieldForRow(0));
    EXPECT_FALSE(KXShuRuTankuanView::fieldForRow(1));
    EXPECT_EQ(KXShuRuTankuanView::fieldForRow(7), "address");
}

// Saved, but the answer lost: the record tells, and the row shows the
// value, rather than an empty row whose retry is refused; nothing says the
// save failed.
TEST_F(ProfileScreenTest, ASaveWithoutAnAnswerShowsWhatTheBackEndKept) {
    HoldingRelay relay(backend->port());
    KXServiceAddress::setBaseURL(relay.baseURL());
    relay.script("my_edit", HoldingRelay::kLostAnswer);
    screen = push<KXPersonalInformationViewController>();
    ASSERT_TRUE(loaded());
    tapRow(7);
    ASSERT_TRUE(driver.typeText(popUp()->miaoshutexefeild(), "长安街1号"));
    ASSERT_TRUE(driver.tap("完成"));
    EXPECT_TRUE(waitFor([&] { return values()[7] == "长安街1号"; }));
    EXPECT_NE(hudText(), "获取数据失败");
    EXPECT_EQ(relay.sent("my_config").size(), 3u) << "the load, the read-back and the reload";
}

// Odd records and what is sent, against a scripted server.
class ProfileRequestsTest : public ProfileScreenTest {
protected:
    void SetUp() override {
        ProfileScreenTest::SetUp();
        KXServiceAddress::setBaseURL(server.baseURL() + "/");
    }
    void answer(std::string myConfig) {
        server.route("GET", "/", [myConfig](const httplib::Request& request, httplib::Response& response) {
            const std::string action = request.get_param_value("ac");
            response.set_content(action == "my_config" ? myConfig : R"({"code":1,"message":"ok"})", "application/json");
        });
    }

    LoopbackHTTPServer server;
};

TEST_F(ProfileRequestsTest, BeforeARecordNothingOpens) {
    answer(R"({"code":0,"message":"登录已过期"})");
    screen = push<KXPersonalInformationViewController>();
    EXPECT_TRUE(hudShows("登录已过期")) << hudText();
    EXPECT_EQ(values(), Texts(8, "未填写"));
    tapRow(4);
    EXPECT_FALSE(popUp());
}

// A blank value stored before blanks were refused is missing: the row
// opens to be filled in.
TEST_F(ProfileRequestsTest, NumbersShowAsTextBlanksAsMissingAndASaveSendsOneUnsignedField) {
    answer(R"({"code":1,"data":{"head":"","username":"","pal":null,"phone":13800138000,"email":"\u3164\u2800"}})");
    screen = push<KXPersonalInformationViewController>();
    ASSERT_TRUE(loaded());
    EXPECT_EQ(values(), (Texts{"未填写", "1", "未填写", "13800138000", "未填写", "未填写", "未填写", "未填写"}));
    tapRow(0);
    EXPECT_FALSE(popUp()) << "an empty nickname is not offered";

    tapRow(4);
    ASSERT_TRUE(popUp()) << "a blank value opens the row";
    ASSERT_TRUE(driver.typeText(popUp()->miaoshutexefeild(), "a@b.cn"));
    ASSERT_TRUE(driver.tap("完成"));
    ASSERT_TRUE(waitFor([&] { return server.requestCount() == 3; })) << "the save and the reload";
    LoopbackHTTPServer::RecordedRequest save;
    for (const auto& request : server.requests())
        if (request.query.find("ac=my_edit") != std::string::npos) save = request;
    httplib::Params params;
    httplib::detail::parse_query_text(save.query, params);
    std::set<std::string> keys;
    for (const auto& [key, value] : params) keys.insert(key);
    EXPECT_EQ(keys, (std::set<std::string>{"ios", "ct", "ac", "t", "uid", "email", "sign"}));
    auto value = [&](const std::string& key) { return params.find(key)->second; };
    EXPECT_EQ(value("email"), "a@b.cn");
    EXPECT_EQ(value("sign"), WMUtil::md5HexDigest(value("uid") + value("t") + "qmvtrapezk42f17bnc"));
}

}  // namespace
