#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <atomic>
#include <string>
#include <vector>

#include "foundation/DispatchQueue.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSThread.h"
#include "system/SCNetworkReachability.h"
#include "tests/support/Eventually.h"

namespace {

constexpr SCNetworkReachabilityFlags local = kSCNetworkReachabilityFlagsReachable |
                                             kSCNetworkReachabilityFlagsIsLocalAddress |
                                             kSCNetworkReachabilityFlagsIsDirect;
constexpr SCNetworkReachabilityFlags wwan = kSCNetworkReachabilityFlagsReachable | kSCNetworkReachabilityFlagsIsWWAN;

sockaddr_in ipv4(const char* text) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    ::inet_pton(AF_INET, text, &address.sin_addr);
    return address;
}

class SCNetworkReachabilityTest : public ::testing::Test {
protected:
    void TearDown() override { SCNetworkReachability::setFakeFlags(std::nullopt); }

    // Pumps the main loop briefly so that anything posted gets delivered.
    static void settle() { NSRunLoop::mainRunLoop()->runUntil([] { return false; }, 0.05); }
};

TEST_F(SCNetworkReachabilityTest, LoopbackTargetsAreAlwaysLocalAndReachable) {
    for (const char* name : {"localhost", "LOCALHOST.", "api.localhost", "127.0.0.1", "127.8.9.10", "::1"}) {
        SCOPED_TRACE(name);
        auto target = SCNetworkReachability::createWithName(name);
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(target->flags(), local);
    }
    const sockaddr_in loopback = ipv4("127.0.0.1");
    EXPECT_EQ(SCNetworkReachability::createWithAddress(reinterpret_cast<const sockaddr*>(&loopback))->flags(), local);
}

TEST_F(SCNetworkReachabilityTest, OtherTargetsFollowTheInterfacesLikeWiFi) {
    const sockaddr_in any = ipv4("0.0.0.0");
    const sockaddr_in linkLocal = ipv4("169.254.0.0");
    const auto internet = SCNetworkReachability::createWithAddress(reinterpret_cast<const sockaddr*>(&any));
    const auto wifi = SCNetworkReachability::createWithAddress(reinterpret_cast<const sockaddr*>(&linkLocal));
    const SCNetworkReachabilityFlags flags = internet->flags();
    EXPECT_TRUE(flags == 0 || flags == kSCNetworkReachabilityFlagsReachable) << flags;
    EXPECT_EQ(SCNetworkReachability::createWithName("open.example.com")->flags(), flags);
    EXPECT_EQ(wifi->flags(), flags == 0 ? 0 : flags | kSCNetworkReachabilityFlagsIsDirect);
}

TEST_F(SCNetworkReachabilityTest, RefusesMalformedNamesAndUnknownAddressFamilies) {
    for (const std::string& name : {std::string(), std::string("."), std::string("a..b"), std::string("has space.com"),
                                    std::string("http://x.com"), std::string(64, 'a') + ".com", std::string(254, 'a')}) {
        EXPECT_EQ(SCNetworkReachability::createWithName(name), nullptr) << name;
    }
    EXPECT_NE(SCNetworkReachability::createWithName("graph.pal-app.example."), nullptr);
    EXPECT_EQ(SCNetworkReachability::createWithAddress(nullptr), nullptr);
    sockaddr unix{};
    unix.sa_family = AF_UNIX;
    EXPECT_EQ(SCNetworkReachability::createWithAddress(&unix), nullptr);
}

TEST_F(SCNetworkReachabilityTest, FakeFlagsOverrideEveryTargetUntilCleared) {
    const auto loopback = SCNetworkReachability::createWithName("127.0.0.1");
    const auto host = SCNetworkReachability::createWithName("open.example.com");
    const SCNetworkReachabilityFlags real = host->flags();
    SCNetworkReachability::setFakeFlags(wwan);
    EXPECT_EQ(loopback->flags(), wwan);
    EXPECT_EQ(host->flags(), wwan);
    SCNetworkReachability::setFakeFlags(0);
    EXPECT_EQ(host->flags(), 0u);
    SCNetworkReachability::setFakeFlags(std::nullopt);
    EXPECT_EQ(loopback->flags(), local);
    EXPECT_EQ(host->flags(), real);
}

TEST_F(SCNetworkReachabilityTest, ScheduledCallbacksHearChangesOnTheMainRunLoop) {
    const auto target = SCNetworkReachability::createWithName("open.example.com");
    std::vector<SCNetworkReachabilityFlags> heard;
    target->setCallback([&](const Ref<SCNetworkReachability>& from, SCNetworkReachabilityFlags flags) {
        EXPECT_EQ(from, target);
        EXPECT_TRUE(NSThread::isMainThread());
        heard.push_back(flags);
    });
    SCNetworkReachability::setFakeFlags(kSCNetworkReachabilityFlagsReachable);
    ASSERT_TRUE(target->scheduleWithRunLoop(NSRunLoop::mainRunLoop(), NSDefaultRunLoopMode));
    settle();
    EXPECT_TRUE(heard.empty()) << "scheduling alone reports nothing";

    SCNetworkReachability::setFakeFlags(0);
    SCNetworkReachability::setFakeFlags(wwan);
    SCNetworkReachability::setFakeFlags(wwan);  // no change, no call
    EXPECT_TRUE(heard.empty()) << "delivery waits for the run loop";
    ASSERT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return heard.size() >= 2; }, kGiveUpAfterSeconds));
    settle();
    EXPECT_EQ(heard, (std::vector<SCNetworkReachabilityFlags>{0, wwan}));

    ASSERT_TRUE(target->unscheduleFromRunLoop(NSRunLoop::mainRunLoop(), NSDefaultRunLoopMode));
    SCNetworkReachability::setFakeFlags(0);
    settle();
    EXPECT_EQ(heard.size(), 2u);
}

TEST_F(SCNetworkReachabilityTest, DispatchQueueDeliveryAndClearedCallbacks) {
    const auto target = SCNetworkReachability::createWithName("localhost");
    std::atomic<int> calls{0};
    std::atomic<bool> onMain{false};
    target->setCallback([&](const Ref<SCNetworkReachability>&, SCNetworkReachabilityFlags flags) {
        onMain = NSThread::isMainThread();
        EXPECT_EQ(flags, 0u);
        ++calls;
    });
    ASSERT_TRUE(target->setDispatchQueue(DispatchQueue::main()));
    SCNetworkReachability::setFakeFlags(0);
    ASSERT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return calls == 1; }, kGiveUpAfterSeconds));
    EXPECT_TRUE(onMain);

    target->setCallback(nullptr);
    SCNetworkReachability::setFakeFlags(std::nullopt);
    settle();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(target->setDispatchQueue(nullptr));
    EXPECT_FALSE(target->unscheduleFromRunLoop(NSRunLoop::mainRunLoop(), NSDefaultRunLoopMode));
}

}  // namespace
