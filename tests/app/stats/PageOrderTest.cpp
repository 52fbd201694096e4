#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/stats/KXOpenServiceInfoController.h"
#include "frameworks/refresh/MJRefreshFooter.h"
#include "frameworks/refresh/MJRefreshHeader.h"
#include "frameworks/refresh/UIScrollViewMJRefresh.h"
#include "tests/app/stats/StatsScreenFixture.h"
#include "tests/support/HoldingRelay.h"

namespace {

// 开服信息 (15 openings: pages of 10, 5, then none) against a back end that
// holds chosen pages back.
class PageOrderTest : public StatsScreenFixture {
protected:
    void SetUp() override {
        StatsScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        relay = std::make_unique<HoldingRelay>(backend->port());
        KXServiceAddress::setBaseURL(relay->baseURL());
        screen = make<KXOpenServiceInfoController>();
        open(screen, [&] { return screen->mutDataArr().size() == 10; });
    }
    void TearDown() override {
        relay->release();
        StatsScreenFixture::TearDown();
    }

    Ref<UITableView> table() const { return screen->tableView(); }
    const Ref<KXHttpManager>& client() const { return screen->httpManager(); }
    // The "p" of each page request sent so far ("" for first pages).
    std::vector<std::string> pagesAsked() const {
        std::vector<std::string> pages;
        for (auto& fields : relay->sent("kaifu")) pages.push_back(fields.count("p") ? fields["p"] : "");
        return pages;
    }
    // The server names of the rows, in order.
    std::vector<std::string> shown() const {
        std::vector<std::string> names;
        for (const auto& opening : screen->mutDataArr()) names.push_back(opening->server_name);
        return names;
    }
    // Runs the loop until the latest page request has been answered.
    bool answersTakenIn() {
        return runUntil([&] { return !client()->pageUnderWay(); }) && (driver.settle(), true);
    }
    bool footerRefreshing() const { return UIScrollViewMJRefresh::mj_footer(table())->isRefreshing(); }

    std::unique_ptr<HoldingRelay> relay;
    Ref<KXOpenServiceInfoController> screen;
};

TEST_F(PageOrderTest, AMoreWhileAPageIsUnderWaySendsNothingAndEachPageArrivesOnceInOrder) {
    const auto firstPage = shown();
    relay->hold(HoldingRelay::page("kaifu", "2"));
    ASSERT_TRUE(loadMore(table()));
    ASSERT_TRUE(runUntil([&] { return relay->held() == 1; }));
    // The footer goes on loading; asking again sends nothing.
    EXPECT_TRUE(footerRefreshing());
    screen->loadMoreData();
    ASSERT_TRUE(loadMore(table()));
    EXPECT_EQ(pagesAsked(), (std::vector<std::string>{"", "2"}));

    relay->release();
    ASSERT_TRUE(answersTakenIn());
    EXPECT_EQ(shown().size(), 15u);
    EXPECT_TRUE(std::equal(firstPage.begin(), firstPage.end(), shown().begin()));
    EXPECT_EQ(client()->p(), 2);
    EXPECT_FALSE(footerRefreshing());
    ASSERT_TRUE(loadMore(table()));
    ASSERT_TRUE(answersTakenIn());
    EXPECT_EQ(pagesAsked(), (std::vector<std::string>{"", "2", "3"}));
    EXPECT_EQ(shown().size(), 15u);
}

TEST_F(PageOrderTest, APullDuringANextPageSupersedesItsLateAnswer) {
    const auto firstPage = shown();
    relay->hold(HoldingRelay::page("kaifu", "2"));
    ASSERT_TRUE(loadMore(table()));
    ASSERT_TRUE(runUntil([&] { return relay->held() == 1; }));
    ASSERT_TRUE(driver.pullDown(table()));
    ASSERT_TRUE(runUntil([&] { return !client()->pageUnderWay(); })) << "the pull's first page";
    EXPECT_FALSE(footerRefreshing());

    // The late page 2 reaches neither the rows nor the page number.
    relay->release();
    ASSERT_TRUE(answersTakenIn());
    EXPECT_EQ(shown(), firstPage);
    EXPECT_EQ(client()->p(), 1);
    ASSERT_TRUE(loadMore(table()));
    ASSERT_TRUE(answersTakenIn());
    EXPECT_EQ(pagesAsked(), (std::vector<std::string>{"", "2", "", "2"}));
    EXPECT_EQ(shown().size(), 15u);
}

TEST_F(PageOrderTest, AFailedPullAfterPagingLeavesTheRowsAndThePageTheyHold) {
    ASSERT_TRUE(loadMore(table()));
    ASSERT_TRUE(answersTakenIn());
    const auto paged = shown();
    ASSERT_EQ(paged.size(), 15u);
    relay->script(HoldingRelay::page("kaifu", ""), R"({"code":0,"message":"服务器忙"})");
    ASSERT_TRUE(driver.pullDown(table()));
    ASSERT_TRUE(runUntil([&] { return toastOn(screen->view()) == "服务器忙"; }));
    EXPECT_EQ(client()->p(), 2);
    EXPECT_EQ(shown(), paged);

    // The next page is the one after the rows, and nothing comes twice.
    relay->unscript();
    letHUDsHide();
    ASSERT_TRUE(loadMore(table()));
    ASSERT_TRUE(answersTakenIn());
    EXPECT_EQ(pagesAsked().back(), "3");
    EXPECT_EQ(shown(), paged);
}

TEST_F(PageOrderTest, AnEmptyPullAfterPagingKeepsTheRowsAndThePageTheyHold) {
    ASSERT_TRUE(loadMore(table()));
    ASSERT_TRUE(answersTakenIn());
    const auto paged = shown();
    ASSERT_EQ(paged.size(), 15u);
    relay->script(HoldingRelay::page("kaifu", ""), R"({"code":1,"data":[]})");
    ASSERT_TRUE(driver.pullDown(table()));
    ASSERT_TRUE(answersTakenIn());
    EXPECT_EQ(shown(), paged);
    EXPECT_EQ(client()->p(), 2);

    relay->unscript();
    ASSERT_TRUE(loadMore(table()));
    ASSERT_TRUE(answersTakenIn());
    EXPECT_EQ(pagesAsked().back(), "3");
    EXPECT_EQ(shown(), paged);
}

TEST_F(PageOrderTest, AMoreBeforeAnyPageArrivedSendsNothingAndSaysTheLoadFailed) {
    relay->script(HoldingRelay::page("kaifu", ""), HoldingRelay::kHTTPFailure);
    auto failed = make<KXOpenServiceInfoController>();
    open(failed, [&] { return toastOn(failed->view()) == "获取数据失败"; });
    relay->unscript();
    letHUDsHide();
    ASSERT_TRUE(loadMore(failed->tableView()));
    EXPECT_EQ(toastOn(failed->view()), "获取数据失败");
    EXPECT_EQ(relay->sent("kaifu").size(), 2u) << "the first screen's page and the failed one";
    EXPECT_TRUE(failed->mutDataArr().empty());
    EXPECT_FALSE(UIScrollViewMJRefresh::mj_footer(failed->tableView())->isRefreshing());
}

}  // namespace
