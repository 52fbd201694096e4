#include <gtest/gtest.h>

#include <string>

#include "app/promotion/KXApplyGameViewController.h"
#include "app/promotion/KXerweiMaFenXiangView.h"
#include "app/tabs/promote/KXPromoteCell.h"
#include "app/tabs/promote/KXPromoteSearchController.h"
#include "app/tabs/mine/KXMenuDispatch.h"
#include "foundation/NSLog.h"
#include "tests/app/tabs/SignedInAppFixture.h"
#include "tests/support/TextFitCheck.h"
#include "tests/support/TouchCheck.h"
#include "uikit/UITableView.h"

// Every screen a promoter reaches from the tabs, walked as a user would, with
// the text of each checked once its answers have come, and the touches of its
// controls (each goes to the control it lands in), down to the end of
// its content (the first page saved in shots/walk-SIZE), and no layout
// conflict logged on the way. It runs on the standard screen, or on the one
// VELMARO_TEST_SCREEN names: ctest runs it so in a process of its own,
// since the layout scale is fixed at its first use.
class ScreenTextFit : public SignedInAppFixture {
protected:
    void SetUp() override {
        if (const std::string name = configureTestScreen(); !name.empty()) {
            size = name + ": ";
            folder = "walk-" + name;
        }
        SignedInAppFixture::SetUp();
    }
    void TearDown() override {
        expectNoLayoutConflicts("after the walk");
        SignedInAppFixture::TearDown();
    }
    // Fails once for each layout conflict logged since the last look.
    void expectNoLayoutConflicts(const std::string& screen) {
        for (const std::string& line : logged.lines())
            if (line.find("Unable to simultaneously satisfy constraints") != std::string::npos)
                ADD_FAILURE() << size << screen << ": " << line;
        logged.clear();
    }
    // Lets the screen's requests be answered, and those their answers start.
    void letAnswersArrive() {
        ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); })) << "requests still under way";
    }
    // Checks (and saves) the screen as it shows now, then page by page down
    // its main scroll view, and scrolls back to the top.
    void checkScreen(const std::string& screen) {
        letAnswersArrive();
        shot(folder, screen);
        const CGRect bounds = window->bounds();
        const CGPoint middle{CGRectGetMidX(bounds), CGRectGetMidY(bounds)};
        const CGFloat step = bounds.size.height / 2;
        int page = 1;
        for (; page < kPages && driver.scrollAt(middle, step); ++page) {
            letAnswersArrive();
            expectTextFits(driver, size + screen + " scrolled " + std::to_string(page));
            expectTapsReachTheirControls(driver, size + screen + " scrolled " + std::to_string(page));
        }
        if (page > 1) driver.scrollAt(middle, -step * (page - 1));
        expectNoLayoutConflicts(screen);
    }
    // The Mine tab's stack, its menu screen at the bottom.
    Ref<UINavigationController> openMine() {
        auto stack = openTab(3);
        if (stack) letAnswersArrive();
        return stack;
    }
    // Opens a menu item's screen from the Mine tab, its answers come.
    void openFromMine(const Ref<UINavigationController>& stack, std::int64_t code) {
        performMenuDispatch(code, stack->viewControllers().front());
        letAnswersArrive();
        finishTransition();
        letAnswersArrive();
    }
    std::string screenName() const {
        auto stack = cast<UINavigationController>(tabBar()->selectedViewController());
        return stack ? stack->topViewController()->className() : std::string("?");
    }

    static constexpr int kPages = 6;
    std::string size = "standard: ";
    // Where the first page of each screen is saved for a person to look at.
    std::string folder = "walk-standard";
    NSLogCapture logged;
};

TEST_F(ScreenTextFit, TheFourTabs) {
    for (std::size_t tab = 0; tab < 4; ++tab) {
        ASSERT_TRUE(openTab(tab));
        checkScreen(screenName());
    }
}

TEST_F(ScreenTextFit, EveryScreenOfTheMenus) {
    auto stack = openTab(3);
    ASSERT_TRUE(stack);
    letAnswersArrive();
    auto mine = stack->viewControllers().front();
    for (std::int64_t code = 101; code <= 131; ++code) {
        performMenuDispatch(code, mine);
        letAnswersArrive();
        finishTransition();
        if (stack->viewControllers().size() < 2) continue;
        checkScreen(std::to_string(code) + " " + screenName());
        stack->popToRootViewControllerAnimated(false);
        letHUDsHide();
    }
}

// Screens a menu screen opens in turn: a game's details from the games to
// apply for, the Mine card's withdrawal and recharge.
TEST_F(ScreenTextFit, TheScreensOneStepFurther) {
    auto stack = openMine();
    ASSERT_TRUE(stack);
    auto backToMine = [&] {
        stack->popToRootViewControllerAnimated(false);
        letHUDsHide();
    };

    openFromMine(stack, 104);
    auto games = cast<KXApplyGameViewController>(stack->topViewController());
    ASSERT_TRUE(games);
    ASSERT_TRUE(driver.selectRow(games->mainTabelView(), NSIndexPath::indexPathForRow(0, 0))) << driver.lastError();
    letAnswersArrive();
    finishTransition();
    checkScreen("104 then " + screenName());
    backToMine();

    for (const char* button : {"提现", "充值"}) {
        ASSERT_TRUE(driver.tap(button)) << driver.lastError();
        letAnswersArrive();
        finishTransition();
        checkScreen(std::string(button) + " " + screenName());
        backToMine();
    }
}

// The pop-ups over the screens that open them: the game picker over the
// discount top-up, a game's QR sheet over 我的游戏 (a pushed list). A tap
// on a pop-up beside its control must not reach the screen behind. ctest
// runs it once more on a notched and on the largest screen.
TEST_F(ScreenTextFit, ThePopUpsOverTheirScreens) {
    auto stack = openMine();
    ASSERT_TRUE(stack);
    openFromMine(stack, 105);
    ASSERT_TRUE(driver.typeText("#shiwanzhanghaoTxetField", "wanjia001"));
    ASSERT_TRUE(driver.tap("#xuanZeBut")) << driver.lastError();
    letAnswersArrive();
    ASSERT_FALSE(driver.findAllOfClass("KXGameIcoPopView").empty());
    expectNoLayoutConflicts("105 game picker");
    // A game's name is laid 5 points wider than its cell on each side.
    shot(folder, "105 game picker", "youxilabel");
    for (const auto& picker : driver.findAllOfClass("KXGameIcoPopView")) picker->removeFromSuperview();
    stack->popToRootViewControllerAnimated(false);

    openFromMine(stack, 103);
    auto games = cast<KXPromoteSearchController>(stack->topViewController());
    ASSERT_TRUE(games);
    auto row = cast<KXPromoteCell>(games->tableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)));
    ASSERT_TRUE(row);
    ASSERT_TRUE(driver.tap(row->actionButton(KXPromoteCell::QRCode))) << driver.lastError();
    ASSERT_TRUE(cast<KXerweiMaFenXiangView>(window->subviews().back()));
    shot(folder, "103 QR sheet");
    window->subviews().back()->removeFromSuperview();
}
