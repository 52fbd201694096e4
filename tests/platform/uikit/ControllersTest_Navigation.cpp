#include <gtest/gtest.h>

#include "ControllersTestSupport.h"
#include "uikit/TappableView.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"
#include "uikit/UITabBarController.h"

using Lines = std::vector<std::string>;

namespace {

class RecordingDelegate : public UINavigationControllerDelegate {
public:
    void willShowViewController(const Ref<UINavigationController>&, const Ref<UIViewController>& shown,
                                bool animated) override {
        events.push_back("will:" + shown->title() + (animated ? "+" : ""));
    }
    void didShowViewController(const Ref<UINavigationController>&, const Ref<UIViewController>& shown,
                               bool animated) override {
        events.push_back("did:" + shown->title() + (animated ? "+" : ""));
    }
    Lines events;
};

// A navigation controller that marks every pushed screen but the root, as
// the app's tab stacks do.
class MarkingNavigationController : public UINavigationController {
public:
    using UINavigationController::UINavigationController;
    void pushViewController(const Ref<UIViewController>& controller, bool animated) override {
        if (!viewControllers().empty()) controller->setHidesBottomBarWhenPushed(true);
        pushes.push_back(controller);
        UINavigationController::pushViewController(controller, animated);
    }
    std::vector<Ref<UIViewController>> pushes;
};

class NavigationTest : public ControllersFixture {
protected:
    Ref<LoggingController> titled(const std::string& title) {
        auto screen = controller(title);
        screen->setTitle(title);
        return screen;
    }
    static std::string labelText(const Ref<UIView>& view) {
        for (const auto& subview : view->subviews())
            if (auto label = cast<UILabel>(subview)) return label->text();
        return {};
    }
};

TEST_F(NavigationTest, StackOperations) {
    auto a = titled("A"), b = titled("B"), c = titled("C");
    auto navigation = make<UINavigationController>(a);
    navigation->pushViewController(b, false);
    navigation->pushViewController(c, false);
    navigation->pushViewController(b, false);
    EXPECT_EQ(navigation->viewControllers().size(), 3u) << "a controller already on the stack is not pushed again";
    EXPECT_EQ(c->navigationController(), navigation);

    EXPECT_TRUE(navigation->popToViewController(titled("elsewhere"), false).empty());
    auto popped = navigation->popToViewController(a, false);
    ASSERT_EQ(popped.size(), 2u);
    EXPECT_EQ(popped[0], b);
    EXPECT_EQ(popped[1], c);
    EXPECT_EQ(navigation->topViewController(), a);
    EXPECT_EQ(b->parentViewController(), nullptr);
    EXPECT_EQ(b->navigationController(), nullptr);

    navigation->setViewControllers({c, b, c});
    EXPECT_EQ(navigation->viewControllers(), (std::vector<Ref<UIViewController>>{c, b}));
    EXPECT_EQ(a->parentViewController(), nullptr);
}

TEST_F(NavigationTest, DelegateHearsEveryChangeOfTheTop) {
    auto navigation = make<UINavigationController>(titled("A"));
    auto delegate = std::make_shared<RecordingDelegate>();
    navigation->setDelegate(delegate);
    show(navigation);
    navigation->pushViewController(titled("B"), true);
    EXPECT_EQ(delegate->events, (Lines{"will:B+"}));
    clock.advance(0.35);
    navigation->popViewControllerAnimated(false);
    EXPECT_EQ(delegate->events, (Lines{"will:B+", "did:B+", "will:A", "did:A"}));
}

// A change of the stack that the leaving screen makes as it is told it will
// disappear, during an animated pop of A, B, C: the stack, the children, the
// one screen in the controller's view and the bar's items agree at the end.
TEST_F(NavigationTest, AChangeInsideALeavingScreensCallbackLeavesStackAndScreenAgreeing) {
    for (bool nestedPop : {true, false}) {
        auto a = titled("A"), b = titled("B"), c = titled("C"), d = titled("D");
        auto navigation = make<UINavigationController>(a);
        show(navigation);
        navigation->pushViewController(b, false);
        navigation->pushViewController(c, false);
        c->hooks["willDisappear+"] = [&] {
            if (nestedPop) navigation->popViewControllerAnimated(true);
            else navigation->pushViewController(d, true);
        };
        navigation->popViewControllerAnimated(true);
        clock.advance(1);
        using Stack = std::vector<Ref<UIViewController>>;
        const auto expected = nestedPop ? Stack{a} : Stack{a, b, d};
        EXPECT_EQ(navigation->viewControllers(), expected);
        EXPECT_EQ(navigation->childViewControllers(), expected);
        for (const auto& screen : {a, b, c, d})
            EXPECT_EQ(screen->view()->superview() == navigation->view(), screen == expected.back()) << screen->title();
        EXPECT_EQ(navigation->navigationBar()->items().size(), expected.size());
    }
}

// A push or a pop that first ends the transition under way keeps the
// controller to its own end when the leaving screen's viewDidDisappear lets
// the host's last reference go.
TEST_F(NavigationTest, APushOrPopOutlivesATransitionsEndThatLetsTheControllerGo) {
    for (bool push : {true, false}) {
        auto a = titled("A"), b = titled("B");
        auto host = make<UINavigationController>(a);
        WeakRef<UINavigationController> weak = host;
        show(host);
        host->pushViewController(b, push);
        if (!push) host->popViewControllerAnimated(true);
        (push ? a : b)->hooks["didDisappear+"] = [&] {
            window->setRootViewController(nullptr);
            host.reset();
        };
        if (push) host->pushViewController(titled("C"), true);
        else host->popViewControllerAnimated(true);
        EXPECT_TRUE(weak.expired());
    }
}

TEST_F(NavigationTest, BarShowsTitleBackButtonAndItems) {
    auto navigation = make<UINavigationController>(titled("首页"));
    show(navigation);
    auto bar = navigation->navigationBar();
    EXPECT_FALSE(bar->showsBackButton());
    EXPECT_EQ(bar->leftView(), nullptr);

    auto second = controller("second");
    navigation->pushViewController(second, false);
    ASSERT_TRUE(bar->showsBackButton());
    EXPECT_EQ(bar->leftView()->accessibilityLabel(), "首页");
    navigation->viewControllers().front()->setTitle("");
    EXPECT_EQ(bar->leftView()->accessibilityLabel(), "Back") << "an untitled screen below gives \"Back\"";

    second->navigationItem()->setTitle("详情");
    window->layoutIfNeeded();
    EXPECT_EQ(bar->topItem(), second->navigationItem());
    CGRect barFrame = bar->frame();
    EXPECT_EQ(barFrame.origin.y, 20) << "under the status bar";
    EXPECT_EQ(barFrame.size.height, 44);

    int taps = 0;
    auto done = make<UIBarButtonItem>(UIBarButtonSystemItem::Done, nullptr, [&](const Ref<UIBarButtonItem>&) { ++taps; });
    second->navigationItem()->setRightBarButtonItem(done);
    ASSERT_NE(bar->rightView(), nullptr);
    window->layoutIfNeeded();
    EXPECT_NEAR(CGRectGetMaxX(bar->rightView()->frame()), 375 - 16, 0.01);
    EXPECT_TRUE(bar->rightView()->handleTapAt({1, 1}));
    EXPECT_EQ(taps, 1);
    done->setEnabled(false);
    EXPECT_FALSE(bar->rightView()->handleTapAt({1, 1}));
    EXPECT_EQ(taps, 1);

    // The back button pops, animated.
    auto back = bar->leftView();
    ASSERT_TRUE(back->handleTapAt({1, 1}));
    clock.advance(0.35);
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
}

TEST_F(NavigationTest, LeftItemReplacesTheBackButtonAndItsTargetIsWeak) {
    auto navigation = make<UINavigationController>(titled("A"));
    show(navigation);
    auto second = titled("B");
    auto custom = make<UIView>(CGRectMake(0, 0, 30, 20));
    second->navigationItem()->setLeftBarButtonItem(make<UIBarButtonItem>(custom));
    navigation->pushViewController(second, false);
    auto bar = navigation->navigationBar();
    EXPECT_EQ(bar->leftView(), custom);
    EXPECT_FALSE(bar->showsBackButton());
    window->layoutIfNeeded();
    EXPECT_EQ(custom->frame(), CGRectMake(16, 12, 30, 20));

    int sent = 0;
    auto target = make<NSObject>();
    auto item = make<UIBarButtonItem>("记录", UIBarButtonItemStyle::Plain, target,
                                      [&](const Ref<UIBarButtonItem>&) { ++sent; });
    item->sendAction();
    target.reset();
    item->sendAction();
    EXPECT_EQ(sent, 1);
}

TEST_F(NavigationTest, ContentSitsBelowAnOpaqueBarAndUnderATranslucentOrHiddenOne) {
    auto root = controller("root");
    auto navigation = make<UINavigationController>(root);
    show(navigation);
    window->layoutIfNeeded();
    EXPECT_EQ(root->view()->frame(), CGRectMake(0, 0, 375, 667)) << "translucent by default";

    navigation->navigationBar()->setTranslucent(false);
    navigation->layoutContent();
    EXPECT_EQ(root->view()->frame(), CGRectMake(0, 64, 375, 603));

    navigation->setNavigationBarHidden(true, true);
    EXPECT_TRUE(navigation->isNavigationBarHidden());
    EXPECT_EQ(root->view()->frame(), CGRectMake(0, 0, 375, 667));
}

TEST_F(NavigationTest, AScreenThatDoesNotExtendAtTheTopStaysBelowATranslucentBar) {
    auto root = controller("root");
    root->setEdgesForExtendedLayout(UIRectEdgeBottom);
    auto navigation = make<UINavigationController>(root);
    show(navigation);
    window->layoutIfNeeded();
    EXPECT_EQ(root->view()->frame(), CGRectMake(0, 64, 375, 603));

    navigation->setNavigationBarHidden(true, false);
    EXPECT_EQ(root->view()->frame(), CGRectMake(0, 0, 375, 667));
    navigation->setNavigationBarHidden(false, false);
    root->setEdgesForExtendedLayout(UIRectEdgeAll);
    navigation->layoutContent();
    EXPECT_EQ(root->view()->frame(), CGRectMake(0, 0, 375, 667));
}

TEST_F(NavigationTest, PushedScreensHideTheTabBarUntilPopped) {
    auto root = controller("root");
    auto navigation = make<MarkingNavigationController>(root);
    ASSERT_EQ(navigation->pushes.size(), 1u) << "the root arrives through the push method";
    EXPECT_FALSE(root->hidesBottomBarWhenPushed());
    auto tabs = make<UITabBarController>();
    tabs->addChildViewController(navigation);
    tabs->addChildViewController(controller("other"));
    tabs->tabBar()->setTranslucent(false);
    show(tabs);
    window->layoutIfNeeded();
    EXPECT_EQ(tabs->tabBar()->superview(), tabs->view());
    EXPECT_EQ(navigation->view()->frame(), CGRectMake(0, 0, 375, 667 - 49));
    EXPECT_EQ(root->tabBarController(), tabs);

    auto pushed = controller("pushed");
    navigation->pushViewController(pushed, true);
    EXPECT_TRUE(pushed->hidesBottomBarWhenPushed());
    EXPECT_EQ(tabs->tabBar()->superview(), nullptr);
    EXPECT_EQ(navigation->view()->frame(), CGRectMake(0, 0, 375, 667));
    clock.advance(0.35);
    navigation->pushViewController(controller("third"), false);
    navigation->viewControllers().back()->setHidesBottomBarWhenPushed(false);
    navigation->layoutContent();
    EXPECT_EQ(tabs->tabBar()->superview(), nullptr) << "a lower pushed screen still hides it";

    navigation->popToRootViewControllerAnimated(false);
    EXPECT_EQ(tabs->tabBar()->superview(), tabs->view());
}

TEST_F(NavigationTest, AppearanceProxiesStyleBarsAsTheyEnterAWindow) {
    UINavigationBar::resetAppearance();
    auto navigation = make<UINavigationController>(controller("root"));
    UINavigationBar::appearance()->setTranslucent(false);
    UINavigationBar::appearance()->setTintColor(UIColor::redColor());
    NSStringAttributes title{UIFont::boldSystemFontOfSize(18), UIColor::blueColor()};
    UINavigationBar::appearance()->setTitleTextAttributes(title);
    UINavigationBar::appearanceWhenContainedInInstancesOfClass<UITabBarController>()->setBarTintColor(
        UIColor::greenColor());
    navigation->navigationBar()->setTintColor(UIColor::blackColor());
    EXPECT_TRUE(navigation->navigationBar()->isTranslucent()) << "not yet in a window";

    show(navigation);
    auto bar = navigation->navigationBar();
    EXPECT_FALSE(bar->isTranslucent());
    EXPECT_EQ(bar->titleTextAttributes(), title);
    EXPECT_EQ(bar->tintColor(), UIColor::blackColor()) << "the bar's own setting wins";
    EXPECT_EQ(bar->barTintColor(), std::nullopt) << "not inside a tab bar controller";

    auto tabs = make<UITabBarController>();
    auto inTabs = make<UINavigationController>(controller("tabbed"));
    tabs->addChildViewController(inTabs);
    show(tabs);
    EXPECT_EQ(inTabs->navigationBar()->barTintColor(), UIColor::greenColor());
    EXPECT_EQ(inTabs->navigationBar()->tintColor(), UIColor::redColor());

    auto appearance = make<UINavigationBarAppearance>();
    appearance->configureWithOpaqueBackground();
    UINavigationBar::appearance()->setStandardAppearance(appearance);
    auto later = make<UINavigationController>(controller("later"));
    show(later);
    EXPECT_EQ(later->navigationBar()->standardAppearance(), appearance);
    EXPECT_EQ(appearance->backgroundColor(), UIColor::whiteColor());
    UINavigationBar::resetAppearance();
}

TEST_F(NavigationTest, TabBarItemComesFromTheRootScreen) {
    auto root = controller("root");
    root->tabBarItem()->setTitle("资产");
    auto navigation = make<UINavigationController>(root);
    EXPECT_EQ(navigation->tabBarItem(), root->tabBarItem());
    root->setTitle("标题");
    EXPECT_EQ(root->navigationItem()->title(), "标题");
    EXPECT_EQ(root->tabBarItem()->title(), "标题") << "the title names the tab too";
}

}  // namespace
