#include <gtest/gtest.h>

#include <random>

#include "ControllersTestSupport.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UITabBar.h"
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

// What the screen shows disagrees with the controllers: the first
// disagreement found from the window's root down, or nothing. Each
// navigation stack is its children, shows its top alone and has an item per
// screen; each tab bar controller shows its selected tab alone with its item
// selected; the window holds the root and what it presents, less each
// presenter a full-screen presentation covers, in that order; the screens in
// view, and they alone, are on screen.
std::string disagreement(const Ref<UIWindow>& window) {
    std::string found;
    auto note = [&](const std::string& what) {
        if (found.empty()) found = what;
    };
    std::function<void(const Ref<UIViewController>&, bool)> look = [&](const Ref<UIViewController>& controller,
                                                                        bool shown) {
        if (shown != controller->isAppearingOrVisible() || controller->isInAppearanceTransition())
            note(controller->title() + (shown ? " is not on screen" : " is on screen"));
        auto view = controller->viewIfLoaded();
        Ref<UIViewController> inView;
        if (auto navigation = cast<UINavigationController>(controller)) {
            inView = navigation->topViewController();
            if (navigation->viewControllers() != navigation->childViewControllers())
                note(controller->title() + ": the stack is not the children");
            if (navigation->navigationBar()->items().size() != navigation->viewControllers().size())
                note(controller->title() + ": an item per screen");
        } else if (auto tabs = cast<UITabBarController>(controller)) {
            inView = tabs->selectedViewController();
            if (inView && tabs->tabBar()->selectedItem() != inView->tabBarItem())
                note(controller->title() + ": the bar is on another tab");
        } else {
            for (const auto& child : controller->childViewControllers()) look(child, shown);
            return;
        }
        std::vector<Ref<UIView>> screens;
        for (const auto& subview : view ? view->subviews() : std::vector<Ref<UIView>>{})
            if (subview->owningViewController()) screens.push_back(subview);
        if (view && screens != std::vector<Ref<UIView>>{inView->view()})
            note(controller->title() + " holds " + std::to_string(screens.size()) + " screens");
        for (const auto& child : controller->childViewControllers()) look(child, shown && child == inView);
    };
    std::vector<Ref<UIView>> expected;
    for (auto controller = window->rootViewController(); controller; controller = controller->presentedViewController()) {
        auto presented = controller->presentedViewController();
        bool covered = presented && presented->modalPresentationStyle() == UIModalPresentationStyle::FullScreen;
        if (!covered) expected.push_back(controller->view());
        look(controller, !covered);
    }
    if (window->subviews() != expected) note("the window holds other views");
    return found;
}

// Changes asked inside a transition's callbacks, each row one of them (a
// screen's callback, or the navigation delegate's didShow): the stack, the
// tabs, the root, what is presented and the window agree in the end.
struct NestingRow {
    const char* name;
    // Sets the hook, then starts the transition.
    std::function<void(struct NestingScene&)> run;
};

class HookedDelegate : public UINavigationControllerDelegate {
public:
    void didShowViewController(const Ref<UINavigationController>&, const Ref<UIViewController>&, bool) override {
        if (auto hook = std::exchange(didShow, nullptr)) hook();
    }
    std::function<void()> didShow;
};

// A window showing tabs: a stack of A, B and C, then T1 and T2.
struct NestingScene {
    NestingScene(std::function<Ref<LoggingController>(std::string)> titled, const Ref<UIWindow>& window)
        : titled(std::move(titled)), window(window) {
        for (auto* name : {"A", "B", "C", "D", "T1", "T2", "other", "sheet"}) screens[name] = fresh(name);
        navigation = make<UINavigationController>(screens["A"]);
        navigation->setTitle("stack");
        navigation->setDelegate(delegate);
        tabs = make<UITabBarController>();
        tabs->setTitle("tabs");
        tabs->setViewControllers({navigation, screens["T1"], screens["T2"]});
        window->setRootViewController(tabs);
        window->makeKeyAndVisible();
        navigation->pushViewController(screens["B"], false);
        navigation->pushViewController(screens["C"], false);
    }
    // Takes the scene off screen, with no hook left to run.
    ~NestingScene() {
        for (const auto& screen : all) screen->hooks.clear();
        delegate->didShow = nullptr;
        window->setHidden(true);
    }
    Ref<LoggingController> fresh(const std::string& title) {
        all.push_back(titled(title));
        return all.back();
    }
    LoggingController& operator[](const char* name) { return *screens.at(name); }
    Ref<LoggingController> screen(const char* name) { return screens.at(name); }

    std::function<Ref<LoggingController>(std::string)> titled;
    Ref<UIWindow> window;
    std::vector<Ref<LoggingController>> all;
    std::map<std::string, Ref<LoggingController>> screens;
    Ref<UINavigationController> navigation;
    Ref<UITabBarController> tabs;
    std::shared_ptr<HookedDelegate> delegate = std::make_shared<HookedDelegate>();
};

const NestingRow kNestingRows[] = {
    {"pop inside the leaving screen's willDisappear",
     [](NestingScene& s) {
         s["C"].hooks["willDisappear+"] = [&] { s.navigation->popViewControllerAnimated(true); };
         s.navigation->popViewControllerAnimated(true);
     }},
    {"push inside the leaving screen's willDisappear",
     [](NestingScene& s) {
         s["C"].hooks["willDisappear+"] = [&] { s.navigation->pushViewController(s.screen("D"), true); };
         s.navigation->popViewControllerAnimated(true);
     }},
    {"push inside the leaving screen's didDisappear, then a pop before the first has ended",
     [](NestingScene& s) {
         s["C"].hooks["didDisappear+"] = [&] { s.navigation->pushViewController(s.screen("D"), true); };
         s.navigation->popViewControllerAnimated(true);
         s.navigation->popViewControllerAnimated(true);
     }},
    {"push inside the arriving screen's didAppear, then a pop before the first has ended",
     [](NestingScene& s) {
         s["B"].hooks["didAppear+"] = [&] { s.navigation->pushViewController(s.screen("D"), true); };
         s.navigation->popViewControllerAnimated(true);
         s.navigation->popViewControllerAnimated(true);
     }},
    {"push inside the delegate's didShow, then a pop before the first has ended",
     [](NestingScene& s) {
         s.delegate->didShow = [&] { s.navigation->pushViewController(s.screen("D"), true); };
         s.navigation->popViewControllerAnimated(true);
         s.navigation->popViewControllerAnimated(true);
     }},
    {"a tab selected inside another tab's willAppear",
     [](NestingScene& s) {
         s["T1"].hooks["willAppear"] = [&] { s.tabs->setSelectedIndex(2); };
         s.tabs->setSelectedIndex(1);
     }},
    {"a new root inside the old root's willDisappear",
     [](NestingScene& s) {
         s["other"].hooks["willDisappear"] = [&] { s.window->setRootViewController(s.screen("T2")); };
         s.window->setRootViewController(s.screen("other"));
         s.window->setRootViewController(s.tabs);
     }},
    {"a new root inside the new root's willAppear",
     [](NestingScene& s) {
         s["other"].hooks["willAppear"] = [&] { s.window->setRootViewController(s.screen("T2")); };
         s.window->setRootViewController(s.screen("other"));
         s.window->setRootViewController(s.tabs);
     }},
    {"a dismissal inside the presented screen's willAppear",
     [](NestingScene& s) {
         s["sheet"].hooks["willAppear+"] = [&] { s.tabs->dismissViewControllerAnimated(false); };
         s.tabs->presentViewController(s.screen("sheet"), true);
     }},
    {"a dismissal inside the covered presenter's willDisappear",
     [](NestingScene& s) {
         s["C"].hooks["willDisappear+"] = [&] { s["sheet"].dismissViewControllerAnimated(false); };
         s["sheet"].setModalPresentationStyle(UIModalPresentationStyle::FullScreen);
         s.screen("C")->presentViewController(s.screen("sheet"), true);
     }},
    {"a tab selected before the tabs' covering has ended",
     [](NestingScene& s) {
         s["sheet"].setModalPresentationStyle(UIModalPresentationStyle::FullScreen);
         s.tabs->presentViewController(s.screen("sheet"), true);
         s.tabs->setSelectedIndex(1);
         s.tabs->dismissViewControllerAnimated(false);
     }},
    {"a tab selected inside the leaving screen's willDisappear",
     [](NestingScene& s) {
         s["C"].hooks["willDisappear+"] = [&] { s.tabs->setSelectedIndex(1); };
         s.navigation->pushViewController(s.screen("D"), true);
     }},
    {"a presentation by the screen being dismissed, inside its willDisappear",
     [](NestingScene& s) {
         s.tabs->presentViewController(s.screen("sheet"), false);
         s["sheet"].hooks["willDisappear"] = [&] { s["sheet"].presentViewController(s.screen("other"), false); };
         s.tabs->dismissViewControllerAnimated(false);
     }},
    {"a new root inside didShow, while a push asked in the leaving screen's willDisappear waits",
     [](NestingScene& s) {
         s["C"].hooks["willDisappear+"] = [&] { s.navigation->pushViewController(s.screen("D"), false); };
         s.delegate->didShow = [&] { s.window->setRootViewController(s.screen("other")); };
         s.navigation->pushViewController(s.screen("sheet"), true);
         s.window->setRootViewController(s.tabs);
     }},
    {"a dismissal by the presenter inside the willDisappear of the screen it presents, being covered",
     [](NestingScene& s) {
         s["other"].setModalPresentationStyle(UIModalPresentationStyle::FullScreen);
         s.tabs->presentViewController(s.screen("sheet"), false);
         s["sheet"].hooks["willDisappear"] = [&] { s.tabs->dismissViewControllerAnimated(false); };
         s.screen("sheet")->presentViewController(s.screen("other"), false);
     }},
    {"a presentation inside the leaving tab's willDisappear, dismissed in its didDisappear",
     [](NestingScene& s) {
         s["sheet"].setModalPresentationStyle(UIModalPresentationStyle::FullScreen);
         s.tabs->setSelectedIndex(2);
         s["T2"].hooks["willDisappear"] = [&] { s.tabs->presentViewController(s.screen("sheet"), false); };
         s["T2"].hooks["didDisappear"] = [&] { s.tabs->dismissViewControllerAnimated(false); };
         s.tabs->setSelectedIndex(0);
     }},
    {"a new root inside the leaving tab's willDisappear, the old one back in the new one's didAppear",
     [](NestingScene& s) {
         s["C"].hooks["willDisappear"] = [&] { s.window->setRootViewController(s.screen("other")); };
         s["other"].hooks["didAppear"] = [&] { s.window->setRootViewController(s.tabs); };
         s.tabs->setSelectedIndex(1);
     }},
    {"a dismissal, a presentation, then the dismissal of the screen already gone, inside a push's willAppear",
     [](NestingScene& s) {
         s.navigation->presentViewController(s.screen("sheet"), false);
         s["D"].hooks["willAppear+"] = [&] {
             s.navigation->dismissViewControllerAnimated(false);
             s.navigation->presentViewController(s.screen("other"), false);
             s["sheet"].dismissViewControllerAnimated(false);
         };
         s.navigation->pushViewController(s.screen("D"), true);
         EXPECT_TRUE(s.tabs->presentedViewController() == s.screen("other"));
     }},
    {"a set of tabs, then a tab added, inside a push's willAppear",
     [](NestingScene& s) {
         s["D"].hooks["willAppear+"] = [&] {
             s.tabs->setViewControllers({s.navigation, s.screen("T1"), s.screen("T2")});
             s.tabs->addChildViewController(s.screen("other"));
         };
         s.navigation->pushViewController(s.screen("D"), true);
         EXPECT_EQ(s.tabs->viewControllers().size(), 4u);
     }},
};

TEST_F(NavigationTest, AChangeInsideATransitionsCallbacksLeavesTheScreenAgreeing) {
    for (const auto& row : kNestingRows) {
        window = make<UIWindow>();
        NestingScene scene([&](std::string title) { return titled(title); }, window);
        row.run(scene);
        clock.advance(2);
        EXPECT_EQ(disagreement(window), "") << row.name;
    }
}

// Random moves over that scene: pushes, pops, pops to the root, tab
// selections, and presentations and dismissals (or, for odd seeds, new
// roots), animated or not, the clock moving on by random steps; any of them
// may be asked inside a screen's appearance callback or the delegate's
// didShow. Once every transition has ended the screen agrees.
TEST_F(NavigationTest, RandomMovesInsideAndOutsideCallbacksLeaveTheScreenAgreeing) {
    for (unsigned seed = 0; seed < 2000; ++seed) {
        window = make<UIWindow>();
        NestingScene scene([&](std::string title) { return titled(title); }, window);
        auto& screens = scene.all;
        auto fresh = [&] { return scene.fresh("S" + std::to_string(screens.size())); };
        std::mt19937 random(seed);
        auto pick = [&](std::size_t count) { return static_cast<std::size_t>(random() % count); };
        const bool newRoots = seed % 2;
        std::function<void(std::size_t)> move = [&](std::size_t kind) {
            bool animated = pick(2);
            auto someone = screens[pick(screens.size())];
            switch (kind) {
                case 0: return scene.navigation->pushViewController(fresh(), animated);
                case 1: return (void)scene.navigation->popViewControllerAnimated(animated);
                case 2: return (void)scene.navigation->popToRootViewControllerAnimated(animated);
                case 3: return scene.tabs->setSelectedIndex(pick(3));
                case 4:
                    if (newRoots) return window->setRootViewController(pick(2) ? Ref<UIViewController>(scene.tabs) : scene.screen("other"));
                    fresh()->setModalPresentationStyle(pick(2) ? UIModalPresentationStyle::FullScreen
                                                               : UIModalPresentationStyle::Automatic);
                    return someone->presentViewController(screens.back(), animated);
                case 5:
                    if (newRoots) return;
                    return someone->dismissViewControllerAnimated(animated);
                case 6: {
                    static const char* const kEvents[] = {"willAppear",     "willAppear+",  "didAppear",
                                                          "didAppear+",     "willDisappear", "willDisappear+",
                                                          "didDisappear",   "didDisappear+"};
                    auto asked = pick(6);
                    if (pick(9) == 0) scene.delegate->didShow = [&move, asked] { move(asked); };
                    else someone->hooks[kEvents[pick(8)]] = [&move, asked] { move(asked); };
                    return;
                }
                default: return clock.advance(0.1 * static_cast<double>(pick(5)));
            }
        };
        for (int step = 0; step < 40; ++step) move(pick(8));
        for (int settle = 0; settle < 5; ++settle) clock.advance(1);
        ASSERT_EQ(disagreement(window), "") << "seed " << seed;
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
