#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/shell/KXNavigationController.h"
#include "app/shell/UIColorHex.h"
#include "app/tabs/promote/KXPromoteCell.h"
#include "app/tabs/promote/KXPromoteListController.h"
#include "app/tabs/promote/KXPromoteProtocol.h"
#include "app/tabs/promote/KXSegmentedBgTitleCell.h"
#include "app/tabs/promote/KXSegmentedBgTitleDataSource.h"
#include "app/tabs/promote/KXSegmentedBgTitleItemModel.h"
#include "foundation/NSBundle.h"
#include "frameworks/segmented/JXSegmentedView.h"
#include "tests/app/DemoPromoterFixture.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIDriver.h"
#include "uikit/UIPasteboard.h"
#include "uikit/UIWindow.h"

namespace {

Ref<Velmaro::KXPromoteGameModel> game(const std::string& name, std::vector<std::string> tags, double point = 0) {
    auto model = make<Velmaro::KXPromoteGameModel>();
    model->name = name;
    model->gid = "g-" + name;
    model->type = "卡牌";
    model->biaoqian = std::move(tags);
    model->point = point;
    return model;
}

// A full-screen table over the list page's data source, in a window.
class PromoteRows : public AppFixture {
protected:
    void SetUp() override {
        NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR);
        window = make<UIWindow>();
        table = make<UITableView>(window->bounds());
        table->setRowHeight(UITableViewAutomaticDimension);
        table->setEstimatedRowHeight(40);
        table->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::Never);
        table->setDataSource(rows);
        table->setDelegate(rows);
        window->addSubview(table);
        window->makeKeyAndVisible();
        rows->didClickGame = [this](const Ref<Velmaro::KXPromoteGameModel>& model) { clicked.push_back(model); };
    }
    void TearDown() override { NSBundle::setMainBundlePath(""); }

    void show(std::vector<Ref<Velmaro::KXPromoteGameModel>> games) {
        rows->models = std::move(games);
        table->reloadData();
        driver.settle();
    }
    Ref<KXPromoteCell> cell(long row) const {
        return cast<KXPromoteCell>(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0)));
    }
    static std::vector<std::string> shownTags(const Ref<KXPromoteCell>& cell) {
        std::vector<std::string> shown;
        for (const auto& tag : {cell->scaleLabel(), cell->rebateLabel(), cell->divineLabel()})
            if (!tag->isHidden()) shown.push_back(tag->text());
        return shown;
    }

    Ref<KXPromoteProtocol> rows = make<KXPromoteProtocol>();
    std::vector<Ref<Velmaro::KXPromoteGameModel>> clicked;
    Ref<UIWindow> window;
    Ref<UITableView> table;
    UIDriver driver;
};

TEST_F(PromoteRows, TagsShowOnlyForOneToThreeEntriesAndStarsFollowThePoint) {
    show({game("零", {}), game("一", {"BT版"}), game("二", {"BT版", "热门"}), game("三", {"BT版", "热门", "独家"}, 7),
          game("四", {"a", "b", "c", "d"})});
    ASSERT_EQ(table->numberOfRowsInSection(0), 5);
    EXPECT_EQ(shownTags(cell(0)), std::vector<std::string>{});
    EXPECT_EQ(shownTags(cell(1)), (std::vector<std::string>{"BT版"}));
    EXPECT_EQ(shownTags(cell(2)), (std::vector<std::string>{"BT版", "热门"}));
    ASSERT_TRUE(cell(3));
    EXPECT_EQ(shownTags(cell(3)), (std::vector<std::string>{"BT版", "热门", "独家"}));
    EXPECT_EQ(cell(3)->scaleLabel()->frame().size.width, 70) << "tags keep their widths";
    EXPECT_EQ(cell(3)->starView()->rating(), 3.5) << "a score out of 10 on five stars";
    EXPECT_EQ(cell(0)->starView()->rating(), 0);
    EXPECT_EQ(cell(0)->starView()->settings().filledColor, hex("#FF4F2F"));
    EXPECT_FALSE(cell(0)->starView()->isUserInteractionEnabled());

    // The card: 156 high on a 166-point row, 335 wide, actions 67 points apart.
    EXPECT_EQ(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)).size.height, 166);
    EXPECT_EQ(cell(0)->bgView()->frame(), CGRectMake(20, 0, 335, 156));
    for (auto action : {KXPromoteCell::CopyPromote, KXPromoteCell::QRCode, KXPromoteCell::Ripple, KXPromoteCell::Pal,
                        KXPromoteCell::Friend})
        EXPECT_EQ(cell(0)->actionImageView(action)->frame().origin.x, 24 + 67 * action);
    EXPECT_EQ(cell(4)->numLabel()->text(), "5");
}

TEST_F(PromoteRows, BadgesCountFromOneAndReusedCellsShowTheirNewRow) {
    std::vector<Ref<Velmaro::KXPromoteGameModel>> games;
    for (int i = 0; i < 12; ++i) games.push_back(game("游戏" + std::to_string(i), {"BT版"}));
    show(games);
    EXPECT_EQ(cell(0)->numLabel()->text(), "1");
    ASSERT_TRUE(driver.scrollToRow(table, NSIndexPath::indexPathForRow(9, 0))) << driver.lastError();
    EXPECT_EQ(cell(9)->numLabel()->text(), "10");
    EXPECT_EQ(cell(9)->nameLabel()->text(), "游戏9");

    // A tap on the second row hands its game over once.
    ASSERT_TRUE(driver.selectRow(table, NSIndexPath::indexPathForRow(1, 0))) << driver.lastError();
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0]->name, "游戏1");
    rows->didClickGame = nullptr;
    ASSERT_TRUE(driver.selectRow(table, NSIndexPath::indexPathForRow(2, 0))) << driver.lastError();
    EXPECT_EQ(clicked.size(), 1u);
}

TEST_F(PromoteRows, ACellWithoutALinkCopiesNothingAndSaysNothing) {
    auto blank = make<KXPromoteCell>(UITableViewCellStyle::Default, KXPromoteCell::kReuseIdentifier);
    blank->setModel(nullptr);
    EXPECT_EQ(blank->nameLabel()->text(), "");
    EXPECT_TRUE(blank->scaleLabel()->isHidden());
    UIPasteboard::generalPasteboard()->setString("earlier");
    for (const auto& model : {Ref<Velmaro::KXPromoteGameModel>(), game("无链接", {})}) {
        blank->setModel(model);
        blank->copyPromoteButtonClick(nullptr);
        blank->qrCodeButtonClick(nullptr);
        EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "earlier") << "the user's text stays";
        EXPECT_FALSE(MBProgressHUD::HUDForView(blank));
        EXPECT_EQ(window->subviews().size(), 1u) << "no code without a link";
    }
}

TEST_F(PromoteRows, TheGreyGapStandsAboveTheRowsOnlyOnAStandAlonePage) {
    show({game("一", {})});
    EXPECT_EQ(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)).origin.y, 0);
    rows->hideNav = false;
    rows->models.reset();
    table->reloadData();
    driver.settle();
    EXPECT_EQ(table->numberOfRowsInSection(0), 0);
    EXPECT_EQ(table->contentSize().height, 10) << "the gap shows without rows";
    show({game("一", {})});
    EXPECT_EQ(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)).origin.y, 10);
}

TEST_F(PromoteRows, TheBackgroundTitleBarShowsTitlesInItsOwnCells) {
    auto bar = make<JXSegmentedView>(CGRectMake(0, 100, 375, 50));
    auto titles = make<KXSegmentedBgTitleDataSource>();
    titles->titles = {"角色扮演", "卡牌"};
    bar->setDataSource(titles);
    window->addSubview(bar);
    bar->reloadData();
    driver.settle();
    ASSERT_EQ(titles->dataSource().size(), 2u);
    EXPECT_TRUE(cast<KXSegmentedBgTitleItemModel>(titles->dataSource()[1]));
    auto cells = bar->collectionView()->visibleCells();
    ASSERT_EQ(cells.size(), 2u);
    for (const auto& shown : cells) {
        auto titled = cast<KXSegmentedBgTitleCell>(shown);
        ASSERT_TRUE(titled);
        EXPECT_EQ(titled->reuseIdentifier(), "cell");
        EXPECT_FALSE(titled->backgroundView()) << "the base cell has no background view";
    }
    EXPECT_TRUE(driver.find("卡牌"));
}

// The list page pushed alone, as the Assets tab does.
class StandAlonePromoteList : public DemoPromoterFixture {};

TEST_F(StandAlonePromoteList, ShowsItsTopBarAndTheGapAndOpensAGamesDetails) {
    auto list = make<KXPromoteListController>();
    list->setHideNav(false);
    auto stack = make<KXNavigationController>(list);
    showInWindow(stack);
    ASSERT_TRUE(runUntil([&] { return list->tableView() && list->tableView()->numberOfRowsInSection(0) == 10; }));
    EXPECT_EQ(list->navigationView()->titleLabel()->text(), "推广游戏");
    EXPECT_EQ(list->tableView()->frame().origin.y, CGRectGetMaxY(list->navigationView()->frame()));
    EXPECT_EQ(list->tableView()->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)).origin.y, 10);
    EXPECT_EQ(list->type(), "");

    ASSERT_TRUE(driver.selectRow(list->tableView(), NSIndexPath::indexPathForRow(2, 0))) << driver.lastError();
    finishTransition();
    EXPECT_EQ(stack->topViewController()->className(), "KXGameDetailsViewController");
}

}  // namespace
