#include <gtest/gtest.h>

#include "app/promotion/KXHomePageViewController.h"
#include "app/promotion/KXliushuiCollectionViewCell.h"
#include "app/shell/UIColorHex.h"
#include "tests/app/promotion/DashboardFixture.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "tests/support/TestShots.h"
#include "tests/support/TextFitCheck.h"

class HomeDashboard : public DashboardFixture {
protected:
    Ref<KXHomePageViewController> openPage() {
        auto page = make<KXHomePageViewController>();
        show(page);
        EXPECT_TRUE(runUntil([&] { return !page->dataDic().isNil(); }));
        driver.settle();
        return page;
    }
    // The service answers every request with this "index" data.
    void answerIndexWith(const std::string& data) {
        server.respond("GET", "/", 200, R"({"code":1,"message":"成功","data":)" + data + "}", "application/json");
        KXServiceAddress::setBaseURL(server.baseURL() + "/");
    }
    static std::string statistics(const char* total, const char* number, const char* percent) {
        return std::string(R"({"recharge":[],"function":[],"statistics":{"totalPeople":")") + total +
               R"(","data":{"number":")" + number + R"(","title":"付费用户","percent":)" + percent + "}}}";
    }

    LoopbackHTTPServer server;
};

// The same page with scripted answers instead of the local back end.
class HomeDashboardScripted : public HomeDashboard {
protected:
    bool usesLocalBackend() const override { return false; }
};

TEST_F(HomeDashboard, ShowsTheCardsTilesAndPlayerSplitOfTheAnswer) {
    auto page = openPage();
    const Value& data = page->dataDic();

    auto cards = page->maincollectionView();
    ASSERT_EQ(cards->numberOfItemsInSection(0), static_cast<long>(data["recharge"].array()->size()));
    for (std::size_t item : {std::size_t{0}, std::size_t{1}}) {
        auto card = cast<KXliushuiCollectionViewCell>(cards->cellForItemAtIndexPath(NSIndexPath::indexPathForItem(static_cast<long>(item), 0)));
        ASSERT_TRUE(card) << item;
        EXPECT_EQ(card->jingELabel()->text(), *data["recharge"][item]["money"].text());
        EXPECT_EQ(card->liushui()->text(), *data["recharge"][item]["title"].text());
        EXPECT_EQ(card->backgroundColor(), UIColorHex::colorWithHexStringWithHexString(item == 0 ? "#5559EA" : "#42CE9E"));
        EXPECT_EQ(card->frame().size, (CGSize{124, 74}));
    }

    const Array& tiles = *data["function"].array();
    ASSERT_EQ(tiles.size(), KXHomePageViewController::kTileSlots);
    EXPECT_FALSE(page->commonlyUsedView()->isHidden());
    for (std::size_t slot = 0; slot < tiles.size(); ++slot) {
        EXPECT_FALSE(page->redhongseViewMuArr()[slot]->isHidden());
        EXPECT_EQ(page->labelMuArr()[slot]->text(), *tiles[slot]["title"].text());
    }

    const Value& statistics = data["statistics"];
    const auto& slices = page->data1();
    ASSERT_EQ(slices.size(), 2u);
    const int total = std::stoi(*statistics["totalPeople"].text());
    const int payers = std::stoi(*statistics["data"]["number"].text());
    EXPECT_EQ(slices[0]->number(), std::to_string(payers));
    EXPECT_EQ(slices[1]->number(), std::to_string(total - payers));
    EXPECT_EQ(slices[1]->name(), "其它");
    EXPECT_FALSE(page->circleView_one()->isHidden());
    EXPECT_EQ(page->circleView_one()->superview(), page->shujuView());
    EXPECT_EQ(page->centreLabel()->text(), "总人数\n" + std::to_string(total));
    std::vector<Ref<UIImageView>> icons = page->imageMuArr();
    icons.push_back(page->navigationTopView()->icoIamgeView());
    ASSERT_TRUE(waitForImages(icons));
    ASSERT_TRUE(checkedShot(driver, testShotPath("promotion-home-dashboard.png"))) << driver.lastError();
}

TEST_F(HomeDashboard, TheAccountKindThreeHidesThePanelThoughItsTilesAreFilled) {
    signIn(kDemo, "3");
    auto page = openPage();
    EXPECT_TRUE(page->commonlyUsedView()->isHidden());
    EXPECT_FALSE(page->redhongseViewMuArr()[0]->isHidden());
}

TEST_F(HomeDashboardScripted, SlicesCarryTheShareAndTheRestToTwoDecimals) {
    answerIndexWith(statistics("10", "4", "37.5"));
    auto page = openPage();
    const auto& slices = page->data1();
    ASSERT_EQ(slices.size(), 2u);
    EXPECT_EQ(slices[0]->column(), "37.50%");
    EXPECT_EQ(slices[1]->column(), "62.50%");
    EXPECT_EQ(slices[0]->number(), "4");
    EXPECT_EQ(slices[1]->number(), "6");
    EXPECT_EQ(slices[0]->name(), "付费用户");
    // An empty tile list leaves every slot hidden.
    for (const auto& tile : page->redhongseViewMuArr()) EXPECT_TRUE(tile->isHidden());
    EXPECT_EQ(page->maincollectionView()->numberOfItemsInSection(0), 0);
}

TEST_F(HomeDashboardScripted, NoPlayersHidesTheChartButNotTheTotal) {
    answerIndexWith(statistics("0", "0", "0"));
    auto page = openPage();
    EXPECT_TRUE(page->circleView_one()->isHidden());
    EXPECT_EQ(page->centreLabel()->text(), "总人数\n0");
    EXPECT_FALSE(page->centreLabel()->isHidden());
}

TEST_F(HomeDashboardScripted, ThreeTilesShowOnlyTheFirstThreeSlots) {
    answerIndexWith(R"({"recharge":[{"money":"1.00","title":"今日"}],"function":[)"
                    R"({"image":"","title":"甲","type":6},{"image":"","title":"乙","type":"8"},)"
                    R"({"image":"","title":"丙","type":-1}],"statistics":{"totalPeople":"1","data":)"
                    R"({"number":"1","title":"付费用户","percent":"100"}}})");
    auto page = openPage();
    for (std::size_t slot = 0; slot < KXHomePageViewController::kTileSlots; ++slot) {
        EXPECT_EQ(page->redhongseViewMuArr()[slot]->isHidden(), slot >= 3) << slot;
    }
    EXPECT_EQ(page->labelMuArr()[1]->text(), "乙");
    // Types 6, 8 and -1 open nothing.
    for (const char* title : {"甲", "乙", "丙"}) {
        ASSERT_TRUE(driver.tap(title)) << driver.lastError();
        finishTransition();
        EXPECT_EQ(stack->viewControllers().size(), 1u) << title;
    }
}

TEST_F(HomeDashboard, ANotchedScreenTakesTheTallerTopBar) {
    UIScreen::useNotchedScreen();
    auto page = openPage();
    EXPECT_EQ(page->navigationTopView()->frame().size.height, 108);
    EXPECT_EQ(page->navigationTopView()->zhanghaoLabel()->frame().origin.y, 59);
    EXPECT_EQ(page->mainTabelView()->frame(), (CGRect{0, 108, 375, 812 - 108}));
}
