#include <gtest/gtest.h>

#include "ControllersTestSupport.h"
#include "foundation/NSLog.h"
#include "uikit/UINavigationController.h"
#include "uikit/UITabBarController.h"

using Lines = std::vector<std::string>;

namespace {

class LifeCycleTest : public ControllersFixture {};

TEST_F(LifeCycleTest, WindowRootAppearsAndIsReplaced) {
    auto first = controller("a");
    show(first);
    EXPECT_EQ(take(), (Lines{"a.load", "a.willAppear", "a.didAppear"}));
    EXPECT_EQ(first->view()->superview(), window);

    window->setRootViewController(controller("b"));
    EXPECT_EQ(take(), (Lines{"a.willDisappear", "a.didDisappear", "b.load", "b.willAppear", "b.didAppear"}));
    EXPECT_EQ(first->view()->superview(), nullptr);

    window->setHidden(true);
    EXPECT_EQ(take(), (Lines{"b.willDisappear", "b.didDisappear"}));
}

TEST_F(LifeCycleTest, NavigationRootAppearsWithItsTopScreen) {
    auto navigation = make<UINavigationController>(controller("root"));
    EXPECT_TRUE(take().empty()) << "creating the stack loads no view";
    show(navigation);
    EXPECT_EQ(take(), (Lines{"root.load", "root.willAppear", "root.didAppear"}));
    EXPECT_EQ(navigation->topViewController()->view()->superview(), navigation->view());
}

TEST_F(LifeCycleTest, AnimatedPushAndPopFinishOnTheClock) {
    auto root = controller("root");
    auto navigation = make<UINavigationController>(root);
    show(navigation);
    take();

    auto next = controller("next");
    navigation->pushViewController(next, true);
    EXPECT_EQ(take(), (Lines{"next.load", "root.willDisappear+", "next.willAppear+"}));
    EXPECT_EQ(navigation->topViewController(), next);
    EXPECT_EQ(next->parentViewController(), navigation);
    clock.advance(0.3);
    EXPECT_TRUE(take().empty()) << "the transition takes 0.35 s";
    clock.advance(0.05);
    EXPECT_EQ(take(), (Lines{"root.didDisappear+", "next.didAppear+"}));
    EXPECT_EQ(root->view()->superview(), nullptr);

    EXPECT_EQ(navigation->popViewControllerAnimated(true), next);
    EXPECT_EQ(take(), (Lines{"next.willDisappear+", "root.willAppear+"}));
    EXPECT_EQ(next->parentViewController(), navigation) << "the popped screen stays a child until the end";
    clock.advance(0.35);
    EXPECT_EQ(take(), (Lines{"next.didDisappear+", "root.didAppear+"}));
    EXPECT_EQ(next->parentViewController(), nullptr);
    EXPECT_EQ(navigation->popViewControllerAnimated(true), nullptr) << "the root stays";
}

TEST_F(LifeCycleTest, PlainPushFinishesAtOnceAndAPushMidTransitionFinishesTheFirst) {
    auto navigation = make<UINavigationController>(controller("root"));
    show(navigation);
    take();
    navigation->pushViewController(controller("b"), false);
    EXPECT_EQ(take(), (Lines{"b.load", "root.willDisappear", "b.willAppear", "root.didDisappear", "b.didAppear"}));

    navigation->pushViewController(controller("c"), true);
    navigation->pushViewController(controller("d"), true);
    EXPECT_EQ(take(), (Lines{"c.load", "b.willDisappear+", "c.willAppear+", "b.didDisappear+", "c.didAppear+",
                             "d.load", "c.willDisappear+", "d.willAppear+"}));
    clock.advance(0.35);
    EXPECT_EQ(take(), (Lines{"c.didDisappear+", "d.didAppear+"}));

    auto popped = navigation->popToRootViewControllerAnimated(false);
    EXPECT_EQ(popped.size(), 3u);
    EXPECT_EQ(take(), (Lines{"d.willDisappear", "root.willAppear", "d.didDisappear", "root.didAppear"}))
        << "screens between the top and the target hear nothing";
}

TEST_F(LifeCycleTest, PushOffScreenOnlyChangesTheStack) {
    auto navigation = make<UINavigationController>(controller("root"));
    navigation->pushViewController(controller("b"), true);
    EXPECT_TRUE(take().empty());
    show(navigation);
    EXPECT_EQ(take(), (Lines{"b.load", "b.willAppear", "b.didAppear"})) << "only the top screen loads and appears";
}

TEST_F(LifeCycleTest, TabRootAppearsThroughItsNavigationStackAndSwitchesTabs) {
    auto tabs = make<UITabBarController>();
    tabs->setViewControllers({make<UINavigationController>(controller("home")), controller("mine")});
    show(tabs);
    EXPECT_EQ(take(), (Lines{"home.load", "home.willAppear", "home.didAppear"}));

    tabs->setSelectedIndex(1);
    EXPECT_EQ(take(), (Lines{"home.willDisappear", "mine.load", "mine.willAppear", "home.didDisappear", "mine.didAppear"}));
    tabs->setSelectedIndex(0);
    EXPECT_EQ(take(), (Lines{"mine.willDisappear", "home.willAppear", "mine.didDisappear", "home.didAppear"}));
    tabs->setSelectedIndex(0);
    tabs->setSelectedIndex(7);
    EXPECT_TRUE(take().empty());
}

TEST_F(LifeCycleTest, FullScreenPresentationHidesThePresenter) {
    auto presenter = controller("a");
    show(presenter);
    take();
    auto presented = controller("m");
    presented->setModalPresentationStyle(UIModalPresentationStyle::FullScreen);
    bool presentedDone = false;
    presenter->presentViewController(presented, true, [&] { presentedDone = true; });
    EXPECT_EQ(take(), (Lines{"m.load", "a.willDisappear+", "m.willAppear+"}));
    EXPECT_EQ(presenter->presentedViewController(), presented);
    EXPECT_EQ(presented->presentingViewController(), presenter);
    clock.advance(0.35);
    EXPECT_TRUE(presentedDone);
    EXPECT_EQ(take(), (Lines{"m.didAppear+", "a.didDisappear+"}));
    EXPECT_EQ(presenter->view()->window(), nullptr);
    EXPECT_EQ(presented->view()->window(), window);

    bool dismissed = false;
    presented->dismissViewControllerAnimated(false, [&] { dismissed = true; });
    EXPECT_TRUE(dismissed);
    EXPECT_EQ(take(), (Lines{"m.willDisappear", "a.willAppear", "a.didAppear", "m.didDisappear"}));
    EXPECT_EQ(presenter->presentedViewController(), nullptr);
    EXPECT_EQ(presenter->view()->window(), window);
    EXPECT_EQ(presented->view()->superview(), nullptr);
}

TEST_F(LifeCycleTest, SheetsAndOverFullScreenLeaveThePresenterOnScreen) {
    auto presenter = controller("a");
    show(presenter);
    take();
    auto sheet = controller("s");  // the default style
    presenter->presentViewController(sheet, false);
    EXPECT_EQ(take(), (Lines{"s.load", "s.willAppear", "s.didAppear"}));
    EXPECT_EQ(presenter->view()->window(), window);
    presenter->dismissViewControllerAnimated(false);
    EXPECT_EQ(take(), (Lines{"s.willDisappear", "s.didDisappear"}));

    auto over = controller("o");
    over->setModalPresentationStyle(UIModalPresentationStyle::OverFullScreen);
    presenter->presentViewController(over, false);
    EXPECT_EQ(take(), (Lines{"o.load", "o.willAppear", "o.didAppear"}));
}

TEST_F(LifeCycleTest, PresentingGoesThroughTheOutermostControllerAndOnlyOnce) {
    auto inner = controller("inner");
    auto navigation = make<UINavigationController>(inner);
    show(navigation);
    take();
    NSLogCapture logs;
    auto first = controller("first");
    inner->presentViewController(first, false);
    EXPECT_EQ(navigation->presentedViewController(), first);
    EXPECT_EQ(inner->presentedViewController(), first);
    EXPECT_EQ(first->presentingViewController(), navigation);
    take();

    bool ran = false;
    inner->presentViewController(controller("second"), false, [&] { ran = true; });
    EXPECT_FALSE(ran);
    EXPECT_TRUE(take().empty());
    ASSERT_EQ(logs.lines().size(), 1u);
    EXPECT_NE(logs.lines()[0].find("which is already presenting"), std::string::npos);

    auto offScreen = controller("off");
    offScreen->presentViewController(controller("x"), false);
    EXPECT_EQ(offScreen->presentedViewController(), nullptr) << "a presenter off screen presents nothing";
}

TEST_F(LifeCycleTest, DismissingAPresenterTakesEverythingAboveIt) {
    auto root = controller("root");
    show(root);
    auto first = controller("first");
    auto second = controller("second");
    root->presentViewController(first, false);
    first->presentViewController(second, false);
    take();
    root->dismissViewControllerAnimated(true);
    clock.advance(0.35);
    EXPECT_EQ(take(), (Lines{"second.willDisappear", "second.didDisappear", "first.willDisappear+",
                             "first.didDisappear+"}));
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(first->presentedViewController(), nullptr);
    EXPECT_EQ(window->subviews().size(), 1u);
}

TEST_F(LifeCycleTest, ChildrenFollowTheirParentAndAppearWhenAddedOnScreen) {
    auto parent = controller("p");
    auto early = controller("early");
    parent->addChildViewController(early);
    parent->view()->addSubview(early->view());
    early->didMoveToParentViewController(parent);
    take();

    show(parent);
    EXPECT_EQ(take(), (Lines{"p.willAppear", "early.willAppear", "p.didAppear", "early.didAppear"}));

    auto late = controller("late");
    parent->addChildViewController(late);
    parent->view()->addSubview(late->view());
    EXPECT_EQ(take(), (Lines{"late.load", "late.willAppear", "late.didAppear"}));
    late->view()->removeFromSuperview();
    late->removeFromParentViewController();
    EXPECT_EQ(take(), (Lines{"late.willDisappear", "late.didDisappear"}));
    EXPECT_TRUE(parent->childViewControllers() == std::vector<Ref<UIViewController>>{early});
}

TEST_F(LifeCycleTest, AppearanceCallsComeInPairsOnly) {
    auto alone = controller("x");
    alone->beginAppearanceTransition(true, false);
    alone->beginAppearanceTransition(true, false);
    alone->endAppearanceTransition();
    alone->endAppearanceTransition();
    alone->beginAppearanceTransition(false, false);
    alone->endAppearanceTransition();
    EXPECT_EQ(take(), (Lines{"x.willAppear", "x.didAppear", "x.willDisappear", "x.didDisappear"}));
}

}  // namespace
