#include <gtest/gtest.h>

#include <functional>
#include <typeinfo>

#include "app/promotion/KXApplyGameViewController.h"
#include "app/promotion/KXHomePageViewController.h"
#include "app/promotion/KXMygameYouXiViewController.h"
#include "app/promotion/KXManagementViewController.h"
#include "app/promotion/KXPromoteViewController.h"
#include "app/promotion/KXPromoteGameViewController.h"
#include "app/promotion/KXPromotionQrCodeViewController.h"
#include "app/promotion/MyViewController.h"
#include "app/payment/KXApplyjiesuanViewController.h"
#include "app/payment/KXBillingDetailsViewController.h"
#include "app/payment/KXChangchyongViewController.h"
#include "app/payment/KXDiscountDaiChunViewController.h"
#include "app/payment/KXPrepaidPhoneRecordsjiluViewController.h"
#include "app/team/KXChangeThePasswordViewController.h"
#include "app/team/KXContactUsViewController.h"
#include "app/team/KXDividedIntoViewController.h"
#include "app/team/KXPersonalInformationViewController.h"
#include "app/team/KXPromotionAnnouncementViewController.h"
#include "app/team/KXTixianguanliViewController.h"
#include "app/team/MyOfflineViewController.h"
#include "app/team/KXShirenzhengViewController.h"
#include "app/team/KXDividedintoProportionViewController.h"
#include "app/team/KXRegistrationStatisticsViewController.h"
#include "app/team/KXRoleSummaryViewController.h"
#include "app/team/KXTopupStatisticsViewController.h"
#include "app/team/KXtianjiangxianxiangController.h"
#include "app/team/KXtuiguanpanhangbangViewController.h"
#include "tests/app/promotion/DashboardFixture.h"

// Which screen each tile, row and item type of the earlier dashboards opens.
namespace {

using Opens = std::function<bool(const Ref<UIViewController>&)>;

template <class Screen>
Opens opens() {
    return [](const Ref<UIViewController>& screen) { return cast<Screen>(screen) != nullptr; };
}

}  // namespace

TEST(DashboardRouting, HomeTilesOpenTheirScreensByType) {
    const std::vector<std::pair<long, Opens>> routes = {
        {0, opens<KXPromotionQrCodeViewController>()},
        {1, opens<KXPromoteGameViewController>()},
        {2, opens<KXApplyGameViewController>()},
        {3, opens<KXDiscountDaiChunViewController>()},
        {4, opens<KXApplyjiesuanViewController>()},
        {5, opens<KXBillingDetailsViewController>()},
        {7, opens<KXDividedIntoViewController>()},
        {10, opens<MyOfflineViewController>()},
    };
    for (const auto& [type, check] : routes) EXPECT_TRUE(check(KXHomePageViewController::screenForTileType(type))) << type;
    for (long type : {6L, 8L, 9L, 11L, -1L}) EXPECT_EQ(KXHomePageViewController::screenForTileType(type), nullptr) << type;
}

TEST(DashboardRouting, ManagementTilesTryExactTextsBeforeNumbers) {
    const std::vector<std::pair<std::string, Opens>> routes = {
        {"8", opens<KXMygameYouXiViewController>()},
        {"2", opens<KXApplyGameViewController>()},
        {"02", opens<KXApplyGameViewController>()},
        {"9", opens<KXDividedintoProportionViewController>()},
        {"10", opens<MyOfflineViewController>()},
        {"11", opens<KXtianjiangxianxiangController>()},
        {"12", opens<KXTixianguanliViewController>()},
        {"13", opens<KXRegistrationStatisticsViewController>()},
        {"14", opens<KXTopupStatisticsViewController>()},
        {"15", opens<KXRoleSummaryViewController>()},
        {"16", opens<KXtuiguanpanhangbangViewController>()},
        {"1", opens<KXPromoteGameViewController>()},
        {"03", opens<KXDiscountDaiChunViewController>()},
        {"4", opens<KXApplyjiesuanViewController>()},
        {"05", opens<KXBillingDetailsViewController>()},
        {"7", opens<KXDividedIntoViewController>()},
        {"07", opens<KXDividedIntoViewController>()},
    };
    for (const auto& [type, check] : routes) EXPECT_TRUE(check(KXManagementViewController::screenForTileType(type))) << type;
    // "8" and "11" count only as exact texts.
    for (const char* type : {"0", "6", "17", "08", "011", "", "x"}) {
        EXPECT_EQ(KXManagementViewController::screenForTileType(type), nullptr) << type;
    }
}

TEST(DashboardRouting, PromotionTilesAndRows) {
    EXPECT_TRUE(cast<KXPromotionAnnouncementViewController>(KXPromoteViewController::screenForTile(0)));
    EXPECT_TRUE(cast<KXPromotionQrCodeViewController>(KXPromoteViewController::screenForTile(1)));
    EXPECT_TRUE(cast<KXDividedIntoViewController>(KXPromoteViewController::screenForTile(2)));
    for (long tag : {-1L, 3L}) EXPECT_EQ(KXPromoteViewController::screenForTile(tag), nullptr) << tag;
    for (long row : {0L, 1L}) EXPECT_EQ(KXPromoteViewController::screenForRow(row), nullptr) << row;
    EXPECT_TRUE(cast<KXDiscountDaiChunViewController>(KXPromoteViewController::screenForRow(2)));
    for (long row : {3L, 4L}) EXPECT_TRUE(cast<KXPromoteGameViewController>(KXPromoteViewController::screenForRow(row))) << row;
}

TEST(DashboardRouting, MyPageItemsCompareTheirTypeAsText) {
    const std::vector<std::pair<std::string, Opens>> routes = {
        {"17", opens<KXPersonalInformationViewController>()},
        {"19", opens<KXChangeThePasswordViewController>()},
        {"20", opens<KXPrepaidPhoneRecordsjiluViewController>()},
        {"5", opens<KXBillingDetailsViewController>()},
        {"22", opens<KXContactUsViewController>()},
    };
    for (const auto& [type, check] : routes) EXPECT_TRUE(check(MyViewController::screenForItemType(type))) << type;
    for (const char* type : {"18", "21", "05", "", "(null)"}) {
        EXPECT_EQ(MyViewController::screenForItemType(type), nullptr) << type;
    }
}

// A tap on a tile pushes its screen, animated, on the page's own stack.
class DashboardRoutingTaps : public DashboardFixture {};

TEST_F(DashboardRoutingTaps, AManagementTilePushesItsScreen) {
    auto page = make<KXManagementViewController>();
    show(page);
    ASSERT_TRUE(runUntil([&] { return !page->dataMutableArr().empty(); }));
    driver.settle();
    driver.scrollToRow(page->mainTabelView(), NSIndexPath::indexPathForRow(2, 0));
    ASSERT_TRUE(driver.tap("添加下级")) << driver.lastError();
    finishTransition();
    EXPECT_TRUE(cast<KXtianjiangxianxiangController>(stack->topViewController()));
}

TEST_F(DashboardRoutingTaps, TheSettlementButtonHandsOverTheWithdrawableAmount) {
    auto page = make<KXPromoteViewController>();
    show(page);
    ASSERT_TRUE(runUntil([&] { return !page->dataDic().isNil(); }));
    driver.settle();
    ASSERT_TRUE(driver.tap("#shengqingjiesuanBut")) << driver.lastError();
    finishTransition();
    auto settlement = cast<KXApplyjiesuanViewController>(stack->topViewController());
    ASSERT_TRUE(settlement);
    EXPECT_EQ(settlement->jisuanStr(), *page->dataDic()["shareMoney"].text());
}

TEST_F(DashboardRoutingTaps, TheMyPageHandsItsAmountsToWithdrawAndRecharge) {
    auto page = make<MyViewController>();
    show(page);
    ASSERT_TRUE(runUntil([&] { return page->bottomView() != nullptr; }));
    driver.settle();
    ASSERT_TRUE(driver.tap("#tixianBut")) << driver.lastError();
    finishTransition();
    auto settlement = cast<KXApplyjiesuanViewController>(stack->topViewController());
    ASSERT_TRUE(settlement);
    EXPECT_EQ(settlement->jisuanStr(), *page->datadic()["shareMoney"].text());
    stack->popToRootViewControllerAnimated(false);
    driver.settle();

    ASSERT_TRUE(driver.tap("#chongzhiBut")) << driver.lastError();
    finishTransition();
    auto recharge = cast<KXChangchyongViewController>(stack->topViewController());
    ASSERT_TRUE(recharge);
    EXPECT_EQ(recharge->cunchuStr(), "1200.00");
    stack->popToRootViewControllerAnimated(false);
    driver.settle();

    // The real-name item runs the check on the page's own stack.
    ASSERT_TRUE(driver.tap("实名认证")) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return stack->viewControllers().size() == 2; }));
    finishTransition();
    EXPECT_TRUE(cast<KXShirenzhengViewController>(stack->topViewController()));
}
