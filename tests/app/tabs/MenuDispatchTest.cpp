#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/shell/KXNavigationController.h"
#include "app/stats/KXRankListController.h"
#include "app/stats/KXRegistTypeController.h"
#include "app/tabs/mine/KXMenuDispatch.h"
#include "tests/app/DemoPromoterFixture.h"

// The one menu dispatch of the Home grid and the Mine menu, on a tab's
// navigation stack against the local back end.
class MenuDispatch : public DemoPromoterFixture {
protected:
    void SetUp() override {
        DemoPromoterFixture::SetUp();
        menu = make<UIViewController>();
        stack = make<KXNavigationController>(menu);
        showInWindow(stack);
        driver.settle();
    }
    // Dispatches the code and answers the class of the screen on top once
    // the stack has settled ("" when nothing was pushed), then returns to
    // the menu.
    std::string opened(std::int64_t code) {
        performMenuDispatch(code, menu);
        finishTransition();
        std::string name;
        if (stack->viewControllers().size() > 1) name = stack->topViewController()->className();
        stack->popToRootViewControllerAnimated(false);
        letHUDsHide();
        return name;
    }

    Ref<UIViewController> menu;
    Ref<KXNavigationController> stack;
};

TEST_F(MenuDispatch, EveryCodeOpensItsScreenOrNothing) {
    const std::vector<std::pair<std::int64_t, std::string>> table = {
        {101, "KXPromotionQrCodeViewController"},
        {102, ""},
        {103, "KXPromoteSearchController"},
        {104, "KXApplyGameViewController"},
        {105, "KXDiscountDaiChunViewController"},
        {106, "KXApplyjiesuanViewController"},
        {107, "KXBillingDetailsViewController"},
        {108, "MyOfflineViewController"},
        {109, "KXDividedIntoViewController"},
        {110, "KXTixianguanliViewController"},
        {112, "KXtuiguanpanhangbangViewController"},
        {113, "KXtianjiangxianxiangController"},
        {114, "KXDividedintoProportionViewController"},
        {115, "KXRankListController"},
        {116, "KXOpenServiceInfoController"},
        {117, "KXGameGiftBagController"},
        {118, "KXRegistrationStatisticsViewController"},
        {119, "KXTopupStatisticsViewController"},
        {120, "KXRoleSummaryViewController"},
        {121, "KXRegistTypeController"},
        {122, "KXRegistTypeController"},
        {123, "KXRankListController"},
        {125, "KXPersonalInformationViewController"},
        {127, "KXChangeThePasswordViewController"},
        {128, "KXPrepaidPhoneRecordsjiluViewController"},
        {129, ""},
        {130, "KXContactUsViewController"},
        {131, "KXPromotionAnnouncementViewController"},
        {0, ""},
        {100, ""},
        {111, ""},
        {124, ""},
        {132, ""},
        {-101, ""},
    };
    for (const auto& [code, screen] : table) EXPECT_EQ(opened(code), screen) << code;
}

// The type a ranking or type-statistics screen was opened with.
template <class Screen> std::optional<KXMineNavType> typeOf(const Ref<UIViewController>& shown) {
    auto screen = cast<Screen>(shown);
    return screen ? std::optional<KXMineNavType>(screen->type()) : std::nullopt;
}

TEST_F(MenuDispatch, RankingsAndTypeStatisticsOpenOnTheListTheirCodeNames) {
    using TypeOfShown = std::optional<KXMineNavType> (*)(const Ref<UIViewController>&);
    const std::vector<std::pair<KXMineNavType, TypeOfShown>> cases = {
        {KXMineNavType::popularityRank, typeOf<KXRankListController>},
        {KXMineNavType::consumeRank, typeOf<KXRankListController>},
        {KXMineNavType::registType, typeOf<KXRegistTypeController>},
        {KXMineNavType::rechargeType, typeOf<KXRegistTypeController>},
    };
    for (const auto& [type, shownType] : cases) {
        performMenuDispatch(rawValue(type), menu);
        finishTransition();
        EXPECT_EQ(shownType(stack->topViewController()), type) << rawValue(type);
        stack->popToRootViewControllerAnimated(false);
        letHUDsHide();
    }
}

TEST_F(MenuDispatch, TheRealNameCodeRunsTheCheckWhichPushesTheFormForAnUnverifiedPromoter) {
    performMenuDispatch(126, menu);
    EXPECT_EQ(stack->viewControllers().size(), 1u);
    ASSERT_TRUE(runUntil([&] { return stack->viewControllers().size() == 2; }));
    finishTransition();
    EXPECT_EQ(stack->topViewController()->className(), "KXShirenzhengViewController");
}

TEST_F(MenuDispatch, AScreenOutsideANavigationStackOpensNothing) {
    auto loose = make<UIViewController>();
    for (std::int64_t code : {101, 126, 131}) performMenuDispatch(code, loose);
    driver.settle();
    EXPECT_EQ(stack->viewControllers().size(), 1u);
    EXPECT_EQ(loose->presentedViewController(), nullptr);
}
