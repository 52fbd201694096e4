#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/shell/KXNavigationController.h"
#include "app/team/KXPageLoader.h"
#include "tests/app/DemoPromoterFixture.h"
#include "tests/support/HoldingRelay.h"

// Screens of the team folder pushed on a navigation stack in the key window.
// The app reaches the back end through a relay that records every request,
// so a test sees what was sent as well as what the back end did with it,
// and can answer an action in its own way or hold its answers back.
class TeamScreenFixture : public DemoPromoterFixture {
protected:
    using Query = HoldingRelay::Fields;

    void SetUp() override {
        DemoPromoterFixture::SetUp();
        if (HasFatalFailure()) return;
        relay = std::make_unique<HoldingRelay>(backend->port());
        KXServiceAddress::setBaseURL(relay->baseURL());
        stack = make<KXNavigationController>(make<UIViewController>());
        showInWindow(stack);
        driver.settle();
    }
    void TearDown() override {
        release();
        DemoPromoterFixture::TearDown();
    }

    // Answers the action with `body` instead of the back end (kHTTPFailure:
    // an HTTP failure).
    static constexpr const char* kHTTPFailure = HoldingRelay::kHTTPFailure;
    void script(const std::string& ac, std::string body) { relay->script(ac, std::move(body)); }
    void unscript() { relay->unscript(); }
    // Holds the action's answers back until release().
    void hold(const std::string& ac) { relay->hold(ac); }
    void release() {
        if (relay) relay->release();
    }

    // Pushes the screen as the menus do and lets the push finish.
    template <class Screen> Ref<Screen> push() {
        auto screen = make<Screen>();
        stack->pushViewController(screen, true);
        finishTransition();
        return screen;
    }
    Ref<UIViewController> top() const { return stack->topViewController(); }

    // Runs the loop until a HUD with this text shows.
    bool waitForHUD(const std::string& text) {
        return runUntil([&] { return hudText() == text; });
    }

    // Runs the loop until no request is held and no page of `loader` is
    // under way, then lets the views settle.
    bool pagesTakenIn(const Ref<KXPageLoader>& loader) {
        return runUntil([&] { return relay->held() == 0 && !loader->pageUnderWay(); }) && (driver.settle(), true);
    }

    // The queries of the requests sent with action `ac`, in arrival order.
    std::vector<Query> sent(const std::string& ac) const { return relay->sent(ac); }

    // Writes what the key window shows to <build>/shots/team/<name>.png.
    void shot(const std::string& name) { DemoPromoterFixture::shot("team", name); }

    std::unique_ptr<HoldingRelay> relay;
    Ref<KXNavigationController> stack;
};
