#include <gtest/gtest.h>

#include "app/promotion/MyViewController.h"
#include "app/shell/KXLoginViewController.h"
#include "tests/app/promotion/DashboardFixture.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "tests/support/TestShots.h"
#include "tests/support/TextFitCheck.h"

class MyPage : public DashboardFixture {
protected:
    Ref<MyViewController> openPage() {
        auto page = make<MyViewController>();
        show(page);
        EXPECT_TRUE(runUntil([&] { return page->bottomView() != nullptr; }));
        driver.settle();
        return page;
    }
    static std::vector<Ref<UIView>> moneyViews(const Ref<MyViewController>& page) {
        return {page->keyongeduLabel(),   page->keyongjingerLabel(), page->tixianBut(),
                page->chongzhiBut(),      page->mioashuyufuLabel(),  page->yufujingeLabel(),
                page->miaoshutuiLabel(),  page->tuiguanjingerLabel()};
    }
};

TEST_F(MyPage, ShowsTheAccountItsAmountsAndTheFunctionGrid) {
    auto page = openPage();
    const Value& data = page->datadic();
    EXPECT_EQ(page->mingchenLabel()->text(), "demo");
    EXPECT_EQ(page->keyongjingerLabel()->text(), *data["shareMoney"].text());
    EXPECT_EQ(page->yufujingeLabel()->text(), "1200.00");
    EXPECT_EQ(page->tuiguanjingerLabel()->text(), *data["money"].text());
    for (const auto& view : moneyViews(page)) EXPECT_FALSE(view->isHidden());
    EXPECT_EQ(page->kanpianbaiseView()->frame().size.height, 249);

    const auto& items = page->dataMutableArr();
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(page->bottomView()->subviews().size(), std::min(items.size(), MyViewController::kGridSlots));
    for (const auto& item : items) EXPECT_TRUE(driver.find(item->title.value_or(""))) << item->title.value_or("");
    // The band reaches the screen's top edge; the card sits below the status bar and a bar's height.
    EXPECT_EQ(page->lanSeView()->convertRectToView(page->lanSeView()->bounds(), nullptr).origin.y, 0);
    EXPECT_EQ(page->kanpianbaiseView()->convertRectToView(page->kanpianbaiseView()->bounds(), nullptr).origin.y, 64);
    std::vector<Ref<UIImageView>> icons = {page->icoimageView()};
    for (const auto& tile : page->bottomView()->subviews()) icons.push_back(cast<UIImageView>(tile->subviews()[0]));
    ASSERT_TRUE(waitForImages(icons));
    ASSERT_TRUE(checkedShot(driver, testShotPath("promotion-my-page.png"))) << driver.lastError();
}

TEST_F(MyPage, AnAccountWithoutMoneyGetsTheShortCardAndTheGridMovesUp) {
    signIn(kNoMoney);
    auto page = openPage();
    const CGRect card = page->kanpianbaiseView()->frame();
    EXPECT_EQ(card.size.height, 160);
    for (const auto& view : moneyViews(page)) EXPECT_TRUE(view->isHidden());
    EXPECT_EQ(page->bottomView()->frame().origin.y, card.origin.y + 160 + 20);
    ASSERT_TRUE(checkedShot(driver, testShotPath("promotion-my-page-no-money.png"))) << driver.lastError();
}

// The same page with a scripted answer instead of the local back end.
class MyPageScripted : public MyPage {
protected:
    bool usesLocalBackend() const override { return false; }
};

TEST_F(MyPageScripted, AnUnknownItemTypeOpensNothing) {
    LoopbackHTTPServer server;
    server.respond("GET", "/", 200,
                   R"({"code":1,"pay":1,"data":{"username":"x","function":[{"image":"","title":"其它","type":"21"}]}})",
                   "application/json");
    KXServiceAddress::setBaseURL(server.baseURL() + "/");
    openPage();
    ASSERT_TRUE(driver.tap("其它")) << driver.lastError();
    finishTransition();
    EXPECT_EQ(stack->viewControllers().size(), 1u);
    ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); }));  // a request the tap sent would be answered by now
    EXPECT_EQ(server.requestCount(), 1u);
}

TEST_F(MyPage, LogOutForgetsTheLoginAndShowsTheSignIn) {
    openPage();
    ASSERT_TRUE(driver.tap("退出登录")) << driver.lastError();
    EXPECT_EQ(KXLocallyStoredData::getLoginUserID(), "");
    EXPECT_EQ(KXLocallyStoredData::getUsername(), "");
    EXPECT_TRUE(cast<KXLoginViewController>(window->rootViewController()));
}

TEST_F(MyPage, ANotchedScreenKeepsTheCardBelowTheSensorHousing) {
    UIScreen::useNotchedScreen();
    auto page = openPage();
    EXPECT_EQ(page->lanSeView()->frame().size.height, 230);
    EXPECT_EQ(page->kanpianbaiseView()->convertRectToView(page->kanpianbaiseView()->bounds(), nullptr).origin.y, 88);
}
