#pragma once

#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusSessionDelegate.h"
#include "kits/ripple/RPApiDelegate.h"
#include "uikit/UIApplicationDelegate.h"
#include "uikit/UIViewController.h"

// The application's delegate. At launch it shows the sign-in screen, or the
// main tab bar when a user id is stored; registers with the Ripple kit
// (analytics off) and starts the Pal kit's login object, which it keeps for
// the whole run. Every URL the app is opened with goes to the Ripple kit
// first and then to the Pal kit, whose answer is the app's. It is the Ripple
// kit's delegate and the Pal kit's session delegate; those callbacks only
// log or do nothing.
class AppDelegate : public UIApplicationDelegate, public RPApiDelegate, public NimbusSessionDelegate {
public:
    // The class name the program entry registers and launches.
    static constexpr const char* kClassName = "AppDelegate";

    Ref<NimbusOAuth> nimbusOAuth() const { return nimbusOAuth_; }

    bool applicationDidFinishLaunchingWithOptions(const Ref<UIApplication>& application,
                                                  const Dictionary& options) override;
    bool applicationOpenURLSourceApplicationAnnotation(const Ref<UIApplication>& application, const Ref<NSURL>& url,
                                                       const std::string& sourceApplication,
                                                       const Value& annotation) override;
    bool applicationHandleOpenURL(const Ref<UIApplication>& application, const Ref<NSURL>& url) override;

    void onReq(const Ref<BaseReq>& request) override;
    void onResp(const Ref<BaseResp>& response) override;
    void nimbusDidLogin() override;

private:
    // Both URL callbacks.
    bool handleIncomingURL(const Ref<NSURL>& url);
    // A money action of an earlier run whose result is still unknown (a kept
    // request, KXKeptMoneyRequests, or a list a damaged kept file closed) is
    // told at the start, with where to look.
    void tellUnknownMoneyResults();
    // A new white window of the main screen's size, key and visible, then
    // `root` as its root.
    void showInNewWindow(const Ref<UIViewController>& root);

    Ref<NimbusOAuth> nimbusOAuth_;
};
