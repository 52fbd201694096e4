#pragma once

#include <functional>
#include <string>
#include <vector>

#include "foundation/NSURL.h"
#include "foundation/Value.h"
#include "uikit/UIApplicationDelegate.h"
#include "uikit/UIResponder.h"

class UIWindow;
class UIWindowScene;

enum class UIApplicationState { Active = 0, Inactive = 1, Background = 2 };
enum class UIStatusBarStyle { Default = 0, LightContent = 1, DarkContent = 3 };

extern const char* const UIApplicationDidFinishLaunchingNotification;
extern const char* const UIApplicationDidBecomeActiveNotification;
extern const char* const UIApplicationWillResignActiveNotification;
extern const char* const UIApplicationDidEnterBackgroundNotification;
extern const char* const UIApplicationWillEnterForegroundNotification;
extern const char* const UIApplicationWillTerminateNotification;
extern const char* const UIApplicationDidReceiveMemoryWarningNotification;
extern const char* const UIApplicationOpenURLOptionsSourceApplicationKey;
extern const char* const UIApplicationOpenURLOptionsAnnotationKey;

// The running app: its delegate, windows, scene, state, and the door to other
// apps.
//
// Life cycle: launch makes a fresh application with one scene, calls the
// delegate's did-finish-launching, then makes it active. Each change calls the
// delegate first, then posts the matching notification (object: the
// application) on the default centre, and moves the scene's activation
// state along.
//
// Other apps are simulated: a test or the runner installs a handler per URL
// scheme. canOpenURL answers for installed schemes and for http/https (the
// browser is always there). Opening a URL records it, then on the main queue
// the app resigns active and enters the background, the other app's handler
// runs, and the app comes back to the foreground and becomes active again.
// A handler answers by calling openURLIntoApp, which (on the main queue)
// brings the app to the foreground, calls the delegate's open-URL callback
// and makes the app active.
class UIApplication : public UIResponder {
public:
    using SimulatedApp = std::function<void(const Ref<NSURL>& url)>;
    using OpenCompletion = std::function<void(bool success)>;

    // The running application; one is made (active, without a delegate) when
    // code asks before any launch.
    static Ref<UIApplication> sharedApplication();

    Ref<UIApplicationDelegate> delegate() const { return delegate_; }
    void setDelegate(const Ref<UIApplicationDelegate>& delegate) { delegate_ = delegate; }
    // The visible windows, lowest level first (equal levels in showing order).
    std::vector<Ref<UIWindow>> windows() const;
    Ref<UIWindow> keyWindow() const { return keyWindow_.lock(); }
    const std::vector<Ref<UIWindowScene>>& connectedScenes() const { return scenes_; }
    UIApplicationState applicationState() const { return state_; }

    bool isStatusBarHidden() const { return statusBarHidden_; }
    void setStatusBarHidden(bool hidden) { statusBarHidden_ = hidden; }
    UIStatusBarStyle statusBarStyle() const { return statusBarStyle_; }
    void setStatusBarStyle(UIStatusBarStyle style) { statusBarStyle_ = style; }

    // --- Other apps ---
    bool canOpenURL(const Ref<NSURL>& url) const;
    // Answers canOpenURL at once; the other app runs on the main queue.
    bool openURL(const Ref<NSURL>& url);
    // The completion runs on the main queue with whether an app took the URL.
    void openURL(const Ref<NSURL>& url, const Dictionary& options, OpenCompletion completion);
    // Every URL the app asked to open, in order (also ones no app took).
    const std::vector<std::string>& openedURLs() const { return openedURLs_; }
    // Installs (or, with an empty handler, removes) the app for a scheme
    // (letter case ignored); it outlives application resets until reset.
    static void installSimulatedApp(std::string scheme, SimulatedApp handler);
    static void removeAllSimulatedApps();
    // Another app opens `url` into this one (see the class comment).
    // `handled`, when given, hears on the main queue whether the delegate
    // took the URL (false without a delegate).
    void openURLIntoApp(const Ref<NSURL>& url, std::string sourceApplication = {},
                        std::function<void(bool handled)> handled = {});

    // --- Life cycle, driven by UIApplicationMain, tests and the runner ---
    // A fresh shared application with `delegate`, launched and active.
    static Ref<UIApplication> launch(const Ref<UIApplicationDelegate>& delegate, const Dictionary& launchOptions = {});
    // The form tests use: the same, without entering the run loop.
    static Ref<UIApplication> launchForTesting(const Ref<UIApplicationDelegate>& delegate,
                                               const Dictionary& launchOptions = {}) {
        return launch(delegate, launchOptions);
    }
    // Active -> inactive -> background.
    void enterBackground();
    // Background -> inactive -> active.
    void enterForeground();
    // Calls the delegate's will-terminate once; UIApplicationMain then returns.
    void terminate();
    bool isTerminated() const { return terminated_; }
    // The system says memory runs low: posts the memory-warning notification.
    void receiveMemoryWarning();
    // Drops the shared application and its windows, the simulated apps, the
    // first responder and open animation blocks; puts back the standard
    // screen and device.
    static void resetForTesting();

    // For UIWindow.
    void windowVisibilityChanged(const Ref<UIWindow>& window, bool visible);
    void makeKey(const Ref<UIWindow>& window);

    // The delegate.
    Ref<UIResponder> nextResponder() const override { return delegate_; }

private:
    void moveTo(UIApplicationState state);
    void becomeActive();
    void resignActive();
    // Background -> inactive.
    void leaveBackground();
    void switchToOtherApp(const Ref<NSURL>& url, const SimulatedApp& handler);

    Ref<UIApplicationDelegate> delegate_;
    std::vector<Ref<UIWindow>> windows_;
    WeakRef<UIWindow> keyWindow_;
    std::vector<Ref<UIWindowScene>> scenes_;
    UIApplicationState state_ = UIApplicationState::Inactive;
    bool statusBarHidden_ = false;
    UIStatusBarStyle statusBarStyle_ = UIStatusBarStyle::Default;
    std::vector<std::string> openedURLs_;
    bool terminated_ = false;
};
