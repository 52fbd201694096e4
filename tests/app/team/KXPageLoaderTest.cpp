#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <set>

#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXServiceAddress.h"
#include "app/shell/WMUtil.h"
#include "app/team/KXPageLoader.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "frameworks/hud/MBProgressHUD.h"
#include "frameworks/refresh/MJRefreshFooter.h"
#include "frameworks/refresh/MJRefreshHeader.h"
#include "frameworks/refresh/UIScrollViewMJRefresh.h"
#include "tests/support/AppFixture.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "tests/support/MisbehavingServer.h"
#include "uikit/UIDriver.h"
#include "uikit/UIScreen.h"
#include "uikit/UITableView.h"
#include "uikit/UIWindow.h"

namespace {

const char* const kNoMore = "没有更多数据，请待会在上拉加载";

// A page answer: `p` the following page, `max_p` the last, rows named
// "<tag><page>-<n>".
std::string page(int number, int last, const std::string& tag = "r", int rows = 2) {
    std::string data;
    for (int n = 1; n <= rows; ++n)
        data += (n > 1 ? "," : "") + ("\"" + tag + std::to_string(number) + "-" + std::to_string(n) + "\"");
    return R"({"code":1,"message":"成功","p":)" + std::to_string(number + 1) + R"(,"max_p":)" + std::to_string(last) +
           R"(,"data":[)" + data + "]}";
}

// A table's rows: those of the loader, as the list screens show them.
class RowsOf : public NSObject, public UITableViewDataSource {
public:
    explicit RowsOf(Ref<KXPageLoader> loader) : loader_(std::move(loader)) {}
    long tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) override {
        return static_cast<long>(loader_->rows().size());
    }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, NSIndexPath) override {
        return make<UITableViewCell>(UITableViewCellStyle::Default, "row");
    }

private:
    Ref<KXPageLoader> loader_;
};

}  // namespace

// The loader on a table in a key window, against a scripted server that
// answers by the page asked for and can hold a page's answer back.
class PageLoader : public AppFixture {
protected:
    void SetUp() override {
        KXServiceAddress::setBaseURL(server.baseURL());
        KXLocallyStoredData::setUserID("7");
        server.route("GET", "/", [this](const httplib::Request& request, httplib::Response& response) {
            const std::string p = request.get_param_value("p");
            std::unique_lock lock(mutex_);
            released_.wait(lock, [&] { return !held_.count(p); });
            if (answers_.count(p) && !answers_[p].empty())
                response.set_content(answers_[p], "application/json");
            else
                response.status = 500;
        });
        window = make<UIWindow>(UIScreen::mainScreen()->bounds());
        table = make<UITableView>(window->bounds());
        window->addSubview(table);
        window->makeKeyAndVisible();
        loader = make<KXPageLoader>("reg", KXPageLoader::rowsAsTheyCome());
        loader->setLoaded([this](KXPageLoader::Page, const Value&) { ++loads; });
    }
    void TearDown() override {
        {
            std::lock_guard lock(mutex_);
            held_.clear();
        }
        released_.notify_all();
        KXServiceAddress::setBaseURL("");
    }

    // The answer to page `p`; an empty body fails with HTTP 500.
    void answer(const std::string& p, std::string body) {
        std::lock_guard lock(mutex_);
        answers_[p] = std::move(body);
    }
    void hold(const std::string& p) {
        std::lock_guard lock(mutex_);
        held_.insert(p);
    }
    void release(const std::string& p) {
        {
            std::lock_guard lock(mutex_);
            held_.erase(p);
        }
        released_.notify_all();
    }

    // Attaches the loader and waits for the first page.
    void start() {
        loader->attachTo(table);
        ASSERT_TRUE(runUntil([&] { return loads == 1; }))
            << "the first page did not arrive; requests received " << server.requestCount() << ", still refreshing "
            << refreshing();
        EXPECT_FALSE(refreshing());
    }
    // The pages asked for, in order.
    std::vector<std::string> pagesAsked() const {
        std::vector<std::string> pages;
        for (const auto& request : server.requests()) {
            httplib::Params params;
            httplib::detail::parse_query_text(request.query, params);
            pages.push_back(params.count("p") ? params.find("p")->second : "(none)");
        }
        return pages;
    }
    bool refreshing() const {
        return UIScrollViewMJRefresh::mj_header(table)->isRefreshing() ||
               UIScrollViewMJRefresh::mj_footer(table)->isRefreshing();
    }
    std::vector<std::string> rows() const {
        std::vector<std::string> texts;
        for (const auto& row : loader->rows()) texts.push_back(row.description());
        return texts;
    }
    std::string hudText() const {
        auto hud = MBProgressHUD::HUDForView(window);
        return hud ? hud->label()->text() : std::string();
    }

    Ref<UIWindow> window;
    Ref<UITableView> table;
    Ref<KXPageLoader> loader;
    UIDriver driver;
    int loads = 0;

private:
    std::mutex mutex_;
    std::condition_variable released_;
    std::map<std::string, std::string> answers_;
    std::set<std::string> held_;

protected:
    // Declared last: stopped first, while the answers its handler reads
    // still live (a cancelled request may still be answered then).
    LoopbackHTTPServer server;
};

TEST_F(PageLoader, LoadsThreePagesThenSaysThereAreNoMore) {
    answer("1", page(1, 3));
    answer("2", page(2, 3));
    answer("3", page(3, 3));
    start();
    EXPECT_EQ(loader->p(), "2");
    EXPECT_EQ(loader->max_p(), "3");

    ASSERT_TRUE(driver.pullUp(table)) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return loads == 2 && !refreshing(); }));
    // p == max_p still asks.
    ASSERT_EQ(loader->p(), "3");
    ASSERT_TRUE(driver.pullUp(table)) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return loads == 3 && !refreshing(); }));
    EXPECT_EQ(rows(), (std::vector<std::string>{"r1-1", "r1-2", "r2-1", "r2-2", "r3-1", "r3-2"}));

    // p 4 > max_p 3: a message and no request.
    ASSERT_TRUE(driver.pullUp(table)) << driver.lastError();
    EXPECT_EQ(hudText(), kNoMore);
    EXPECT_FALSE(refreshing());
    EXPECT_EQ(pagesAsked(), (std::vector<std::string>{"1", "2", "3"}));

    // The page number rides beside the signed fields: sign = md5(uid t key).
    auto last = server.lastRequest();
    httplib::Params params;
    httplib::detail::parse_query_text(last->query, params);
    EXPECT_EQ(params.find("ac")->second, "reg");
    EXPECT_EQ(params.find("sign")->second,
              WMUtil::md5HexDigest("7" + params.find("t")->second + "qmvtrapezk42f17bnc"));

    // A pull-down starts again from page 1 and replaces the rows.
    answer("1", page(1, 3, "new"));
    ASSERT_TRUE(driver.pullDown(table)) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return loads == 4 && !refreshing(); }));
    EXPECT_EQ(rows(), (std::vector<std::string>{"new1-1", "new1-2"}));
    EXPECT_EQ(loader->p(), "2");
}

TEST_F(PageLoader, APullUpWhileTheFirstPageLoadsSendsNothingAndWaitsForIt) {
    answer("1", page(1, 2));
    hold("1");
    loader->attachTo(table);
    ASSERT_TRUE(runUntil([&] { return server.requestCount() == 1; }));
    loader->onRefresh();
    EXPECT_EQ(hudText(), "");
    EXPECT_TRUE(UIScrollViewMJRefresh::mj_header(table)->isRefreshing()) << "until the first page answers";

    release("1");
    ASSERT_TRUE(runUntil([&] { return loads == 1; }));
    EXPECT_EQ(server.requestCount(), 1u);
    EXPECT_EQ(rows().size(), 2u);
}

TEST_F(PageLoader, MissingPagingFieldsCountAsZeroAndDataThatIsNoListGivesNoRows) {
    answer("1", R"({"code":"1","data":{"not":"a list"}})");
    start();
    EXPECT_EQ(loads, 1);
    EXPECT_TRUE(loader->rows().empty());
    // "%@" of the missing fields has no digits: both count as 0, and 0 is
    // not past 0, so one more page may be asked for.
    EXPECT_EQ(NSString::intValue(loader->p()), 0);
    EXPECT_EQ(NSString::intValue(loader->max_p()), 0);

    answer("(null)", R"({"code":1,"p":5,"max_p":4,"data":[]})");
    loader->onRefresh();
    ASSERT_TRUE(runUntil([&] { return loads == 2; }));
    EXPECT_TRUE(loader->rows().empty());
    EXPECT_EQ(loader->p(), "5");
    loader->onRefresh();
    EXPECT_EQ(hudText(), kNoMore);
    ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); }));  // a request the refresh sent would be answered by now
    EXPECT_EQ(server.requestCount(), 2u);
}

TEST_F(PageLoader, ARefusedOrFailedNextPageEndsTheRefreshingAndKeepsTheRows) {
    answer("1", page(1, 3));
    start();
    ASSERT_EQ(rows().size(), 2u);

    answer("2", R"({"code":0,"message":"请重新登录"})");
    loader->onRefresh();
    ASSERT_TRUE(runUntil([&] { return !hudText().empty(); }));
    EXPECT_EQ(hudText(), "请重新登录");
    EXPECT_FALSE(refreshing());
    EXPECT_EQ(loader->p(), "2");
    EXPECT_EQ(rows().size(), 2u);

    // A page that cannot be fetched at all says so.
    clock.advance(2);
    driver.settle();
    MisbehavingServer refusing(MisbehavingServer::Behaviour::RefuseConnections);
    KXServiceAddress::setBaseURL(refusing.url("/"));
    loader->onRefresh();
    ASSERT_TRUE(runUntil([&] { return !hudText().empty(); }));
    EXPECT_EQ(hudText(), "获取数据失败");
    EXPECT_FALSE(refreshing());
    EXPECT_EQ(rows().size(), 2u);
    EXPECT_EQ(loader->p(), "2");
    EXPECT_EQ(loads, 1);
}

// A pull empties the list and sets `p` to "1" at once, and the table shows
// the empty list before the page answers. A refused or failed pull leaves
// it empty; the next pull-up asks for the page the counter names, "1".
TEST_F(PageLoader, APullEmptiesTheListAtOnceAndARefusedOrFailedOneLeavesItEmpty) {
    answer("1", page(1, 3));
    answer("2", page(2, 3));
    start();
    loader->onRefresh();
    ASSERT_TRUE(runUntil([&] { return loads == 2 && !refreshing(); }));
    auto shown = make<RowsOf>(loader);
    table->setDataSource(shown);
    table->reloadData();
    ASSERT_EQ(table->numberOfRowsInSection(0), 4);
    ASSERT_EQ(loader->p(), "3");

    hold("1");
    answer("1", R"({"code":0,"message":"请重新登录"})");
    loader->underRefresh();
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(loader->p(), "1");
    EXPECT_EQ(table->numberOfRowsInSection(0), 0) << "the table shows the emptied list at once";
    release("1");
    ASSERT_TRUE(runUntil([&] { return !hudText().empty(); }));
    EXPECT_EQ(hudText(), "请重新登录");
    EXPECT_FALSE(refreshing());
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(loader->p(), "1");

    // A pull without an answer leaves it empty too.
    clock.advance(2);
    driver.settle();
    answer("1", "");
    std::size_t asked = server.requestCount();
    ASSERT_TRUE(driver.pullDown(table));
    ASSERT_TRUE(runUntil([&] { return server.requestCount() > asked && !refreshing(); }));
    ASSERT_TRUE(runUntil([&] { return !hudText().empty(); }));
    EXPECT_EQ(hudText(), "获取数据失败");
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(loader->p(), "1");
    EXPECT_EQ(loads, 2);

    // The next pull-up asks for page 1 and shows its rows.
    answer("1", page(1, 3, "new"));
    loader->onRefresh();
    ASSERT_TRUE(runUntil([&] { return loads == 3 && !refreshing(); }));
    EXPECT_EQ(rows(), (std::vector<std::string>{"new1-1", "new1-2"}));
    EXPECT_EQ(pagesAsked(), (std::vector<std::string>{"1", "2", "1", "1", "1"}));
    EXPECT_EQ(loader->p(), "2");
}

// A list whose pull keeps its rows until the page answers keeps its page
// counter with them: a refused or failed pull leaves both, and the next
// pull-up goes on after the rows rather than fetching page 1 again under
// them.
TEST_F(PageLoader, APullThatKeepsTheRowsKeepsThePageWhenItIsRefusedOrFails) {
    loader = make<KXPageLoader>("news", KXPageLoader::rowsAsTheyCome(), KXPageLoader::Pull::KeepsTheRows);
    loader->setLoaded([this](KXPageLoader::Page, const Value&) { ++loads; });
    answer("1", page(1, 3));
    answer("2", page(2, 3));
    start();

    hold("1");
    answer("1", R"({"code":0,"message":"请重新登录"})");
    loader->underRefresh();
    EXPECT_EQ(rows().size(), 2u) << "the rows stay while the pull loads";
    EXPECT_EQ(loader->p(), "2");
    release("1");
    ASSERT_TRUE(runUntil([&] { return !hudText().empty(); }));
    EXPECT_EQ(hudText(), "请重新登录");
    EXPECT_EQ(rows().size(), 2u);
    EXPECT_EQ(loader->p(), "2");

    clock.advance(2);
    driver.settle();
    answer("1", "");
    loader->underRefresh();
    ASSERT_TRUE(runUntil([&] { return hudText() == "获取数据失败"; }));
    EXPECT_EQ(loader->p(), "2");

    loader->onRefresh();
    ASSERT_TRUE(runUntil([&] { return loads == 2 && !refreshing(); }));
    EXPECT_EQ(rows(), (std::vector<std::string>{"r1-1", "r1-2", "r2-1", "r2-2"}));
    EXPECT_EQ(pagesAsked(), (std::vector<std::string>{"1", "1", "1", "2"}));
}

TEST_F(PageLoader, ANextPageOverTakenByAReloadIsDropped) {
    answer("1", page(1, 3));
    answer("2", page(2, 3));
    start();

    hold("2");
    loader->onRefresh();
    ASSERT_TRUE(runUntil([&] { return server.requestCount() == 2; }));
    // While page 2 is on its way a second pull-up sends nothing.
    loader->onRefresh();
    answer("1", page(1, 3, "new"));
    loader->underRefresh();
    ASSERT_TRUE(runUntil([&] { return loads == 2; }));
    EXPECT_EQ(rows(), (std::vector<std::string>{"new1-1", "new1-2"}));

    // Page 2 was cancelled; were its answer to come, it would reach nothing.
    release("2");
    ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); }));
    EXPECT_FALSE(refreshing());
    EXPECT_EQ(rows(), (std::vector<std::string>{"new1-1", "new1-2"}));
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(pagesAsked(), (std::vector<std::string>{"1", "2", "1"}));

    // The new list goes on from its own page 2.
    loader->onRefresh();
    ASSERT_TRUE(runUntil([&] { return loads == 3; }));
    EXPECT_EQ(rows().size(), 4u);
}

// A request that cannot be made fails on the main queue: its failure is on
// its way before a newer first page supersedes it, and nothing is left to
// cancel. It is dropped all the same: no failure shows, and the newer page
// fills the list.
TEST_F(PageLoader, AnAnswerQueuedBeforeANewerRequestWentOutIsDropped) {
    answer("1", page(1, 3, "new"));
    KXServiceAddress::setBaseURL("http://[");
    loader->attachTo(table);
    KXServiceAddress::setBaseURL(server.baseURL());
    loader->underRefresh();
    ASSERT_TRUE(runUntil([&] { return loads == 1; }));
    EXPECT_EQ(hudText(), "");
    EXPECT_EQ(rows(), (std::vector<std::string>{"new1-1", "new1-2"}));
    EXPECT_EQ(pagesAsked(), (std::vector<std::string>{"1"}));
}
