// Reachability changes, the web-storage key writer and the toast.
#include <gtest/gtest.h>

#include "foundation/NSNotificationCenter.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/API/NBOSDKReachability.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBWebKit/NBWebViewLoadJs.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/pal/PalApi/PalApiInterface/UINotifyView.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIWindow.h"
#include "tests/support/Eventually.h"

namespace {

class PalKitViewsAndWatches : public AppFixture {
protected:
    void TearDown() override {
        SCNetworkReachability::setFakeFlags(std::nullopt);
        NimbusConnectHosts::setHost("");
    }
};

TEST_F(PalKitViewsAndWatches, ReachabilityStatusFollowsTheFlagsAndItsChangesArePosted) {
    auto internet = NBOSDKReachability::reachabilityForInternetConnection();
    using F = SCNetworkReachabilityFlags;
    const std::pair<F, int> rows[] = {
        {kSCNetworkReachabilityFlagsReachable | kSCNetworkReachabilityFlagsIsWWAN, 1},
        {kSCNetworkReachabilityFlagsReachable, 2},
        {kSCNetworkReachabilityFlagsReachable | kSCNetworkReachabilityFlagsTransientConnection |
             kSCNetworkReachabilityFlagsConnectionRequired, 0},
        {kSCNetworkReachabilityFlagsReachable | kSCNetworkReachabilityFlagsConnectionRequired, 2},
        {kSCNetworkReachabilityFlagsConnectionRequired, 0}};
    for (auto [flags, status] : rows) EXPECT_EQ(internet->networkStatusForFlags(flags), status) << flags;
    EXPECT_EQ(NBOSDKReachability::reachabilityForLocalWiFi()->networkStatusForFlags(kSCNetworkReachabilityFlagsReachable), 0);
    EXPECT_EQ(internet->key(), "NBOSDKInternetConnection");
    EXPECT_TRUE(internet->isEqual(*NBOSDKReachability::reachabilityForInternetConnection()));

    // The shared object remembers the last change and tells it publicly;
    // other objects tell their own notification. The shared object may be
    // an earlier test's, whose last change went with that test's main-loop
    // work: two changes in a row, the second awaited as told, bring it to
    // the flags set here.
    NBOSDKReachability::networkStatus();
    auto center = NSNotificationCenter::defaultCenter();
    bool toldReachable = false;
    auto settling = center->addObserverForName(NBOSDKReachability::kPublicChangedNotification, nullptr,
                                               [&](const Ref<NSNotification>&) {
                                                   toldReachable = NBOSDKReachability::networkStatus() == 2;
                                               });
    SCNetworkReachability::setFakeFlags(kSCNetworkReachabilityFlagsReachable | kSCNetworkReachabilityFlagsIsWWAN);
    SCNetworkReachability::setFakeFlags(kSCNetworkReachabilityFlagsReachable);
    ASSERT_TRUE(runUntil([&] { return toldReachable; }));
    center->removeObserver(settling);
    EXPECT_EQ(NBOSDKReachability::networkStatus(), 2);
    auto host = NBOSDKReachability::reachabilityWithHostName("pal.example");
    ASSERT_TRUE(host->startNotifier());
    int publicChanges = 0, hostChanges = 0;
    auto publicObserver = center->addObserverForName(NBOSDKReachability::kPublicChangedNotification, nullptr,
                                                     [&](const Ref<NSNotification>&) { ++publicChanges; });
    auto hostObserver = center->addObserverForName(NBOSDKReachability::kChangedNotification, host,
                                                   [&](const Ref<NSNotification>&) { ++hostChanges; });
    SCNetworkReachability::setFakeFlags(kSCNetworkReachabilityFlagsReachable | kSCNetworkReachabilityFlagsIsWWAN);
    ASSERT_TRUE(runUntil([&] { return publicChanges == 1 && hostChanges == 1; }));
    EXPECT_EQ(NBOSDKReachability::networkStatus(), 1);
    SCNetworkReachability::setFakeFlags(0);
    ASSERT_TRUE(runUntil([&] { return publicChanges == 2; }));
    EXPECT_EQ(NBOSDKReachability::networkStatus(), 0);
    center->removeObserver(publicObserver);
    center->removeObserver(hostObserver);
}

TEST_F(PalKitViewsAndWatches, TheKeyWriterEscapesItsValuesAndLeavesNoWebView) {
    NimbusConnectHosts::setHost("127.0.0.1:9");
    auto window = make<UIWindow>(CGRectMake(0, 0, 320, 480));
    window->makeKeyAndVisible();
    auto writer = NBWebViewLoadJs::getInstance();
    writer->loadJS(std::string("1234"), std::nullopt, std::string("k"));
    EXPECT_FALSE(writer->webView());

    writer->loadJS(std::string("1234"), std::string("o'1"), std::string("a');alert(1);//</script>"));
    auto first = writer->webView();
    writer->loadJS(std::string("1234"), std::string("o'1"), std::string("a');alert(1);//</script>"));
    ASSERT_TRUE(writer->webView());
    EXPECT_NE(writer->webView(), first);
    EXPECT_EQ(writer->webView()->superview(), window);
    EXPECT_EQ(writer->storageScript(),
              "if(!!window.localStorage){try{document.domain = '127.0.0.1';localStorage['o\\'1_1234'] = "
              "encodeURIComponent('a\\');alert(1);//\\x3c/script>');}catch(e){}}");
    // Nothing listens on port 9: the load fails and the view goes.
    ASSERT_TRUE(runUntil([&] { return !writer->webView(); }, kGiveUpAfterSeconds));
    EXPECT_TRUE(window->subviews().empty());
    NBWebViewLoadJs::clear();
}

TEST_F(PalKitViewsAndWatches, TheToastFadesInStaysAndFadesOut) {
    auto toast = UINotifyView::notifyViewWithImage(nullptr, std::string("已保存"));
    EXPECT_EQ(toast->frame().size.width, 280);
    EXPECT_EQ(toast->frame().size.height, 45);
    // Without an icon the text is centred in the box.
    const CGRect label = toast->textLabel()->frame();
    EXPECT_NEAR(label.origin.x * 2 + label.size.width, 280, 0.5);

    bool completed = false;
    toast->presentWithDuration(1.0, 0.5, nullptr, [&] { completed = true; });
    EXPECT_TRUE(toast->isAnimating());
    clock.advance(0.5);
    EXPECT_DOUBLE_EQ(toast->currentOpacity(), 0.75);
    EXPECT_EQ(toast->textLabel()->alpha(), 1);
    clock.advance(1.0);
    clock.advance(0.5);
    EXPECT_TRUE(completed);
    EXPECT_FALSE(toast->isAnimating());
    EXPECT_EQ(toast->currentOpacity(), 0);
    EXPECT_EQ(toast->textLabel()->alpha(), 0);
}

}  // namespace
