#include <gtest/gtest.h>

#include <regex>

#include "app/promotion/KXAnswerText.h"
#include "app/promotion/KXGameDetailsViewController.h"
#include "app/shell/UIViewExt.h"
#include "app/shell/WMUtil.h"
#include "tests/app/promotion/GameScreenFixture.h"
#include "tests/support/MisbehavingServer.h"
#include "uikit/UINavigationItem.h"
#include "tests/support/LoopbackHTTPServer.h"

namespace {

class GameDetailsScreen : public GameScreenFixture {
protected:
    Ref<KXGameDetailsViewController> openGame(const std::string& id) {
        auto details = make<KXGameDetailsViewController>();
        details->setIdStr(id);
        return open(details);
    }
    // Waits until the game's answer has been filled in.
    bool loaded(const Ref<KXGameDetailsViewController>& details) {
        return runUntil([&] { return details->cangnixihuanView() != nullptr; });
    }
    static CGFloat width() { return UIScreen::mainScreen()->bounds().size.width; }
    // A scripted service answering "game_info" with `data`.
    void serveDetails(LoopbackHTTPServer& server, const std::string& data) {
        server.respond("GET", "/", 200, R"({"code":1,"message":"成功","data":)" + data + "}", "application/json");
        KXServiceAddress::setBaseURL(server.baseURL() + "/");
    }
    // Scrolls to the end of the details, where the apply button is, and taps it.
    bool tapApply(const Ref<KXGameDetailsViewController>& details) {
        return driver.scroll(details->mainaTableVie(), 1000) && driver.tap("一键申请");
    }
    static std::vector<Ref<UIView>> recommendedItems(const Ref<KXGameDetailsViewController>& details) {
        std::vector<Ref<UIView>> items;
        for (long tag = 100;; ++tag) {
            auto item = details->cangnixihuanView()->viewWithTag(tag);
            if (!item) return items;
            items.push_back(item);
        }
    }
};

TEST_F(GameDetailsScreen, ShowsTheGameItsLevelsAndRecommendationsBlockUnderBlock) {
    auto details = openGame("3");
    ASSERT_TRUE(loaded(details));

    EXPECT_EQ(stack->topViewController()->navigationItem()->title(), "游戏详情");
    EXPECT_EQ(details->mingchengLabe()->text(), "神域传说");
    EXPECT_EQ(details->celvLabe()->text(), "手游/角色扮演");
    EXPECT_TRUE(std::regex_match(details->renshuLabel()->text(), std::regex("[0-9]+人申请")))
        << details->renshuLabel()->text();
    EXPECT_EQ(details->fenchengLabel()->text(), KXAnswerText::text(details->dataDic()["top_fcbl"]));
    EXPECT_FALSE(details->leirongLabel()->text().empty());

    // The screenshot strip: one 142 x 202 item per address on a 375-point screen.
    ASSERT_EQ(details->imgsArr().size(), 3u);
    auto strip = details->maincollectionView();
    strip->layoutIfNeeded();
    EXPECT_EQ(strip->numberOfItemsInSection(0), 3);
    EXPECT_EQ(strip->layoutAttributesForItemAtIndexPath(NSIndexPath::indexPathForItem(1, 0))->frame().size,
              CGSizeMake(142, 202));

    // The description block grows to its text; the others follow it.
    EXPECT_GT(details->gaodu(), 0);
    EXPECT_EQ(details->youxixiangqingView()->frame().size.height, details->gaodu() + 63);
    EXPECT_EQ(details->dengjilevelView()->frame().origin.y, UIViewExt::bottom(*details->youxixiangqingView()));
    EXPECT_EQ(details->cangnixihuanView()->frame().origin.y, UIViewExt::bottom(*details->dengjilevelView()));
    EXPECT_EQ(details->headerView()->frame().size.height, UIViewExt::bottom(*details->cangnixihuanView()));
    EXPECT_EQ(details->mainaTableVie()->tableHeaderView(), details->headerView());

    // Four level columns, titles above shares, the highest share the top one.
    for (const char* level : {"青铜推广员", "白银推广员", "黄金推广员", "钻石推广员"}) {
        EXPECT_TRUE(driver.find(level)) << level;
    }
    EXPECT_EQ(driver.findAll(details->fenchengLabel()->text()).size(), 2u);

    // Four recommended games spread from x 20 to the width less 20.
    auto items = recommendedItems(details);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items.front()->frame().origin.x, 20);
    EXPECT_DOUBLE_EQ(UIViewExt::right(*items.back()), width() - 20);
    EXPECT_TRUE(driver.find("龙城霸业"));
    EXPECT_TRUE(driver.find("一键申请"));
    // The icon and the screenshots load from their addresses.
    ASSERT_TRUE(runUntil([&] {
        driver.settle();
        if (!details->icoImageView()->image() || strip->visibleCells().size() != 3) return false;
        for (const auto& cell : strip->visibleCells()) {
            auto picture = std::dynamic_pointer_cast<UIImageView>(cell->contentView()->viewWithTag(1));
            if (!picture || !picture->image()) return false;
        }
        return true;
    }));
    shoot("game-details.png");

    // Scrolling down reaches the apply button.
    EXPECT_TRUE(driver.scroll(details->mainaTableVie(), 400));
    shoot("game-details-scrolled.png");
}

TEST_F(GameDetailsScreen, ApplyingClosesTheScreenWithoutAMessageAndASecondApplicationIsRefused) {
    // Game 40 is newly listed: nobody promotes it yet.
    auto details = openGame("40");
    ASSERT_TRUE(loaded(details));
    EXPECT_EQ(details->renshuLabel()->text(), "0人申请");
    ASSERT_TRUE(tapApply(details));
    ASSERT_TRUE(runUntil([&] { return stack->viewControllers().size() == 1; }));
    finishTransition();
    EXPECT_EQ(hudText(), "") << "a granted application closes the screen without a message";

    auto again = openGame("40");
    ASSERT_TRUE(loaded(again));
    EXPECT_EQ(again->renshuLabel()->text(), "1人申请");
    ASSERT_TRUE(tapApply(again));
    // Within the same second the request is the first one again, refused
    // as such before the game is looked at.
    ASSERT_TRUE(runUntil([&] { return hudText() == "您已申请过该游戏" || hudText() == "该请求已处理，请勿重复提交"; }));
    EXPECT_EQ(stack->topViewController(), again);
}

// A failed load invents nothing: no name, "--" for the figures, and no
// loading text left over the description.
void expectNothingShown(const Ref<KXGameDetailsViewController>& details) {
    const std::vector<std::string> shown{details->mingchengLabe()->text(), details->celvLabe()->text(),
                                         details->renshuLabel()->text(), details->fenchengLabel()->text(),
                                         details->leirongLabel()->text()};
    EXPECT_EQ(shown, (std::vector<std::string>{"", "", "--人申请", "--", ""}));
}

TEST_F(GameDetailsScreen, AnUnknownGameShowsNothingInvented) {
    auto details = openGame("9999");
    ASSERT_TRUE(runUntil([&] { return hudText() == "游戏不存在"; }));
    expectNothingShown(details);
    EXPECT_EQ(details->dengjilevelView(), nullptr);
    EXPECT_EQ(details->cangnixihuanView(), nullptr);
    EXPECT_EQ(details->headerView()->frame().size.height, UIScreen::mainScreen()->bounds().size.height);
}

TEST_F(GameDetailsScreen, SparseAnswersBuildEmptyBlocksAndFormatNumbers) {
    LoopbackHTTPServer server;
    serveDetails(server, R"({"imgs":[],"icon":"","name":"单机","type":"手游/休闲","number":12,"top_fcbl":45,)"
                         R"("content":"短","fcbl":[],"game":[{"icon":"","name":"唯一"}]})");
    auto details = openGame("7");
    ASSERT_TRUE(loaded(details));
    EXPECT_EQ(details->renshuLabel()->text(), "12人申请");
    EXPECT_EQ(details->fenchengLabel()->text(), "45");
    // No screenshots: the strip stays empty at its full height.
    EXPECT_EQ(details->maincollectionView()->numberOfItemsInSection(0), 0);
    EXPECT_EQ(details->diErGeView()->frame().size.height, 202);
    // No levels: the box holds only its divider.
    auto box = details->dengjilevelView()->subviews().front();
    ASSERT_EQ(box->subviews().size(), 1u);
    EXPECT_EQ(box->subviews().front()->frame(), CGRectMake(0, 37, width() - 40, 1));
    // One recommended game sits at x 20.
    auto items = recommendedItems(details);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items.front()->frame().origin.x, 20);

    // The request named the game and signed uid + id + t.
    auto request = server.lastRequest();
    ASSERT_TRUE(request);
    const std::string t = queryField(request->query, "t");
    EXPECT_EQ(queryField(request->query, "ac"), "game_info");
    EXPECT_EQ(queryField(request->query, "id"), "7");
    EXPECT_EQ(queryField(request->query, "sign"), WMUtil::md5HexDigest("17" + t + "qmvtrapezk42f17bnc"));
}

TEST_F(GameDetailsScreen, ALongDescriptionPushesTheLaterBlocksDown) {
    LoopbackHTTPServer server;
    std::string content;
    for (int i = 0; i < 40; ++i) content += "这是一段很长的游戏介绍文字。";
    serveDetails(server, R"({"imgs":["x"],"name":"长","content":")" + content +
                             R"(","fcbl":[{"title":"一级","fcbl":"50%"}],"game":[{"name":"甲"},{"name":"乙"}]})");
    auto details = openGame("8");
    ASSERT_TRUE(loaded(details));
    EXPECT_EQ(details->gaodu(), details->calculateRowHeight(content, 12));
    EXPECT_GT(details->gaodu(), 100);
    EXPECT_EQ(details->leirongLabel()->frame().size.height, details->gaodu());
    EXPECT_EQ(details->dengjilevelView()->frame().origin.y,
              UIViewExt::bottom(*details->diErGeView()) + details->gaodu() + 63);
    // A missing key shows nothing rather than "(null)".
    EXPECT_EQ(details->celvLabe()->text(), "");
    auto items = recommendedItems(details);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1]->frame().origin.x, width() - 75);
}

TEST_F(GameDetailsScreen, ATransportFailureIsToldAndChangesNothing) {
    MisbehavingServer refusing(MisbehavingServer::Behaviour::RefuseConnections);
    KXServiceAddress::setBaseURL(refusing.url("/"));
    // Pushed without animation, so the clock stands still until the HUD is seen.
    auto details = make<KXGameDetailsViewController>();
    details->setIdStr("3");
    open(details, false);
    // "获取数据失败" shows for its time; once it has gone no HUD is left.
    ASSERT_TRUE(runUntil([&] { return windowHUDCount("获取数据失败") == 1; }));
    EXPECT_EQ(hudText(), "获取数据失败");
    letHUDsHide();
    EXPECT_EQ(windowHUDCount(), 0u);
    expectNothingShown(details);
    EXPECT_EQ(details->dengjilevelView(), nullptr);
}

}  // namespace
