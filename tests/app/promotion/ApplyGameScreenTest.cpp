#include <gtest/gtest.h>

#include "app/payment/KXBillingDetailsViewController.h"
#include "app/promotion/KXApplyGameCell.h"
#include "app/promotion/KXApplyGameViewController.h"
#include "app/promotion/KXGameDetailsViewController.h"
#include "tests/app/promotion/GameScreenFixture.h"
#include "uikit/UINavigationItem.h"
#include "tests/support/HoldingRelay.h"
#include "tests/support/LoopbackHTTPServer.h"

namespace {

class ApplyGameScreen : public GameScreenFixture {
protected:
    Ref<KXApplyGameViewController> openList() {
        auto list = open<KXApplyGameViewController>();
        EXPECT_TRUE(runUntil([&] { return list->rowCount() > 0; }));
        driver.settle();
        return list;
    }
    // Taps the row and answers the details screen it pushed.
    Ref<KXGameDetailsViewController> openRow(const Ref<KXApplyGameViewController>& list, long row) {
        if (!driver.selectRow(list->mainTabelView(), NSIndexPath::indexPathForRow(row, 0))) return nullptr;
        finishTransition();
        return std::dynamic_pointer_cast<KXGameDetailsViewController>(stack->topViewController());
    }
    bool search(const std::string& keyword) {
        auto field = driver.find("#searchField");
        if (!field) return false;
        auto text = std::dynamic_pointer_cast<UITextField>(field);
        return driver.tap(field) && driver.deleteBackward(text->text().size()) &&
               (keyword.empty() || driver.typeText(field, keyword)) && driver.pressReturn();
    }
};

TEST_F(ApplyGameScreen, ListsTheOpenGamesPageByPageUnderTheSearchField) {
    auto list = openList();
    EXPECT_EQ(list->navigationItem()->title(), "申请游戏");
    ASSERT_EQ(list->rowCount(), 10u);
    EXPECT_EQ(list->p(), "2");
    EXPECT_EQ(list->max_p(), "3");
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    EXPECT_EQ(list->searchField()->frame(), CGRectMake(20, 10, width - 40, 44));
    EXPECT_EQ(list->mainTabelView()->frame().origin.y, 54);

    // A row shows the game with its share line and its two date lines.
    auto cell = std::dynamic_pointer_cast<KXApplyGameCell>(
        list->mainTabelView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)));
    ASSERT_TRUE(cell);
    auto model = list->rowModel(0);
    EXPECT_EQ(cell->frame().size.height, 139);
    EXPECT_EQ(cell->mingchengLabel()->text(), *model->name);
    EXPECT_EQ(cell->shouyoufenchengBilieLabel()->text(), *model->system_type + "/分成比例：" + *model->fcbl);
    EXPECT_EQ(cell->riqiLabel()->text(), *model->time1 + "\n" + *model->time2);
    EXPECT_EQ(cell->shuduanLabel()->text(), *model->system);
    // The systems badge ends 5 points before the date lines.
    EXPECT_EQ(cell->shuduanLabel()->frame().origin.x + cell->shuduanLabel()->frame().size.width,
              cell->riqiLabel()->frame().origin.x - 5);
    ASSERT_TRUE(runUntil([&] { return cell->icoimageView()->image() != nullptr; }));
    shoot("apply-game-list.png");

    // Pulling up appends the next pages until the last; then it only says so.
    ASSERT_TRUE(driver.pullUp(list->mainTabelView()));
    ASSERT_TRUE(runUntil([&] { return list->rowCount() == 20; }));
    ASSERT_TRUE(driver.pullUp(list->mainTabelView()));
    ASSERT_TRUE(runUntil([&] { return list->p() == "4"; }));
    EXPECT_EQ(list->rowCount(), 22u);
    ASSERT_TRUE(driver.pullUp(list->mainTabelView()));
    EXPECT_EQ(hudText(), "没有更多数据，请待会在上拉加载");
}

TEST_F(ApplyGameScreen, SearchingReloadsForTheKeywordFromTheFirstPage) {
    auto list = openList();
    ASSERT_TRUE(search("传奇"));
    ASSERT_TRUE(runUntil([&] { return list->rowCount() < 10; }));
    EXPECT_EQ(list->keywordStr(), "传奇");
    EXPECT_FALSE(list->searchField()->isFirstResponder());
    for (std::size_t i = 0; i < list->rowCount(); ++i) {
        EXPECT_NE(list->rowModel(i)->name->find("传奇"), std::string::npos) << *list->rowModel(i)->name;
    }
    // An empty search lists every open game again.
    ASSERT_TRUE(search(""));
    ASSERT_TRUE(runUntil([&] { return list->rowCount() == 10; }));
    EXPECT_EQ(list->keywordStr(), "");
    EXPECT_EQ(list->max_p(), "3");
}

TEST_F(ApplyGameScreen, ARowOpensItsGamesDetails) {
    auto list = openList();
    const std::string name = *list->rowModel(1)->name;
    auto details = openRow(list, 1);
    ASSERT_TRUE(details);
    EXPECT_EQ(details->idStr(), *list->rowModel(1)->id);
    ASSERT_TRUE(runUntil([&] { return details->mingchengLabe()->text() == name; }));
}

TEST_F(ApplyGameScreen, AGrantedApplicationTakesTheGameOffTheList) {
    auto list = openList();
    const std::string id = *list->rowModel(0)->id;
    auto details = openRow(list, 0);
    ASSERT_TRUE(details);
    ASSERT_TRUE(runUntil([&] { return details->cangnixihuanView() != nullptr; }));
    ASSERT_TRUE(driver.scroll(details->mainaTableVie(), 1000) && driver.tap("一键申请")) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return list->rowCount() > 0 && *list->rowModel(0)->id != id; }));
    finishTransition();
    EXPECT_EQ(stack->topViewController(), list);
    EXPECT_EQ(hudText(), "");
    for (std::size_t i = 0; i < list->rowCount(); ++i) EXPECT_NE(*list->rowModel(i)->id, id);
}

TEST_F(ApplyGameScreen, ASearchDuringASlowLoadIsSentAndOnlyItsGamesShow) {
    HoldingRelay relay(backend->port());
    KXServiceAddress::setBaseURL(relay.baseURL());
    relay.hold(HoldingRelay::field("games", "keyword", ""));
    auto list = open<KXApplyGameViewController>();
    ASSERT_TRUE(runUntil([&] { return relay.held() == 1; }));
    ASSERT_TRUE(search("传奇"));
    ASSERT_TRUE(runUntil([&] { return list->rowCount() > 0; })) << "the search is sent";
    const auto found = list->rowCount();
    // The whole list's request was cancelled: a late answer would reach nothing.
    relay.release();
    ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); }));
    EXPECT_EQ(list->rowCount(), found);
    for (std::size_t i = 0; i < list->rowCount(); ++i)
        EXPECT_NE(list->rowModel(i)->name->find("传奇"), std::string::npos) << *list->rowModel(i)->name;
    EXPECT_EQ(list->max_p(), "1");
}

// Searches typed while the back end holds the list: each cancels the one
// it supersedes, so none keeps a connection that 结算明细 opened next needs.
TEST_F(ApplyGameScreen, SearchesOnAHeldBackEndHoldNoConnectionTheNextScreenNeeds) {
    HoldingRelay relay(backend->port());
    KXServiceAddress::setBaseURL(relay.baseURL());
    relay.hold(HoldingRelay::action("games"));
    open<KXApplyGameViewController>();
    for (int i = 0; i < 7; ++i) ASSERT_TRUE(search("传奇" + std::to_string(i)));
    auto records = open<KXBillingDetailsViewController>();
    EXPECT_TRUE(runUntil([&] { return !records->dataMuArr().empty(); })) << "jiesuan_list waits for a connection";
}

TEST_F(ApplyGameScreen, AFailedSearchKeepsTheListOnShowAndPagesIt) {
    HoldingRelay relay(backend->port());
    KXServiceAddress::setBaseURL(relay.baseURL());
    auto list = openList();
    relay.script(HoldingRelay::field("games", "keyword", "传奇"), HoldingRelay::kHTTPFailure);
    ASSERT_TRUE(search("传奇"));
    ASSERT_TRUE(runUntil([&] { return hudText() == "获取数据失败"; }));
    EXPECT_EQ(list->rowCount(), 10u);
    letHUDsHide();
    ASSERT_TRUE(driver.pullUp(list->mainTabelView()));
    ASSERT_TRUE(runUntil([&] { return list->rowCount() == 20; })) << "the second page of the list on show";
    EXPECT_EQ(relay.sent("games").back().at("keyword"), "");
}

TEST_F(ApplyGameScreen, AMoreAfterARefusedFirstLoadSendsNothingAndSaysTheLoadFailed) {
    LoopbackHTTPServer server;
    server.respond("GET", "/", 200, R"({"code":0,"message":"服务器维护中"})", "application/json");
    KXServiceAddress::setBaseURL(server.baseURL() + "/");
    auto list = open<KXApplyGameViewController>();
    ASSERT_TRUE(runUntil([&] { return hudText() == "服务器维护中"; }));
    auto request = server.lastRequest();
    EXPECT_EQ(queryField(request->query, "ac"), "games");
    EXPECT_EQ(queryField(request->query, "p"), "1");
    EXPECT_EQ(queryField(request->query, "keyword"), "");
    EXPECT_EQ(list->p(), "1");
    EXPECT_EQ(list->max_p(), "");
    letHUDsHide();
    ASSERT_TRUE(driver.pullUp(list->mainTabelView()));
    EXPECT_EQ(hudText(), "获取数据失败");
    // A request the pull sent would be answered by now.
    ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); }));
    EXPECT_EQ(server.requestCount(), 1u);
}

}  // namespace
