#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/payment/KXBalanceWatch.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "app/tabs/promote/KXPromoteListController.h"
#include "app/tabs/assets/KXAssetsCenterCell.h"
#include "app/tabs/assets/KXAssetsController.h"
#include "app/tabs/assets/KXAssetsIncomeViews.h"
#include "tests/app/tabs/SignedInAppFixture.h"
#include "tests/support/HoldingRelay.h"
#include "tests/support/TextFitCheck.h"

// The Assets tab of the running app against the local back end.
class AssetsTab : public SignedInAppFixture {
protected:
    void SetUp() override {
        SignedInAppFixture::SetUp();
        stack = openTab(1);
        ASSERT_TRUE(stack);
        assets = cast<KXAssetsController>(stack->viewControllers().front());
        ASSERT_TRUE(assets);
        ASSERT_TRUE(runUntil([&] { return protocol()->assetsModel && protocol()->models; }));
        driver.settle();
    }
    const Ref<KXAssetsProtocol>& protocol() const { return assets->tableViewProtocol(); }
    Ref<UITableViewCell> cellAt(long section, long row) {
        const auto path = NSIndexPath::indexPathForRow(row, section);
        EXPECT_TRUE(driver.scrollToRow(assets->tableView(), path)) << driver.lastError();
        return assets->tableView()->cellForRowAtIndexPath(path);
    }
    std::string opened(const std::function<bool()>& tap) {
        EXPECT_TRUE(tap()) << driver.lastError();
        finishTransition();
        std::string name = stack->viewControllers().size() > 1 ? stack->topViewController()->className() : "";
        stack->popToRootViewControllerAnimated(false);
        driver.settle();
        return name;
    }

    Ref<UINavigationController> stack;
    Ref<KXAssetsController> assets;
};

TEST_F(AssetsTab, ShowsTheBalancesTheFourRowsAndTheIncomeDetailsPageByPage) {
    const auto model = protocol()->assetsModel;
    EXPECT_TRUE(assets->navigationView()->isHidden());
    EXPECT_TRUE(driver.find(model->money));
    EXPECT_TRUE(driver.find(model->shareMoney));
    EXPECT_TRUE(driver.find(model->withdraw));
    auto earned = cast<KXAssetsCenterCell>(cellAt(1, 0));
    ASSERT_TRUE(earned);
    EXPECT_EQ(earned->rightLabel()->text(), "￥" + model->money);
    EXPECT_EQ(cast<KXAssetsCenterCell>(cellAt(1, 1))->rightLabel()->text(), model->popularizeNumber);
    EXPECT_FALSE(cast<KXAssetsCenterCell>(cellAt(1, 3))->rightPlaceHoderLabel()->isHidden());
    shot("assets", "tab");

    const std::size_t firstPage = assets->mutDataArr().size();
    ASSERT_EQ(firstPage, 10u);
    EXPECT_EQ(assets->tableView()->numberOfRowsInSection(2), 11);
    auto titles = cast<KXAssetsIncomeCell>(cellAt(2, 0));
    EXPECT_EQ(titles->nameLabel()->text(), "用户名");
    EXPECT_FALSE(titles->topLine()->isHidden());
    auto first = cast<KXAssetsIncomeCell>(cellAt(2, 1));
    EXPECT_EQ(first->nameLabel()->text(), assets->mutDataArr()[0]->username);
    EXPECT_EQ(first->divideLabel()->text(), assets->mutDataArr()[0]->fencheng);
    EXPECT_TRUE(first->topLine()->isHidden());

    // The rows are measured as they come into view: at the last one, pull.
    cellAt(2, static_cast<long>(firstPage));
    ASSERT_TRUE(driver.pullUp(assets->tableView())) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return assets->mutDataArr().size() > firstPage; }));
    EXPECT_EQ(assets->tableView()->numberOfRowsInSection(2), static_cast<long>(assets->mutDataArr().size()) + 1);
    shot("assets", "more");

    // A pull-down starts again from the first page.
    ASSERT_TRUE(driver.pullDown(assets->tableView())) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return assets->mutDataArr().size() == firstPage; }));
}

TEST_F(AssetsTab, ButtonsAndRowsOpenTheirScreens) {
    EXPECT_EQ(opened([&] { return driver.tap("推广公告"); }), "KXPromotionAnnouncementViewController");
    EXPECT_EQ(opened([&] { return driver.tap("分享二维码"); }), "KXPromotionQrCodeViewController");
    EXPECT_EQ(opened([&] { return driver.tap("分成明细"); }), "KXDividedIntoViewController");
    EXPECT_EQ(opened([&] { return driver.tap("申请结算"); }), "KXApplyjiesuanViewController");
    auto row = [&](long r) {
        return [&, r] { return driver.selectRow(assets->tableView(), NSIndexPath::indexPathForRow(r, 1)); };
    };
    EXPECT_EQ(opened(row(2)), "KXDiscountDaiChunViewController");
    bool showsItsTopBar = false;
    EXPECT_EQ(opened([&] {
                  bool tapped = row(3)();
                  auto games = cast<KXPromoteListController>(stack->topViewController());
                  showsItsTopBar = games && !games->hideNav();
                  return tapped;
              }),
              "KXPromoteListController");
    EXPECT_TRUE(showsItsTopBar);
    EXPECT_EQ(opened(row(0)), "");
    EXPECT_EQ(opened(row(1)), "");
}

// The tab's first visit after a money action: its first load brings the
// balances the action left, and nothing asks for them a second time.
class AssetsTabFirstVisit : public SignedInAppFixture {};

TEST_F(AssetsTabFirstVisit, AfterAMoneyActionAsksForEachPartOnce) {
    HoldingRelay relay(backend->port());
    KXServiceAddress::setBaseURL(relay.baseURL());
    KXBalanceWatch::changed();
    auto assets = cast<KXAssetsController>(openTab(1)->viewControllers().front());
    ASSERT_TRUE(assets);
    const auto& shown = assets->tableViewProtocol();
    ASSERT_TRUE(runUntil([&] { return shown->assetsModel && shown->models; }));
    ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); }));
    EXPECT_EQ(relay.sent("cps").size(), 1u);
    EXPECT_EQ(relay.sent("mingxi").size(), 1u);
}

// The asset rows on their own, before any answer and reused.
TEST(AssetsCenterCell, BeforeAnAnswerAndWithoutAPlaceTheRowsKeepTheirLook) {
    auto cell = make<KXAssetsCenterCell>(UITableViewCellStyle::Default, KXAssetsCenterCell::kReuseIdentifier);
    cell->indexPath = NSIndexPath::indexPathForRow(0, 1);
    cell->refresh();
    EXPECT_EQ(cell->rightLabel()->text(), "￥--") << "no figure before the answer";
    cell->indexPath = NSIndexPath::indexPathForRow(3, 1);
    cell->refresh();
    EXPECT_TRUE(cell->rightLabel()->isHidden());
    EXPECT_FALSE(cell->rightArrowImageView()->isHidden());
    EXPECT_FALSE(cell->rightPlaceHoderLabel()->isHidden());
    auto model = make<KXAssetsModel>();
    model->popularizeNumber = "0";
    cell->assetsModel = model;
    cell->indexPath = NSIndexPath::indexPathForRow(1, 1);
    cell->refresh();
    EXPECT_EQ(cell->rightLabel()->text(), "0");
    EXPECT_FALSE(cell->rightLabel()->isHidden());
    EXPECT_TRUE(cell->rightArrowImageView()->isHidden());
    cell->indexPath.reset();
    cell->refresh();
    EXPECT_EQ(cell->rightLabel()->text(), "0");
    EXPECT_TRUE(cell->rightArrowImageView()->isHidden());
    EXPECT_TRUE(cell->rightPlaceHoderLabel()->isHidden());
}

// The income grid's rows on their own: a cell takes the look of the row it
// is handed out for, and the column titles stay bold at their full size,
// breaking onto a second line where their column is narrower than they are.
TEST(AssetsIncomeCell, TakesTheLookOfItsRowWhenReused) {
    const CGFloat size = 14 * layoutScale();
    auto cell = make<KXAssetsIncomeCell>(UITableViewCellStyle::Default, KXAssetsIncomeCell::kReuseIdentifier);
    cell->setIndexPath(NSIndexPath::indexPathForRow(3, 2));
    cell->setModel(make<KXAssetsIncomeDetailModel>());
    cell->setIndexPath(NSIndexPath::indexPathForRow(0, 2));
    cell->showColumnTitles();
    EXPECT_FALSE(cell->topLine()->isHidden());
    EXPECT_EQ(cell->bgView()->backgroundColor(), hex("#FAFAFA"));
    for (const auto& label : {cell->nameLabel(), cell->priceLabel(), cell->timeLabel(), cell->divideLabel()}) {
        EXPECT_EQ(label->font(), UIFont::boldSystemFontOfSize(size)) << label->text();
        EXPECT_EQ(label->numberOfLines(), 2) << label->text();
        EXPECT_FALSE(label->adjustsFontSizeToFitWidth()) << label->text();
    }
    cell->setIndexPath(NSIndexPath::indexPathForRow(1, 2));
    EXPECT_TRUE(cell->topLine()->isHidden());
    EXPECT_EQ(cell->bgView()->backgroundColor(), UIColor::whiteColor());
    EXPECT_EQ(cell->priceLabel()->font(), UIFont::systemFontOfSize(size));
}

// The grid's lines are one layout unit thick, as every length of the grid:
// 1 point on the standard screen, 0.85 on the small one, where ctest runs
// this test again beside the walk of every screen.
TEST(AssetsIncomeCellAtEitherSize, GridLinesAreOneLayoutUnitThick) {
    configureTestScreen();
    const CGFloat s = layoutScale();
    auto cell = make<KXAssetsIncomeCell>(UITableViewCellStyle::Default, KXAssetsIncomeCell::kReuseIdentifier);
    cell->setFrame({0, 0, screenWidth(), 61 * s});
    cell->setIndexPath(NSIndexPath::indexPathForRow(0, 2));
    cell->layoutIfNeeded();
    std::size_t lines = 0;
    for (const auto& view : cell->bgView()->subviews()) {
        if (cast<UILabel>(view)) continue;
        ++lines;
        const CGSize size = view->frame().size;
        EXPECT_NEAR(std::min(size.width, size.height), s, 1e-6) << "a line of " << size.width << " x " << size.height;
    }
    EXPECT_EQ(lines, 7u);
}
