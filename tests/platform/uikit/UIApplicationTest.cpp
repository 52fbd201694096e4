#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/DispatchQueue.h"
#include "foundation/MonotonicClock.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSNotificationCenter.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIApplicationMain.h"
#include "uikit/UIDevice.h"
#include "uikit/UIScreen.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"
#include "uikit/UIWindowScene.h"

namespace {

// An app delegate that logs its callbacks, with the application state each
// one saw, and shows a window with a root controller when launched.
class LoggingDelegate : public UIApplicationDelegate {
public:
    std::vector<std::string> log;
    std::string openedFrom;

    void note(const std::string& event, const Ref<UIApplication>& app) {
        log.push_back(event + "@" + std::to_string(static_cast<int>(app->applicationState())));
    }
    bool applicationDidFinishLaunchingWithOptions(const Ref<UIApplication>& app, const Dictionary&) override {
        note("didFinishLaunching", app);
        auto window = make<UIWindow>();
        window->setRootViewController(make<UIViewController>());
        window->makeKeyAndVisible();
        setWindow(window);
        return true;
    }
    void applicationDidBecomeActive(const Ref<UIApplication>& app) override { note("didBecomeActive", app); }
    void applicationWillResignActive(const Ref<UIApplication>& app) override { note("willResignActive", app); }
    void applicationDidEnterBackground(const Ref<UIApplication>& app) override { note("didEnterBackground", app); }
    void applicationWillEnterForeground(const Ref<UIApplication>& app) override { note("willEnterForeground", app); }
    void applicationWillTerminate(const Ref<UIApplication>& app) override { note("willTerminate", app); }
    // Only the oldest form: the newer ones must fall through to it.
    bool applicationHandleOpenURL(const Ref<UIApplication>& app, const Ref<NSURL>& url) override {
        note("handleOpenURL " + url->absoluteString(), app);
        return true;
    }
};

class SourceAwareDelegate : public LoggingDelegate {
public:
    bool applicationOpenURLSourceApplicationAnnotation(const Ref<UIApplication>& app, const Ref<NSURL>& url,
                                                       const std::string& source, const Value&) override {
        note("openURL " + url->absoluteString() + " from " + source, app);
        return true;
    }
};

class UIApplicationTest : public AppFixture {
protected:
    std::vector<std::string> notifications() const { return *posted; }

    void SetUp() override {
        for (const char* name : {UIApplicationDidFinishLaunchingNotification, UIApplicationDidBecomeActiveNotification,
                                 UIApplicationWillResignActiveNotification, UIApplicationDidEnterBackgroundNotification,
                                 UIApplicationWillEnterForegroundNotification, UIApplicationWillTerminateNotification}) {
            tokens.push_back(NSNotificationCenter::defaultCenter()->addObserverForName(
                name, nullptr, [posted = posted](const Ref<NSNotification>& n) { posted->push_back(n->name()); }));
        }
    }
    void TearDown() override {
        for (const auto& token : tokens) NSNotificationCenter::defaultCenter()->removeObserver(token);
    }

    std::shared_ptr<std::vector<std::string>> posted = std::make_shared<std::vector<std::string>>();
    std::vector<Ref<NSObject>> tokens;
};

TEST_F(UIApplicationTest, LaunchFinishesThenBecomesActiveWithAKeyWindow) {
    auto delegate = make<LoggingDelegate>();
    auto app = UIApplication::launchForTesting(delegate);
    EXPECT_EQ(UIApplication::sharedApplication(), app);
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"didFinishLaunching@1", "didBecomeActive@0"}));
    EXPECT_EQ(notifications(), (std::vector<std::string>{UIApplicationDidFinishLaunchingNotification,
                                                         UIApplicationDidBecomeActiveNotification}));
    EXPECT_EQ(app->applicationState(), UIApplicationState::Active);
    ASSERT_EQ(app->connectedScenes().size(), 1u);
    auto scene = app->connectedScenes().front();
    EXPECT_EQ(scene->activationState(), UISceneActivationState::ForegroundActive);
    EXPECT_EQ(app->keyWindow(), delegate->window());
    EXPECT_EQ(scene->windows(), std::vector<Ref<UIWindow>>{delegate->window()});
    EXPECT_EQ(delegate->window()->windowScene(), scene);
    // The root controller's view fills the window.
    auto root = delegate->window()->rootViewController();
    ASSERT_TRUE(root->isViewLoaded());
    EXPECT_EQ(root->view()->superview(), delegate->window());
    EXPECT_EQ(root->view()->frame(), CGRectMake(0, 0, 375, 667));
}

TEST_F(UIApplicationTest, BackgroundAndForegroundMoveStateAndScene) {
    auto delegate = make<LoggingDelegate>();
    auto app = UIApplication::launchForTesting(delegate);
    delegate->log.clear();
    posted->clear();
    app->enterBackground();
    EXPECT_EQ(app->connectedScenes().front()->activationState(), UISceneActivationState::Background);
    app->enterForeground();
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"willResignActive@0", "didEnterBackground@2",
                                                       "willEnterForeground@2", "didBecomeActive@0"}));
    EXPECT_EQ(notifications(), (std::vector<std::string>{
                                   UIApplicationWillResignActiveNotification, UIApplicationDidEnterBackgroundNotification,
                                   UIApplicationWillEnterForegroundNotification, UIApplicationDidBecomeActiveNotification}));
    app->terminate();
    app->terminate();
    EXPECT_EQ(delegate->log.back(), "willTerminate@0");
    EXPECT_EQ(std::count(delegate->log.begin(), delegate->log.end(), "willTerminate@0"), 1);
}

TEST_F(UIApplicationTest, OpenURLGoesToTheSimulatedAppWhichAnswersBackIntoTheDelegate) {
    auto delegate = make<SourceAwareDelegate>();
    auto app = UIApplication::launchForTesting(delegate);
    std::vector<std::string> messengerSaw;
    UIApplication::installSimulatedApp("Messenger", [&](const Ref<NSURL>& url) {
        messengerSaw.push_back(url->absoluteString());
        UIApplication::sharedApplication()->openURLIntoApp(NSURL::URLWithString("velmaro://share?result=ok"),
                                                           "com.example.messenger");
    });
    auto shareURL = NSURL::URLWithString("messenger://send?text=hi");
    EXPECT_TRUE(app->canOpenURL(shareURL));
    EXPECT_FALSE(app->canOpenURL(NSURL::URLWithString("unknownapp://x")));
    EXPECT_TRUE(app->canOpenURL(NSURL::URLWithString("https://example.com/")));
    delegate->log.clear();

    std::vector<bool> completions;
    app->openURL(shareURL, {}, [&](bool success) { completions.push_back(success); });
    EXPECT_TRUE(messengerSaw.empty()) << "the other app runs from the main queue";
    EXPECT_TRUE(runUntil([&] { return completions.size() == 1 && app->applicationState() == UIApplicationState::Active; }));
    clock.advance(0);
    EXPECT_EQ(messengerSaw, std::vector<std::string>{"messenger://send?text=hi"});
    EXPECT_EQ(completions, std::vector<bool>{true});
    EXPECT_EQ(delegate->log,
              (std::vector<std::string>{"willResignActive@0", "didEnterBackground@2", "willEnterForeground@2",
                                        "openURL velmaro://share?result=ok from com.example.messenger@1",
                                        "didBecomeActive@0"}));
    EXPECT_EQ(app->openedURLs(), std::vector<std::string>{"messenger://send?text=hi"});
}

TEST_F(UIApplicationTest, OpeningAnUnknownSchemeFailsAndTheAppStaysActive) {
    auto delegate = make<LoggingDelegate>();
    auto app = UIApplication::launchForTesting(delegate);
    delegate->log.clear();
    std::vector<bool> completions;
    EXPECT_FALSE(app->openURL(NSURL::URLWithString("nothere://x")));
    app->openURL(NSURL::URLWithString("nothere://y"), {}, [&](bool success) { completions.push_back(success); });
    app->openURL(nullptr, {}, [&](bool success) { completions.push_back(success); });
    clock.advance(0);
    EXPECT_EQ(completions, (std::vector<bool>{false, false}));
    EXPECT_TRUE(delegate->log.empty());
    EXPECT_EQ(app->openedURLs(), (std::vector<std::string>{"nothere://x", "nothere://y"}));
}

TEST_F(UIApplicationTest, AnAppThatDoesNotAnswerLetsTheUserComeBack) {
    auto delegate = make<LoggingDelegate>();
    auto app = UIApplication::launchForTesting(delegate);
    int payments = 0;
    UIApplication::installSimulatedApp("pay", [&](const Ref<NSURL>&) { ++payments; });
    delegate->log.clear();
    EXPECT_TRUE(app->openURL(NSURL::URLWithString("pay://order/1")));
    clock.advance(0);
    EXPECT_EQ(payments, 1);
    EXPECT_EQ(app->applicationState(), UIApplicationState::Active);
    EXPECT_EQ(delegate->log.back(), "didBecomeActive@0");

    // The handle form receives URLs when the delegate has nothing newer.
    delegate->log.clear();
    app->openURLIntoApp(NSURL::URLWithString("velmaro://back"));
    clock.advance(0);
    EXPECT_EQ(delegate->log, std::vector<std::string>{"handleOpenURL velmaro://back@0"});
}

TEST_F(UIApplicationTest, WindowsAreOrderedByLevelAndKeyPassesOnWhenHidden) {
    auto app = UIApplication::sharedApplication();
    auto main = make<UIWindow>(), alert = make<UIWindow>(), hiddenOne = make<UIWindow>();
    alert->setWindowLevel(UIWindowLevelAlert);
    alert->makeKeyAndVisible();
    main->makeKeyAndVisible();
    EXPECT_EQ(app->windows(), (std::vector<Ref<UIWindow>>{main, alert}));
    EXPECT_TRUE(main->isKeyWindow());
    EXPECT_FALSE(alert->isKeyWindow());
    main->setHidden(true);
    EXPECT_EQ(app->keyWindow(), alert);
    EXPECT_EQ(app->windows(), std::vector<Ref<UIWindow>>{alert});
}

TEST_F(UIApplicationTest, RootControllerAppearsWithTheWindow) {
    struct Screen : UIViewController {
        std::vector<std::string> log;
        void viewDidLoad() override { log.push_back("viewDidLoad"); }
        void viewWillAppear(bool) override { log.push_back(std::string("viewWillAppear inWindow=") + (view()->window() ? "1" : "0")); }
        void viewDidAppear(bool) override { log.push_back(std::string("viewDidAppear inWindow=") + (view()->window() ? "1" : "0")); }
        void viewWillDisappear(bool) override { log.push_back("viewWillDisappear"); }
        void viewDidDisappear(bool) override { log.push_back("viewDidDisappear"); }
    };
    auto window = make<UIWindow>();
    auto first = make<Screen>(), second = make<Screen>();
    window->setRootViewController(first);
    EXPECT_FALSE(first->isViewLoaded()) << "the view loads when the window shows";
    window->makeKeyAndVisible();
    window->setRootViewController(second);
    EXPECT_EQ(first->log, (std::vector<std::string>{"viewDidLoad", "viewWillAppear inWindow=0", "viewDidAppear inWindow=1",
                                                    "viewWillDisappear", "viewDidDisappear"}));
    EXPECT_EQ(first->view()->superview(), nullptr);
    EXPECT_EQ(second->view()->superview(), window);
}

TEST_F(UIApplicationTest, UIApplicationMainRunsTheLoopUntilTerminated) {
    struct QuittingDelegate : LoggingDelegate {
        bool applicationDidFinishLaunchingWithOptions(const Ref<UIApplication>& app, const Dictionary& options) override {
            LoggingDelegate::applicationDidFinishLaunchingWithOptions(app, options);
            DispatchQueue::main()->after(30, [] { UIApplication::sharedApplication()->terminate(); });
            // The manual clock stands still while the loop runs: a block of
            // the loop's own moves it past the time-out.
            NSRunLoop::mainRunLoop()->performBlock([] { MonotonicClock::setManualTime(MonotonicClock::now() + 31); });
            return true;
        }
    };
    Ref<QuittingDelegate> delegate;
    UIApplicationRegisterDelegateClass("QuittingDelegate", [&] { return delegate = make<QuittingDelegate>(); });
    char name[] = "velmaro";
    char* argv[] = {name, nullptr};
    int status = UIApplicationMain(1, argv, std::nullopt, "QuittingDelegate");
    EXPECT_EQ(status, 0);
    ASSERT_TRUE(delegate);
    EXPECT_EQ(delegate->log.back(), "willTerminate@0");
    EXPECT_EQ(UIApplicationMain(1, argv, std::nullopt, "NoSuchDelegate"), 1);
}

TEST_F(UIApplicationTest, ScreenAndDeviceSettingsResetBetweenTests) {
    EXPECT_EQ(UIScreen::mainScreen()->bounds(), CGRectMake(0, 0, 375, 667));
    EXPECT_EQ(UIScreen::mainScreen()->scale(), 2);
    EXPECT_EQ(UIDevice::currentDevice()->systemVersion(), "15.0");
    EXPECT_EQ(UIDevice::currentDevice()->model(), "iPhone");
    auto vendor = UIDevice::currentDevice()->identifierForVendor()->UUIDString();
    EXPECT_EQ(UIDevice::currentDevice()->identifierForVendor()->UUIDString(), vendor);
    UIScreen::configureMainScreen({414, 896}, 3, true);
    UIDevice::currentDevice()->setSystemVersion("16.4");
    EXPECT_EQ(make<UIWindow>()->frame(), CGRectMake(0, 0, 414, 896));
    UIApplication::resetForTesting();
    EXPECT_EQ(UIScreen::mainScreen()->bounds().size, CGSizeMake(375, 667));
    EXPECT_EQ(UIDevice::currentDevice()->systemVersion(), "15.0");
    EXPECT_NE(UIDevice::currentDevice()->identifierForVendor()->UUIDString(), vendor);
}

}  // namespace
