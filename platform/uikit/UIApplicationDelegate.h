#pragma once

#include <string>

#include "foundation/NSURL.h"
#include "foundation/Value.h"
#include "uikit/UIResponder.h"

class UIApplication;
class UIWindow;

// The application's delegate: the app's own subclass hears the life cycle
// and the URLs opened into the app. Methods whose selectors all begin with
// "application" are named after every piece of the selector.
//
// Open-URL callbacks: the application calls the options form; by default it
// passes on to the source-application form, which by default passes on to
// the handle form, so a delegate overrides whichever form it implements, as
// UIKit prefers the newest one a delegate has.
class UIApplicationDelegate : public UIResponder {
public:
    Ref<UIWindow> window() const { return window_; }
    void setWindow(const Ref<UIWindow>& window) { window_ = window; }

    virtual bool applicationDidFinishLaunchingWithOptions(const Ref<UIApplication>&, const Dictionary& /*options*/) {
        return true;
    }
    virtual void applicationDidBecomeActive(const Ref<UIApplication>&) {}
    virtual void applicationWillResignActive(const Ref<UIApplication>&) {}
    virtual void applicationDidEnterBackground(const Ref<UIApplication>&) {}
    virtual void applicationWillEnterForeground(const Ref<UIApplication>&) {}
    virtual void applicationWillTerminate(const Ref<UIApplication>&) {}

    virtual bool applicationOpenURLOptions(const Ref<UIApplication>& application, const Ref<NSURL>& url,
                                           const Dictionary& options);
    virtual bool applicationOpenURLSourceApplicationAnnotation(const Ref<UIApplication>& application,
                                                               const Ref<NSURL>& url,
                                                               const std::string& sourceApplication,
                                                               const Value& annotation);
    virtual bool applicationHandleOpenURL(const Ref<UIApplication>&, const Ref<NSURL>&) { return false; }

private:
    Ref<UIWindow> window_;
};
