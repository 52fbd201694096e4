#include <gtest/gtest.h>

#include "app/promotion/MyViewController.h"
#include "app/team/KXShirenzhengViewController.h"
#include "tests/app/promotion/DashboardFixture.h"
#include "tests/support/MisbehavingServer.h"

// The real-name check as the menus run it: a new checker that nobody keeps,
// given the menu's navigation stack.
class RealNameCheck : public DashboardFixture {
protected:
    void SetUp() override {
        DashboardFixture::SetUp();
        show(make<UIViewController>());
    }
    void runCheck() {
        auto checker = make<MyViewController>();
        checker->setNavController(stack);
        checker->shifoshimingrenzheng();
    }
    // Every HUD put on the key window so far, hidden or not.
    std::vector<std::string> shownMessages() const {
        std::vector<std::string> messages;
        for (const auto& view : window->subviews()) {
            if (auto hud = cast<MBProgressHUD>(view)) messages.push_back(hud->label()->text());
        }
        return messages;
    }
};

TEST_F(RealNameCheck, AVerifiedPromoterIsToldSoAndStaysOnTheMenu) {
    signIn(kVerified);
    NSLogCapture logged;
    runCheck();
    ASSERT_TRUE(waitForHUD());
    EXPECT_EQ(hudText(), "您已经实名认证");
    finishTransition();
    EXPECT_EQ(stack->viewControllers().size(), 1u);
    EXPECT_FALSE(logged.contains("code = 1")) << "the check writes its answer nowhere";
}

TEST_F(RealNameCheck, AnUnverifiedPromoterSeesTheReasonAndGetsTheFormOnTheSameStack) {
    runCheck();
    ASSERT_TRUE(waitForHUD());
    EXPECT_EQ(hudText(), "您还未实名认证，请先完成实名认证");
    finishTransition();
    ASSERT_EQ(stack->viewControllers().size(), 2u);
    EXPECT_TRUE(cast<KXShirenzhengViewController>(stack->topViewController()));
}

TEST_F(RealNameCheck, WithoutNetworkTheFailureIsShown) {
    MisbehavingServer refusing(MisbehavingServer::Behaviour::RefuseConnections);
    KXServiceAddress::setBaseURL(refusing.url("/"));
    runCheck();
    ASSERT_TRUE(runUntil([&] { return !shownMessages().empty(); }));
    EXPECT_EQ(shownMessages(), std::vector<std::string>{"获取数据失败"});
    clock.advance(MBProgressHUD::kAnimationDuration + 0.05);
    driver.settle();
    EXPECT_EQ(hudText(), "获取数据失败");
    EXPECT_EQ(stack->viewControllers().size(), 1u);
}
