#pragma once

#include "app/shell/KXNavigationController.h"
#include "tests/app/DemoPromoterFixture.h"

// The money screens on a tab's stack in a key window whose root is a plain
// screen (the opener).
class PaymentScreenFixture : public DemoPromoterFixture {
protected:
    void SetUp() override {
        DemoPromoterFixture::SetUp();
        if (HasFatalFailure()) return;
        opener = make<UIViewController>();
        stack = make<KXNavigationController>(opener);
        showInWindow(stack);
        driver.settle();
    }

    void push(const Ref<UIViewController>& screen) {
        stack->pushViewController(screen, true);
        finishTransition();
    }
    void back() {
        ASSERT_TRUE(driver.back());
        finishTransition();
    }
    // The HUD's label once the main loop has gone idle.
    std::string hudText() {
        driver.settle();
        return DemoPromoterFixture::hudText();
    }

    Ref<UIViewController> opener;
    Ref<KXNavigationController> stack;
};
