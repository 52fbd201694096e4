#include <set>

#include "app/team/KXContactUsViewCell.h"
#include "app/team/KXContactUsViewController.h"
#include "tests/app/team/AccountPagesFixture.h"
#include "tests/support/LoopbackHTTPServer.h"

namespace {

class ContactPageTest : public AccountPagesFixture {
protected:
    // "title=value" of each row, in row order.
    std::vector<std::string> rows() {
        std::vector<std::string> shown;
        for (long row = 0; row < 3; ++row) {
            auto cell = cast<KXContactUsViewCell>(
                screen->mainTabelView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0)));
            shown.push_back(cell ? cell->zuobianLabel()->text() + "=" + cell->rightLabel()->text() : "(no cell)");
        }
        return shown;
    }

    Ref<KXContactUsViewController> screen;
};

using Texts = std::vector<std::string>;

TEST_F(ContactPageTest, ShowsTheContactsAndBothImages) {
    screen = push<KXContactUsViewController>();
    ASSERT_TRUE(waitFor([&] { return screen->dataDic().has_value(); }));
    EXPECT_EQ(rows(), (Texts{"工作时间=每天 9:00-21:00", "客服电话=400-820-8820", "客服 Pal=velmaro_kf"}));
    EXPECT_TRUE(waitFor([&] { return screen->icoimageView()->image() && screen->erweimaIamgeView()->image(); }));
    EXPECT_NE(driver.find("涟信公众号"), nullptr);
    // The table ends where the view does, so a short screen can scroll the
    // QR code into sight.
    EXPECT_EQ(screen->mainTabelView()->frame(), screen->view()->bounds());
    shot("team-contact.png");
}

TEST_F(ContactPageTest, SendsOnlyThreeKeysAndKeepsTheRowOrder) {
    LoopbackHTTPServer server;
    server.respond("GET", "/", 200,
                   R"({"code":1,"data":{"pal":"kf","phone":4008208820,"time":"9-18","icon":"","gzh":"not a url"}})",
                   "application/json");
    KXServiceAddress::setBaseURL(server.baseURL() + "/");
    screen = push<KXContactUsViewController>();
    ASSERT_TRUE(waitFor([&] { return screen->dataDic().has_value(); }));
    EXPECT_EQ(rows(), (Texts{"工作时间=9-18", "客服电话=4008208820", "客服 Pal=kf"}));
    ASSERT_EQ(server.requestCount(), 1u);
    EXPECT_EQ(server.lastRequest()->query.size(), std::string("ac=kefu&ct=app&ios=1").size());
    httplib::Params params;
    httplib::detail::parse_query_text(server.lastRequest()->query, params);
    std::set<std::string> keys;
    for (const auto& [key, value] : params) keys.insert(key);
    EXPECT_EQ(keys, (std::set<std::string>{"ios", "ct", "ac"}));
    EXPECT_FALSE(screen->icoimageView()->image());
}

TEST_F(ContactPageTest, ARefusalKeepsTheFirstState) {
    LoopbackHTTPServer server;
    server.respond("GET", "/", 200, R"({"code":"0","message":"暂无客服信息"})", "application/json");
    KXServiceAddress::setBaseURL(server.baseURL() + "/");
    screen = push<KXContactUsViewController>();
    EXPECT_TRUE(hudShows("暂无客服信息"));
    EXPECT_FALSE(screen->dataDic());
    EXPECT_EQ(rows(), (Texts{"工作时间=", "客服电话=", "客服 Pal="}));
}

}  // namespace
